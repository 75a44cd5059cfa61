#pragma once
// Random models for the printer's round trip, from a seed: definition texts of every kind of term
// (value pairs, every built-in function, expressions with hedges, hedge operators, connectives,
// groups and numbers), names, comments and units that need escaping or quotes, ranges that clamp
// terms; and, once such a text is read, changes made through the API (hedges applied to terms in
// place, so their names hold spaces and brackets). Used by the tests and by a longer soak program
// under bench/, so it needs nothing of the test framework.
//
//   TRandomModel Model(Seed);
//   Logic->SetNumFunctionValues(Model.NumFunctionValues());
//   Parser->Parse(Model.Text(), nullptr);
//   Model.Change(*Logic->Items().Items(0));

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/model/fuzzy_variable.h"
#include "fuzzy/runtime/format.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy::testing {

class TRandomModel {
 public:
  explicit TRandomModel(std::uint32_t Seed) : FRandom(Seed) {
    FNumFunctionValues = Between(3, 11);
    FAutoTerms = Chance(0.3);
    const int Variables = Between(1, 3);
    for (int I = 0; I < Variables; ++I) FText += Variable(I) + "\n";
  }

  const std::string& Text() const { return FText; }
  int NumFunctionValues() const { return FNumFunctionValues; }
  bool AutoTerms() const { return FAutoTerms; }

  // Applies hedges to some of the variable's defined terms, in place, as a host would (not to the
  // automatic terms of a component that makes them).
  void Change(TFuzzyVariable& Variable) {
    std::vector<TFuzzySet*> Terms;
    for (TFuzzySet* Set : Variable.Items())
      if (Set->Defined()) Terms.push_back(Set);
    for (TFuzzySet* Set : Terms) ChangeSet(*Set);
  }
  void Change(IFuzzyVariable& Variable) {
    std::vector<IPtr<IFuzzySet>> Terms;
    for (int I = 0; I < Variable.GetCount(); ++I)
      if (const IPtr<IFuzzySet> Set = Variable.GetFuzzySet(I); Set->Defined()) Terms.push_back(Set);
    for (const IPtr<IFuzzySet>& Set : Terms) ChangeSet(*Set);
  }

 private:
  int Between(int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(FRandom); }
  bool Chance(double P) { return std::uniform_real_distribution<double>(0, 1)(FRandom) < P; }
  template <typename T>
  const T& OneOf(const std::vector<T>& Items) {
    return Items[static_cast<std::size_t>(Between(0, static_cast<int>(Items.size()) - 1))];
  }
  // A number with at most two decimals in [Low, High], as written in a text.
  double Number(double Low, double High) {
    const int Steps = static_cast<int>((High - Low) * 100);
    return Low + Between(0, Steps) / 100.0;
  }
  static std::string Write(double Value) { return FloatToStrF(Value, 2); }

  // An atom whose text is Name: the characters after the first that end an atom are escaped.
  static std::string Atom(std::string_view Name) {
    std::string Text;
    for (std::size_t I = 0; I < Name.size(); ++I) {
      const char C = Name[I];
      if (I > 0 && (std::string_view("\"[]()&|~;<\\").find(C) != std::string_view::npos ||
                    static_cast<unsigned char>(C) <= ' '))
        Text += '\\';
      Text += C;
    }
    return Text;
  }
  static std::string String(std::string_view Text) {
    std::string Result = "\"";
    for (const char C : Text) {
      if (C == '"' || C == '\\') Result += '\\';
      Result += C;
    }
    return Result + '"';
  }

