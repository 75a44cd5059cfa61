// The built-in membership functions of the parser, for both models.

#include <array>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/model/custom_fuzzy_logic.h"
#include "fuzzy/model/custom_fuzzy_logic_parser.h"

namespace fuzzy {

namespace {

enum class TBuiltIn { Pi, Tri, S, Z, Beta };

struct TBuiltInFunction {
  std::string_view Name;
  TBuiltIn Kind;
  // The argument counts the function takes (a single count is given twice).
  int FewestArguments, MostArguments;
  // How the message for a wrong count describes the arguments.
  std::string_view Expected;
};

constexpr std::array<TBuiltInFunction, 5> BuiltInFunctions{{
    {"pi", TBuiltIn::Pi, 2, 3, SPIArgsExpected},
    {"tri", TBuiltIn::Tri, 3, 3, STriArgsExpected},
    {"s", TBuiltIn::S, 2, 2, SCurveArgsExpected},
    {"z", TBuiltIn::Z, 2, 2, SCurveArgsExpected},
    {"beta", TBuiltIn::Beta, 3, 4, SBetaArgsExpected},
}};

const TBuiltInFunction* FindBuiltIn(std::string_view Name) {
  for (const TBuiltInFunction& Function : BuiltInFunctions)
    if (Function.Name == Name) return &Function;
  return nullptr;
}

// The numbers of a call: a built-in takes at most four.
struct TArguments {
  std::array<TFzyFloat, 4> Values{};
  std::size_t Count = 0;
  TFzyFloat operator[](std::size_t Index) const { return Values[Index]; }
};

// Appends the shape of Function over the numbers Args to Set, a TFuzzySet or an IFuzzySet; Num is
// the point count of the curves. The count of Args is one that Function takes.
template <typename TSet>
void Generate(const TBuiltInFunction& Function, const TArguments& Args, int Num, TSet& Set) {
  switch (Function.Kind) {
    case TBuiltIn::Pi:
      if (Args.Count == 2)
        Set.CreatePIFunctionValues(Num, Args[0], Args[1]);
      else
        Set.CreatePIFunctionValues(Num, Args[0], Args[1], Args[2]);
      break;
    case TBuiltIn::Tri:
      Set.CreateTriangleFunctionValues(Args[0], Args[1], Args[2]);
      break;
    case TBuiltIn::S:
    case TBuiltIn::Z:
      // The right end is the inflection point the set remembers.
      Set.CreateCurveValues(Num, Args[0], Args[1], Args[1], Function.Kind == TBuiltIn::S);
      break;
    case TBuiltIn::Beta:
      if (Args.Count == 3)
        Set.CreateBetaCurveFunctionValues(Num, Args[0], Args[1], Args[2]);
      else
        Set.CreateBetaCurveFunctionValues(Num, Args[0], Args[1], Args[2], Args[3]);
      break;
  }
}

}  // namespace

int TCustomFuzzyLogicParser::NumFunctionValues() const {
  return FuzzyLogic() ? FuzzyLogic()->NumFunctionValues() : 7;
}

TFuzzySet* TCustomFuzzyLogicParser::CalcFuzzyFunction(TFuzzySet* Result, const std::string& FuncName,
                                                      const IPtr<IFuzzyStreamTokenList>& List) {
  bool Handled = false;
  if (FOnCalcFuzzyFunction) FOnCalcFuzzyFunction(this, FuncName, List, Result, Handled);
  if (!Handled) CalcFuzzyFunction(FuncName, List, Result);
  return Result;
}

IPtr<IFuzzySet> TCustomFuzzyLogicParser::CalcFuzzyFunction(const IPtr<IFuzzySet>& Result,
                                                           const std::string& FuncName,
                                                           const IPtr<IFuzzyStreamTokenList>& List) {
  IPtr<IFuzzySet> Set = Result;
  bool Handled = false;
  if (FOnCalcFuzzyIntfFunction) FOnCalcFuzzyIntfFunction(this, FuncName, List, Set, Handled);
  if (!Handled) CalcFuzzyFunction(FuncName, List, Set);
  return Set;
}

namespace {

// The numbers of a call of Function, after the type check (every argument a number, as VerifyAll
// with integers and floats decides) and then the count check of the built-ins; one pass over
// the list does both.
TArguments CheckedArguments(TCustomFuzzyLogicParser& Parser, const TBuiltInFunction* Function,
                            const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List) {
  constexpr std::string_view Method = "CalcFuzzyFunction";
  if (!Function) Parser.ParseError(Method, SUnknownFunctionName, {FuncName});
  const int Count = List ? List->GetValueCount() : 0;
  TArguments Args;
  for (int I = 0; I < Count; ++I) {
    const IPtr<IFuzzyStreamToken> Token = List->Get(I);
    const int DataType = Token ? Token->DataType() : fstNone;
    if (DataType != fstInteger && DataType != fstFloat)
      Parser.ParseError(Method, SFzyArgTypeWrong, {FuncName, "numeric"});
    if (Args.Count < Args.Values.size()) Args.Values[Args.Count++] = Token->Number();
  }
  if (Count < Function->FewestArguments || Count > Function->MostArguments)
    Parser.ParseError(Method, SFzyArgNumWrong, {FuncName, Function->Expected});
  return Args;
}

[[noreturn]] void MissingResult() { throw EFzyException(SMissingArgument, {"CalcFuzzyFunction", "Result"}); }

}  // namespace

void TCustomFuzzyLogicParser::CalcFuzzyFunction(const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                                                TFuzzySet*& FuzzySet) {
  const TBuiltInFunction* Function = FindBuiltIn(FuncName);
  const TArguments Args = CheckedArguments(*this, Function, FuncName, List);
  if (!FuzzySet) MissingResult();
  Generate(*Function, Args, NumFunctionValues(), *FuzzySet);
}

void TCustomFuzzyLogicParser::CalcFuzzyFunction(const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                                                IPtr<IFuzzySet>& FuzzySet) {
  const TBuiltInFunction* Function = FindBuiltIn(FuncName);
  const TArguments Args = CheckedArguments(*this, Function, FuncName, List);
  if (!FuzzySet) MissingResult();
  Generate(*Function, Args, NumFunctionValues(), *FuzzySet);
}

}  // namespace fuzzy
