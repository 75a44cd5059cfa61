// The parser's printer: sets and variables of either model as definition text that reads back.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/companion/helper_functions.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/language/fuzzy_words.h"
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

// The value that reading Value's text gives.
TFzyFloat AsWritten(TFzyFloat Value) { return StrToFloat(Number(Value)); }

// The points as value pairs. A point that reads as its neighbour (within the list's tolerance in X
// and Y) is left out: reading would merge the two.
template <typename TSet>
std::string PointsBody(const TSet& Set) {
  std::string Text = "(";
  TFzyFloat LastX = 0, LastY = 0;
  for (int I = 0; I < PointCount(Set); ++I) {
    const std::string X = Number(PointX(Set, I));
    const std::string Y = Number(PointY(Set, I));
    const TFzyFloat ReadX = StrToFloat(X), ReadY = StrToFloat(Y);
    if (I > 0 && FloatEquals(ReadX, LastX) && FloatEquals(ReadY, LastY)) continue;
    LastX = ReadX;
    LastY = ReadY;
    Text += Concat({"(", X, " ", Y, ") "});
  }
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

// A function call the built-ins read back: its name and its arguments as they are written.
struct TCall {
  std::string_view Name;
  std::vector<TFzyFloat> Arguments;
};

// The call that a set of a standard shape was made by, read off its points; none when the shape
// lost the points the call needs.
template <typename TSet>
std::optional<TCall> ShapeCall(const TSet& Set) {
  const int Last = PointCount(Set) - 1;
  if (Last < 0) return std::nullopt;
  const TFzyFloat X0 = PointX(Set, 0);
  const TFzyFloat Xn = PointX(Set, Last);
  switch (Set.SetType()) {
    case fstUserDefined:
      return std::nullopt;
    case fstTriangle:
      if (Last != 2) return std::nullopt;
      return TCall{"tri", {X0, PointX(Set, 1), Xn}};
    case fstDeclineCurve:
      return TCall{"z", {X0, Xn}};
    case fstGrowthCurve:
      return TCall{"s", {X0, Xn}};
    case fstPICurve: {
      const TFzyFloat C = Set.MeanOfMaxima();
      if (FloatEquals(Xn - C, C - X0)) return TCall{"pi", {C - X0, C}};
      return TCall{"pi", {X0, Xn, C}};
    }
    case fstBetaCurve: {
      const TFzyFloat C = Set.MeanOfMaxima();
      const TFzyFloat I = InflectionPointOf(Set);
      const TFzyFloat W = BetaWeight(Set, C, I);
      // The inflection point always: the function reads no beta with two numbers.
      if (FloatEquals(W, 1)) return TCall{"beta", {C - X0, C, I}};
      return TCall{"beta", {C - X0, C, I, W}};
    }
  }
  return std::nullopt;
}

// The points that reading Call back gives, made with Num points for the curves.
TOwned<TFuzzySet> ReadBack(const TCall& Call, int Num) {
  TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
  std::vector<TFzyFloat> A;
  for (const TFzyFloat Argument : Call.Arguments) A.push_back(AsWritten(Argument));
  if (Call.Name == "tri") {
    Set->CreateTriangleFunctionValues(A[0], A[1], A[2]);
  } else if (Call.Name == "s" || Call.Name == "z") {
    Set->CreateCurveValues(Num, A[0], A[1], A[1], Call.Name == "s");
  } else if (Call.Name == "pi") {
    if (A.size() == 2)
      Set->CreatePIFunctionValues(Num, A[0], A[1]);
    else
      Set->CreatePIFunctionValues(Num, A[0], A[1], A[2]);
  } else if (A.size() == 3) {
    Set->CreateBetaCurveFunctionValues(Num, A[0], A[1], A[2]);
  } else {
    Set->CreateBetaCurveFunctionValues(Num, A[0], A[1], A[2], A[3]);
  }
  return Set;
}

// How far a point may move when a term is written and read back: the rounding of "%.4f" (half
// its last digit, and the noise of the arithmetic).
constexpr TFzyFloat WrittenResolution = 5e-5 + 1e-9;

// Whether Call reads back to Set's points.
template <typename TSet>
bool ReadsBackAs(const TCall& Call, const TSet& Set, int Num) {
  TOwned<TFuzzySet> Read;
  try {
    Read = ReadBack(Call, Num);
  } catch (const EFzyException&) {
    return false;
  }
  const TFuzzySetValues& Points = Read->Values();
  if (Points.Count() != PointCount(Set)) return false;
  for (int I = 0; I < Points.Count(); ++I)
    if (std::fabs(Points.Items(I)->X() - PointX(Set, I)) > WrittenResolution ||
        std::fabs(Points.Items(I)->Y() - PointY(Set, I)) > WrittenResolution)
      return false;
  return true;
}

// The body of a term: the function call of its shape when that reads back to its points, else its
// points ("__Empty" for none: an empty pair list reads as a call without a name). A recorded
// expression is not written: it names the sets the term was computed from as they were then (a
// hedge renames the set it changes, later changes of those sets do not reach the term), so it
// need not read back as the term.
template <typename TSet>
std::string TermBody(const TSet& Set, int Num) {
  if (const std::optional<TCall> Call = ShapeCall(Set); Call && ReadsBackAs(*Call, Set, Num)) {
    std::string Text = Concat({"(", Call->Name});
    for (const TFzyFloat Argument : Call->Arguments) Text += Concat({" ", Number(Argument)});
    return Text + ")";
  }
  if (PointCount(Set) == 0) return std::string(SEmptyFuzzy);
  return PointsBody(Set);
}

template <typename TSet>
std::string TermDefinition(const TSet& Set, int Num) {
  std::string Name = Set.Name();
  if (Name == SEmptyFuzzy) Name.clear();
  std::string Text;
  if (!Name.empty()) Text = Concat({"(term ", AtomText(Name), " "});
  if (!Set.Comment().empty()) Text += Concat({StringText(Set.Comment()), " "});
  Text += TermBody(Set, Num);
  if (!Name.empty()) Text += ")";
  return Text;
}

template <typename TVariable>
std::string VariableDefinition(const TVariable& Variable, int Num) {
  std::string Text = Concat({"(deffuzzy ", AtomText(Variable.Name()), " "});
  if (!Variable.Comment().empty()) Text += Concat({NewLineString, IndentString, StringText(Variable.Comment())});
  Text += NewLineString;
  Text += Concat({IndentString, Call("range", {Variable.Minimum(), Variable.Maximum()}), NewLineString});
  if (!Variable.Units().empty())
    Text += Concat({IndentString, "(units ", UnitsText(Variable.Units()), ")", NewLineString});
  Text += Concat({IndentString, "(values ", NewLineString});
  std::vector<std::pair<int, std::string>> Terms;
  // A set of no name or the name "__Empty" is no term, whatever its flag says.
  ForEachSet(Variable, [&](const auto& Set) {
    if (Set.Defined() && !Set.Name().empty() && Set.Name() != SEmptyFuzzy)
      Terms.emplace_back(Set.Index(), TermDefinition(Set, Num));
  });
  std::stable_sort(Terms.begin(), Terms.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  for (const auto& Term : Terms) Text += Concat({IndentString, IndentString, Term.second, NewLineString});
  return Text + Concat({IndentString, ")", NewLineString, ")"});
}

}  // namespace

std::string TAQFuzzyLogicParser::PrettyPrint(const TFuzzySet* FuzzySet, bool AsDefinition) {
  if (!FuzzySet) return {};
  if (AsDefinition) return TermDefinition(*FuzzySet, NumFunctionValues());
  const std::string& Name = FuzzySet->Name();
  return Name.empty() || Name == SEmptyFuzzy ? FuzzySet->Expression() : Name;
}

std::string TAQFuzzyLogicParser::PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) {
  if (!FuzzySet) return {};
  if (AsDefinition) return TermDefinition(*FuzzySet, NumFunctionValues());
  const std::string Name = FuzzySet->Name();
  return Name == SEmptyFuzzy ? std::string() : Name;
}

std::string TAQFuzzyLogicParser::PrettyPrint(const TFuzzyVariable* FuzzyVariable) {
  return FuzzyVariable ? VariableDefinition(*FuzzyVariable, NumFunctionValues()) : std::string();
}

std::string TAQFuzzyLogicParser::PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) {
  return FuzzyVariable ? VariableDefinition(*FuzzyVariable, NumFunctionValues()) : std::string();
}

}  // namespace fuzzy