  std::string Variable(int Index) {
    static const std::vector<std::string> Names = {"v", "air temp", "a(b)", "x;y", "q\"r", "back\\slash",
                                                   "<lt", "t[1]", "w&z|~", "tab\there"};
    static const std::vector<std::string> Comments = {"", "air", "say \"hi\"", "a \\ b", "two words", "\\"};
    static const std::vector<std::string> Units = {"", "C", "deg C", "a\"b", "\\", "m/s", "5.0", "?q", "=x"};
    std::string Text = "(deffuzzy ";
    Text += Atom(OneOf(Names) + std::to_string(Index));
    if (const std::string& Comment = OneOf(Comments); !Comment.empty()) Text += Concat({" ", String(Comment)});
    FMinimum = OneOf(std::vector<double>{-10, 0, 0.5});
    FMaximum = FMinimum + OneOf(std::vector<double>{1, 10, 40, 100});
    // Terms first now and then: the range still governs them.
    const bool RangeLast = Chance(0.2);
    if (!RangeLast) Text += Concat({" (range ", Write(FMinimum), " ", Write(FMaximum), ")"});
    if (const std::string& Unit = OneOf(Units); !Unit.empty()) Text += " (units " + String(Unit) + ")";
    Text += " (values";
    FTerms.clear();
    const int Terms = Between(0, 6);
    for (int I = 0; I < Terms; ++I) Text += Concat({" ", Term(I)});
    Text += ")";
    if (RangeLast) Text += Concat({" (range ", Write(FMinimum), " ", Write(FMaximum), ")"});
    return Text + ")";
  }

  std::string Term(int Index) {
    static const std::vector<std::string> Names = {"t", "low", "cold", "x y", "a\"b", "p(q)", "b[r]"};
    const std::string Name = OneOf(Names) + std::to_string(Index);
    std::string Text = Concat({"(term ", Atom(Name), " "});
    if (Chance(0.2)) Text += Concat({String(Chance(0.5) ? "a \"quoted\" note" : "back \\ slash"), " "});
    // Some of the terms reach past the range and are clamped into it.
    const double Span = FMaximum - FMinimum;
    const double Low = FMinimum - Span / 4, High = FMaximum + Span / 4;
    switch (FTerms.empty() ? Between(0, 5) : Between(0, 7)) {
      case 0: {
        Text += "(";
        for (int I = Between(1, 6); I > 0; --I) Text += Concat({"(", Write(Number(Low, High)), " ", Write(Number(0, 1)), ")"});
        Text += ")";
        break;
      }
      case 1: {
        double A = Number(Low, High), B = Number(Low, High), C = Number(Low, High);
        if (A > B) std::swap(A, B);
        if (B > C) std::swap(B, C);
        if (A > B) std::swap(A, B);
        Text += Concat({"(tri ", Write(A), " ", Write(B), " ", Write(C), ")"});
        break;
      }
      case 2: {
        double A = Number(Low, High), B = Number(Low, High);
        if (A > B) std::swap(A, B);
        Text += Concat({Chance(0.5) ? "(s " : "(z ", Write(A), " ", Write(B), ")"});
        break;
      }
      case 3: {
        double A = Number(Low, High), B = Number(Low, High);
        if (A > B) std::swap(A, B);
        if (Chance(0.5))
          Text += Concat({"(pi ", Write(Number(0.1, Span / 2)), " ", Write(Number(FMinimum, FMaximum)), ")"});
        else
          Text += Concat({"(pi ", Write(A), " ", Write(B), " ", Write(Number(A, B)), ")"});
        break;
      }
      case 4:
      case 5: {
        Text += Concat({"(beta ", Write(Number(0.1, Span / 2)), " ", Write(Number(FMinimum, FMaximum)), " ",
                        Write(Number(0.1, Span / 4))});
        if (Chance(0.5)) Text += Concat({" ", Write(Number(0.5, 3))});
        Text += ")";
        break;
      }
      default:
        Text += Expression(2);
        break;
    }
    FTerms.push_back(Name);
    return Text + ")";
  }

  std::string Operand(int Depth) {
    static const std::vector<std::string> Hedges = {"very", "somewhat", "not", "extremely", "plus", "about",
                                                    "positively", "generally", "moreorless"};
    switch (Between(0, Depth > 0 ? 5 : 3)) {
      case 0:
        return Concat({OneOf(Hedges), " ", Atom(OneOf(FTerms))});
      case 1:
        return Write(Number(FMinimum, FMaximum));
      case 4:
      case 5:
        return Concat({"[", Expression(Depth - 1), "]"});
      default:
        return Atom(OneOf(FTerms));
    }
  }

