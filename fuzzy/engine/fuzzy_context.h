#pragma once
// What a fuzzy set reads from the variable that holds it and from that variable's logic component.
// The class model's variable and logic component implement these; a set without a variable (or a
// variable without a component) uses the defaults the set itself knows.
//
//   const TFuzzyVariableContext* Variable = Set->Variable();   // nullptr for a free-standing set
//   TFzyFloat Top = Variable ? Variable->Maximum() : 2147483647.0;
//   const TFuzzyLogicContext* Logic = Variable ? Variable->LogicContext() : nullptr;
//   int Points = Logic ? Logic->NumFunctionValues() : 7;
//
// The engine only reads these, also from several threads at once: implementations answer their
// const calls without changing anything.

#include <string>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class TFuzzySet;

class TFuzzyLogicContext {
 public:
  virtual int NumFunctionValues() const = 0;
  virtual TDefuzzificationMethod DefuzzificationMethod() const = 0;
  virtual TFuzzyInferenceMethod InferenceMethod() const = 0;
  virtual TFuzzyCorrelationMethod CorrelationMethod() const = 0;
  // The component is being designed (sets made then are defined terms).
  virtual bool IsDesigning() const = 0;
  // When the component has a parser: true, with the parser's text of Set in Text.
  virtual bool PrettyPrintSet(const TFuzzySet& Set, std::string& Text) const = 0;

 protected:
  ~TFuzzyLogicContext() = default;
};

class TFuzzyVariableContext {
 public:
  // The range, read by every point written to a set of the variable: held here, not behind a
  // virtual call.
  TFzyFloat Minimum() const { return FMinimum; }
  TFzyFloat Maximum() const { return FMaximum; }
  virtual TFzyFloat Threshold() const = 0;
  // The logic component the variable belongs to, or nullptr.
  virtual const TFuzzyLogicContext* LogicContext() const = 0;

 protected:
  ~TFuzzyVariableContext() = default;

  TFzyFloat FMinimum = 0.0;
  TFzyFloat FMaximum = 1.0;
};

}  // namespace fuzzy
