// The parser's printer: sets and variables of either model as definition text that reads back.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/companion/helper_functions.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_variable.h"

namespace fuzzy {

namespace {

// ---- text pieces -------------------------------------------------------------------------------

std::string Number(TFzyFloat Value) { return FloatToStrF(Value, 4); }

std::string Numbers(std::initializer_list<TFzyFloat> Values) {
  std::string Text;
  for (const TFzyFloat Value : Values) {
    if (!Text.empty()) Text += ' ';
    Text += Number(Value);
  }
  return Text;
}

// "(Name n n ...)".
std::string Call(std::string_view Name, std::initializer_list<TFzyFloat> Values) {
  return Concat({"(", Name, " ", Numbers(Values), ")"});
}

// Characters that an atom holds only after the escape character: those that end an atom
// (whitespace, " [ ] ( ) & | ~ ; <) and the escape character itself.
bool NeedsEscape(char C) {
  switch (C) {
    case '"': case '[': case ']': case '(': case ')': case '&': case '|': case '~': case ';': case '<':
    case '\\':
      return true;
    default:
      return static_cast<unsigned char>(C) <= ' ';
  }
}

// A name as an atom: each character after the first that would end the atom is escaped (the first
// character of an atom is taken as it stands).
std::string NameText(std::string_view Name) {
  std::string Text;
  for (std::size_t I = 0; I < Name.size(); ++I) {
    if (I > 0 && NeedsEscape(Name[I])) Text += '\\';
    Text += Name[I];
  }
  return Text;
}

// Text as a string: in double quotes, with the quote and the escape character escaped.
std::string StringText(std::string_view Text) {
  std::string Result = "\"";
  for (const char C : Text) {
    if (C == '"' || C == '\\') Result += '\\';
    Result += C;
  }
  return Result + '"';
}

// Units as one token whose text form is the units again: a plain atom when they are one, else a
// string (always when they hold a space).
std::string UnitsText(std::string_view Units) {
  const bool Plain = !IsNumberChar(Units[0]) && Units[0] != '?' && Units[0] != '=' &&
                     std::none_of(Units.begin(), Units.end(), NeedsEscape);
  return Plain ? std::string(Units) : StringText(Units);
}

// ---- reading a set or a variable of either model -----------------------------------------------

int PointCount(const TFuzzySet& Set) { return Set.Values().Count(); }
TFzyFloat PointX(const TFuzzySet& Set, int Index) { return Set.Values().Items(Index)->X(); }
TFzyFloat PointY(const TFuzzySet& Set, int Index) { return Set.Values().Items(Index)->Y(); }
TFzyFloat InflectionPointOf(const TFuzzySet& Set) { return Set.InflectionPoint(); }

int PointCount(const IFuzzySet& Set) { return Set.GetCount(); }
TFzyFloat PointX(const IFuzzySet& Set, int Index) { return Set.XValues(Index); }
TFzyFloat PointY(const IFuzzySet& Set, int Index) { return Set.YValues(Index); }
TFzyFloat InflectionPointOf(const IFuzzySet& Set) { return Set.GetInflectionPoint(); }

// Calls Visit(Set) for each set of Variable.
template <typename TVisit>
void ForEachSet(const TFuzzyVariable& Variable, TVisit&& Visit) {
  for (const TFuzzySet* Set : Variable.Items()) Visit(*Set);
}
template <typename TVisit>
void ForEachSet(const IFuzzyVariable& Variable, TVisit&& Visit) {
  for (int I = 0; I < Variable.GetCount(); ++I) Visit(*Variable.GetFuzzySet(I));
}

// ---- term bodies -------------------------------------------------------------------------------

template <typename TSet>
std::string PointsBody(const TSet& Set) {
  std::string Text = "(";
  for (int I = 0; I < PointCount(Set); ++I) Text += Concat({"(", Numbers({PointX(Set, I), PointY(Set, I)}), ") "});
  return Text + ")";
}

// The weight of a beta curve around Center with inflection point Inflection, from one of its
// points off the centre with a degree strictly between 0 and 1; 1 when it has none.
template <typename TSet>
TFzyFloat BetaWeight(const TSet& Set, TFzyFloat Center, TFzyFloat Inflection) {
  if (Inflection == 0) return 1;
  for (int I = 0; I < PointCount(Set); ++I) {
    const TFzyFloat X = PointX(Set, I);
    const TFzyFloat Y = PointY(Set, I);
    if (X == Center || Y <= 0 || Y >= 1) continue;
    const TFzyFloat T = (X - Center) / Inflection;
    return (1 / Y - 1) / (T * T);
  }
  return 1;
}

template <typename TSet>
std::string TermBody(const TSet& Set) {
  const int Last = PointCount(Set) - 1;
  switch (Set.SetType()) {
    case fstUserDefined:
      // A set whose expression is only its own name (a term read from text, an automatic term)
      // is written by its points: the name alone would not read back as the set.
      if (!Set.Expression().empty() && Set.Expression() != Set.Name()) return std::string(Set.Expression());
      break;
    case fstTriangle:
      if (Last == 2) return Call("tri", {PointX(Set, 0), PointX(Set, 1), PointX(Set, 2)});
      break;
    case fstDeclineCurve:
      if (Last >= 0) return Call("z", {PointX(Set, 0), PointX(Set, Last)});
      break;
    case fstGrowthCurve:
      if (Last >= 0) return Call("s", {PointX(Set, 0), PointX(Set, Last)});
      break;
    case fstPICurve:
      if (Last >= 0) {
        const TFzyFloat X0 = PointX(Set, 0);
        const TFzyFloat Xn = PointX(Set, Last);
        const TFzyFloat C = Set.MeanOfMaxima();
        if (FloatEquals(Xn - C, C - X0)) return Call("pi", {C - X0, C});
        return Call("pi", {X0, Xn, C});
      }
      break;
    case fstBetaCurve:
      if (Last >= 0) {
        const TFzyFloat C = Set.MeanOfMaxima();
        const TFzyFloat I = InflectionPointOf(Set);
        const TFzyFloat W = BetaWeight(Set, C, I);
        // The inflection point always: the function reads no beta with two numbers.
        if (FloatEquals(W, 1)) return Call("beta", {C - PointX(Set, 0), C, I});
        return Call("beta", {C - PointX(Set, 0), C, I, W});
      }
      break;
  }
  // Points, also for a shape that lost the points its function call would need.
  return PointsBody(Set);
}

template <typename TSet>
std::string TermDefinition(const TSet& Set) {
  std::string Name = Set.Name();
  if (Name == SEmptyFuzzy) Name.clear();
  std::string Text;
  if (!Name.empty()) Text = Concat({"(term ", NameText(Name), " "});
  if (!Set.Comment().empty()) Text += Concat({StringText(Set.Comment()), " "});
  Text += TermBody(Set);
  if (!Name.empty()) Text += ")";
  return Text;
}

template <typename TVariable>
std::string VariableDefinition(const TVariable& Variable) {
  std::string Text = Concat({"(deffuzzy ", NameText(Variable.Name()), " "});
  if (!Variable.Comment().empty()) Text += Concat({NewLineString, IndentString, StringText(Variable.Comment())});
  Text += NewLineString;
  Text += Concat({IndentString, Call("range", {Variable.Minimum(), Variable.Maximum()}), NewLineString});
  if (!Variable.Units().empty())
    Text += Concat({IndentString, "(units ", UnitsText(Variable.Units()), ")", NewLineString});
  Text += Concat({IndentString, "(values ", NewLineString});
  std::vector<std::pair<int, std::string>> Terms;
  ForEachSet(Variable, [&Terms](const auto& Set) {
    if (Set.Defined()) Terms.emplace_back(Set.Index(), TermDefinition(Set));
  });
  std::stable_sort(Terms.begin(), Terms.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  for (const auto& Term : Terms) Text += Concat({IndentString, IndentString, Term.second, NewLineString});
  return Text + Concat({IndentString, ")", NewLineString, ")"});
}

}  // namespace

std::string TAQFuzzyLogicParser::PrettyPrint(const TFuzzySet* FuzzySet, bool AsDefinition) {
  if (!FuzzySet) return {};
  if (AsDefinition) return TermDefinition(*FuzzySet);
  const std::string& Name = FuzzySet->Name();
  return Name.empty() || Name == SEmptyFuzzy ? FuzzySet->Expression() : Name;
}

std::string TAQFuzzyLogicParser::PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) {
  if (!FuzzySet) return {};
  if (AsDefinition) return TermDefinition(*FuzzySet);
  const std::string Name = FuzzySet->Name();
  return Name == SEmptyFuzzy ? std::string() : Name;
}

std::string TAQFuzzyLogicParser::PrettyPrint(const TFuzzyVariable* FuzzyVariable) {
  return FuzzyVariable ? VariableDefinition(*FuzzyVariable) : std::string();
}

std::string TAQFuzzyLogicParser::PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) {
  return FuzzyVariable ? VariableDefinition(*FuzzyVariable) : std::string();
}

}  // namespace fuzzy