  std::string Expression(int Depth) {
    static const std::vector<std::string> Connectives = {"and", "or", "and-product", "or-sum", "or-mean",
                                                         "and-meansqr", "or-boundedsum"};
    static const std::vector<std::string> Operators = {"+", "*", "^", "<", ">=", "+X", "*X"};
    std::string Text = Operand(Depth);
    for (int I = Between(0, 2); I > 0; --I) {
      if (Chance(0.2))
        Text += Concat({" ", OneOf(Operators), " ", Write(Number(0, 2))});
      else
        Text += Concat({" ", OneOf(Connectives), " ", Operand(Depth)});
    }
    return Text;
  }

  static int Count(const TFuzzySet& Set) { return Set.Values().Count(); }
  static int Count(const IFuzzySet& Set) { return Set.GetCount(); }
  template <typename TSet>
  void ChangeSet(TSet& Set) {
    if (Count(Set) == 0 || !Chance(0.3)) return;
    // A hedge renames the term: reading the text back would add the automatic term again.
    const std::string Name = Set.Name();
    if (FAutoTerms && (Name == "low" || Name == "medium" || Name == "high")) return;
    static const std::vector<TFuzzyHedge> Hedges = {fhVery, fhNot, fhSomewhat, fhAbove, fhBelow, fhPositively};
    if (Chance(0.7))
      Set.Hedge(OneOf(Hedges));
    else
      Set.Hedge(bfhMultiply, 0.5, true);
  }

  std::mt19937 FRandom;
  std::string FText;
  int FNumFunctionValues = 7;
  bool FAutoTerms = false;
  double FMinimum = 0, FMaximum = 1;
  std::vector<std::string> FTerms;
};

// ---- the round trip ----------------------------------------------------------------------------

// The defined terms of a variable in the printer's order (by index), as points.
using TTermPoints = std::vector<std::vector<std::pair<double, double>>>;

