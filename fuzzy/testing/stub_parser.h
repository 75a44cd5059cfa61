#pragma once
// A parser for tests of the logic components: the operations a test does not override raise.

#include <string>

#include "fuzzy/model/custom_fuzzy_logic_parser.h"

namespace fuzzy::testing {

class TStubParser : public TCustomFuzzyLogicParser {
 public:
  TFzyFloat EvalFuzzyExpression(const IPtr<IFuzzyVariable>&, const std::string&, IPtr<IFuzzySet>&) override {
    Unsupported();
  }
  IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>&, const std::string&) override { Unsupported(); }
  TFzyFloat EvalFuzzyExpression(TFuzzyVariable*, const std::string&, TFuzzySet*&) override { Unsupported(); }
  TFuzzySet* EvalFuzzyExpression(TFuzzyVariable*, const std::string&) override { Unsupported(); }
  IPtr<IFuzzySet> ParseFuzzySet(const IPtr<IFuzzyVariable>&, const std::string&, TEncoding*) override {
    Unsupported();
  }
  TFuzzySet* ParseFuzzySet(TFuzzyVariable*, const std::string&, TEncoding*) override { Unsupported(); }
  IPtr<IFuzzyVariable> ParseFuzzyVariableIntf(const std::string&, TEncoding*) override { Unsupported(); }
  TFuzzyVariable* ParseFuzzyVariable(const std::string&, TEncoding*) override { Unsupported(); }
  std::string PrettyPrint(const IPtr<IFuzzySet>&, bool) override { Unsupported(); }
  std::string PrettyPrint(const IPtr<IFuzzyVariable>&) override { Unsupported(); }
  std::string PrettyPrint(const TFuzzySet*, bool) override { Unsupported(); }
  std::string PrettyPrint(const TFuzzyVariable*) override { Unsupported(); }

 protected:
  explicit TStubParser(TComponent* AOwner) : TCustomFuzzyLogicParser(AOwner) {}
  ~TStubParser() override = default;
  void ParseFuzzyLogic(const std::string&, TEncoding*) override { Unsupported(); }

 private:
  [[noreturn]] static void Unsupported() { throw EFzyException("not supported by the test parser"); }
};

}  // namespace fuzzy::testing