inline TTermPoints TermsOf(const TFuzzyVariable& Variable) {
  std::vector<std::pair<int, const TFuzzySet*>> Terms;
  for (const TFuzzySet* Set : Variable.Items())
    if (Set->Defined() && !Set->Name().empty() && Set->Name() != SEmptyFuzzy) Terms.emplace_back(Set->Index(), Set);
  std::stable_sort(Terms.begin(), Terms.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  TTermPoints Result;
  for (const auto& Term : Terms) {
    Result.emplace_back();
    for (const TFuzzySetValue* P : Term.second->Values()) Result.back().emplace_back(P->X(), P->Y());
  }
  return Result;
}

inline TTermPoints TermsOf(const IFuzzyVariable& Variable) {
  std::vector<std::pair<int, IPtr<IFuzzySet>>> Terms;
  for (int I = 0; I < Variable.GetCount(); ++I)
    if (const IPtr<IFuzzySet> Set = Variable.GetFuzzySet(I);
        Set->Defined() && !Set->Name().empty() && Set->Name() != SEmptyFuzzy)
      Terms.emplace_back(Set->Index(), Set);
  std::stable_sort(Terms.begin(), Terms.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
  TTermPoints Result;
  for (const auto& Term : Terms) {
    Result.emplace_back();
    for (int I = 0; I < Term.second->GetCount(); ++I)
      Result.back().emplace_back(Term.second->XValues(I), Term.second->YValues(I));
  }
  return Result;
}

// What a model of one kind (TLogic: TFuzzyLogic or TIFuzzyLogic) prints and holds.
template <typename TLogic>
struct TPrinted {
  std::string Text;
  std::vector<TTermPoints> Terms;
};

// Reads Text into a new logic component of TLogic's kind; with Change, the model is changed then;
// returns what it prints. Raises what reading raises.
template <typename TLogic, typename TParser>
TPrinted<TLogic> ReadAndPrint(const std::string& Text, TRandomModel* Change, int NumFunctionValues, bool AutoTerms) {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TParser> Parser = MakeOwned<TParser>(nullptr);
  Logic->SetAutoTerms(AutoTerms);
  Logic->SetNumFunctionValues(NumFunctionValues);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  Parser->Parse(Text, nullptr);
  TPrinted<TLogic> Result;
  if constexpr (std::is_same_v<TLogic, TFuzzyLogic>) {
    for (TFuzzyVariable* Variable : Logic->Items()) {
      if (Change) Change->Change(*Variable);
      Result.Text += Parser->PrettyPrint(Variable) + "\n";
      Result.Terms.push_back(TermsOf(*Variable));
    }
  } else {
    for (int I = 0; I < Logic->Items().Count(); ++I) {
      const IPtr<IFuzzyVariable> Variable = Logic->Items().GetItemByIndex(I);
      if (Change) Change->Change(*Variable);
      Result.Text += Parser->PrettyPrint(Variable) + "\n";
      Result.Terms.push_back(TermsOf(*Variable));
    }
  }
  return Result;
}

// The round trip of the model of Seed in TLogic's kind: print, read, print again gives the same
// text, and the sets read back have the same points within Tolerance. Returns "" when it holds,
// else what went wrong; Skipped is set when the random text itself does not read (an engine error
// in an expression).
template <typename TLogic, typename TParser>
std::string CheckRoundTrip(std::uint32_t Seed, bool& Skipped, double Tolerance = 5e-5 + 1e-9) {
  TRandomModel Model(Seed);
  Skipped = false;
  TPrinted<TLogic> First;
  try {
    First = ReadAndPrint<TLogic, TParser>(Model.Text(), &Model, Model.NumFunctionValues(), Model.AutoTerms());
  } catch (const EFzyException&) {
    Skipped = true;
    return {};
  }
  TPrinted<TLogic> Second;
  try {
    Second = ReadAndPrint<TLogic, TParser>(First.Text, nullptr, Model.NumFunctionValues(), Model.AutoTerms());
  } catch (const EFzyException& E) {
    return "printed text does not read: " + std::string(E.what()) + "\n" + First.Text;
  }
  if (Second.Text != First.Text) return "printed again differently:\n" + First.Text + "\n---\n" + Second.Text;
  for (std::size_t V = 0; V < First.Terms.size(); ++V) {
    if (First.Terms[V].size() != Second.Terms[V].size()) return "terms differ in number:\n" + First.Text;
    for (std::size_t T = 0; T < First.Terms[V].size(); ++T) {
      // What a text can hold: neighbours that are equal within the point list's tolerance once
      // written with four decimals are one point when read (a clamped shape can hold such pairs,
      // a hedge can make degrees finer than the text's resolution).
      const auto Merged = [](const std::vector<std::pair<double, double>>& Points) {
        const auto Written = [](double Value) { return StrToFloat(FloatToStrF(Value, 4)); };
        std::vector<std::pair<double, double>> Result;
        double LastX = 0, LastY = 0;
        for (const auto& P : Points) {
          if (!Result.empty() && FloatEquals(Written(P.first), LastX) && FloatEquals(Written(P.second), LastY))
            continue;
          LastX = Written(P.first);
          LastY = Written(P.second);
          Result.push_back(P);
        }
        return Result;
      };
      const auto A = Merged(First.Terms[V][T]);
      const auto B = Merged(Second.Terms[V][T]);
      bool Same = A.size() == B.size();
      for (std::size_t I = 0; Same && I < A.size(); ++I)
        Same = std::fabs(A[I].first - B[I].first) <= Tolerance && std::fabs(A[I].second - B[I].second) <= Tolerance;
      if (!Same) return "term " + std::to_string(T) + " of variable " + std::to_string(V) + " read back other points:\n" + First.Text;
    }
  }
  return {};
}

}  // namespace fuzzy::testing
