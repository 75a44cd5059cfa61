#pragma once
// The parser component base: what a logic component needs from a parser (reading a whole
// definition text, printing sets and variables back as text), the link to the logic component
// that parsing fills, the parser's events, the built-in membership functions and the parse error
// messages. A concrete parser implements the reading, the evaluation and the printing.
//
// The parser does not own its logic component and the logic component does not own its parser;
// each forgets the other when it is freed, so either may be freed first. Variables and sets of
// the interface model reach the parser through IFuzzyParser references (ParserIntf), which never
// keep the parser alive and stay safe to hold after it is freed.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "fuzzy/model/fuzzy_events.h"
#include "fuzzy/runtime/component.h"
#include "fuzzy/runtime/encoding.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TCustomFuzzyLogic;
class TFuzzyParserLink;

// ---- messages of the definition language ----

inline constexpr std::string_view SFzyMissingName = "Missing name";
inline constexpr std::string_view SFzyExpectedFuzzySet = "Expected \"( term\"";
inline constexpr std::string_view SFzyExpectedFuzzyDefinition = "Expected \"( deffuzzy\"";
inline constexpr std::string_view SFzyMissingOpenParens = "Expected \"(\"";
inline constexpr std::string_view SFzyMissingCloseParens = "Expected \")\"";
inline constexpr std::string_view SFzyExpectedNumber = "Expected number";
inline constexpr std::string_view SFzyExpectedKeyword = "Missing keyword.  Expected \"%s\"";
inline constexpr std::string_view SFzyMissingOperand = "Missing fuzzy operand to be modified by hedge: %s";
inline constexpr std::string_view SFzyUndefinedVariable = "fuzzy variable is not defined";
inline constexpr std::string_view SFzyInvalidToken = "Invalid item in fuzzy expression: %s";
inline constexpr std::string_view SFzyInvalidValuePair = "Invalid X/Y value pair: %s";
inline constexpr std::string_view SFzyUnexpectedToken = "Unexpected token: \"%s\"";

// ---- events of the parser ----

// Result comes in as the set evaluated so far and may be replaced.
using TFuzzyExpressionEvent = std::function<void(TObject* Sender, TFuzzyVariable* FuzzyVariable,
                                                 const std::string& Expression, TFuzzySet*& Result)>;
// Offered every function call before the built-ins: a handler that computes the set sets Handled
// (it may also replace Result).
using TCalcFuzzyFunctionEvent =
    std::function<void(TObject* Sender, const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                       TFuzzySet*& Result, bool& Handled)>;
using TCalcFuzzyIntfFunctionEvent =
    std::function<void(TObject* Sender, const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                       IPtr<IFuzzySet>& Result, bool& Handled)>;

class TCustomFuzzyLogicParser : public TComponent {
 public:
  std::string ClassName() const override { return "TCustomFuzzyLogicParser"; }

  TCustomFuzzyLogic* FuzzyLogic() const { return FFuzzyLogic; }
  void SetFuzzyLogic(TCustomFuzzyLogic* Value);
  // This parser as the interface model holds it. The reference does not keep the parser alive;
  // once the parser is freed, printing through it gives the bare name of the set or variable and
  // every other operation raises EFzyException (SParserUnassigned).
  IPtr<IFuzzyParser> ParserIntf();

  // Reads the definitions of AString into FuzzyLogic: OnParsing, ParseFuzzyLogic, OnParsed.
  // Without a logic component raises EFzyParseException (SFuzzyLogicNotSet) before any event;
  // when the reading raises, OnParsed is not called. Encoding may be null (the text is UTF-8).
  virtual void Parse(const std::string& AString, TEncoding* Encoding);

  // ---- reading, evaluating and printing: the concrete parser's work ----
  // The set that Expression gives over Variable's terms, and as result its crisp value.
  virtual TFzyFloat EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable, const std::string& Expression,
                                        IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                              const std::string& Expression) = 0;
  virtual TFzyFloat EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression,
                                        TFuzzySet*& FuzzySet) = 0;
  virtual TFuzzySet* EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression) = 0;
  // One term definition of AString read into Variable.
  virtual IPtr<IFuzzySet> ParseFuzzySet(const IPtr<IFuzzyVariable>& Variable, const std::string& AString,
                                        TEncoding* Encoding) = 0;
  virtual TFuzzySet* ParseFuzzySet(TFuzzyVariable* Variable, const std::string& AString, TEncoding* Encoding) = 0;
  // The first variable definition of AString, read into FuzzyLogic.
  virtual IPtr<IFuzzyVariable> ParseFuzzyVariableIntf(const std::string& AString, TEncoding* Encoding) = 0;
  virtual TFuzzyVariable* ParseFuzzyVariable(const std::string& AString, TEncoding* Encoding) = 0;
  // The text of a set (AsDefinition: as a complete term definition) and of a variable.
  virtual std::string PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) = 0;
  virtual std::string PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) = 0;
  virtual std::string PrettyPrint(const TFuzzySet* FuzzySet, bool AsDefinition) = 0;
  virtual std::string PrettyPrint(const TFuzzyVariable* FuzzyVariable) = 0;

  // ---- built-in membership functions: "pi", "tri", "s", "z", "beta" ----
  // Offers the call to OnCalcFuzzyFunction; unless the handler sets Handled, the built-ins fill
  // Result. Returns Result, or the set the handler put in its place.
  TFuzzySet* CalcFuzzyFunction(TFuzzySet* Result, const std::string& FuncName,
                               const IPtr<IFuzzyStreamTokenList>& List);
  IPtr<IFuzzySet> CalcFuzzyFunction(const IPtr<IFuzzySet>& Result, const std::string& FuncName,
                                    const IPtr<IFuzzyStreamTokenList>& List);
  // The built-ins: append the function's points to FuzzySet. The arguments must all be numbers
  // and their count one the function takes (checked in this order); an unknown name, a wrong type
  // or count is a parse error of "CalcFuzzyFunction". Errors of the shape generators pass through.
  virtual void CalcFuzzyFunction(const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                                 TFuzzySet*& FuzzySet);
  virtual void CalcFuzzyFunction(const std::string& FuncName, const IPtr<IFuzzyStreamTokenList>& List,
                                 IPtr<IFuzzySet>& FuzzySet);
  // The number of points the curve functions make: the logic component's setting, or 7.
  int NumFunctionValues() const;

  // ---- errors ----
  // Raises EFzyParseException "Parsing Error, Msg in Method at line Line: "Text"" with LineNumber
  // Line. A Text longer than 255 characters is quoted as its first 128, "... ", a line break and
  // its last 128.
  [[noreturn]] virtual void ParseError(std::string_view Method, std::string_view Msg, const std::string& Text,
                                       int Line);
  // The same at the reading position: GetParsedText() and GetLineNumber().
  [[noreturn]] void ParseError(std::string_view Method, std::string_view Msg);
  // The same with Msg formatted with Args first.
  [[noreturn]] void ParseError(std::string_view Method, std::string_view Msg,
                               std::initializer_list<TFormatArg> Args);
  // The text read so far and the line of the reading position; empty and 0 here.
  virtual std::string GetParsedText() const { return {}; }
  virtual int GetLineNumber() const { return 0; }
  // Whether the data type of every token of List is one of Types (true for an empty or nil list).
  static bool VerifyAll(const IPtr<IFuzzyStreamTokenList>& List, TFuzzyStreamTokenTypes Types);

  // ---- events ----
  // After a term, a variable of the class model is read.
  const TFuzzySetEvent& OnParseFuzzySet() const { return FOnParseFuzzySet; }
  void SetOnParseFuzzySet(TFuzzySetEvent Value) { FOnParseFuzzySet = std::move(Value); }
  const TFuzzyVariableEvent& OnParseFuzzyVariable() const { return FOnParseFuzzyVariable; }
  void SetOnParseFuzzyVariable(TFuzzyVariableEvent Value) { FOnParseFuzzyVariable = std::move(Value); }
  // After an expression of the class model is evaluated.
  const TFuzzyExpressionEvent& OnEvalExpression() const { return FOnEvalExpression; }
  void SetOnEvalExpression(TFuzzyExpressionEvent Value) { FOnEvalExpression = std::move(Value); }
  // Before a function of the class model is computed.
  const TCalcFuzzyFunctionEvent& OnCalcFuzzyFunction() const { return FOnCalcFuzzyFunction; }
  void SetOnCalcFuzzyFunction(TCalcFuzzyFunctionEvent Value) { FOnCalcFuzzyFunction = std::move(Value); }
  // The same four for the interface model.
  const TIFuzzySetEvent& OnParseFuzzySetIntf() const { return FOnParseFuzzySetIntf; }
  void SetOnParseFuzzySetIntf(TIFuzzySetEvent Value) { FOnParseFuzzySetIntf = std::move(Value); }
  const TIFuzzyVariableEvent& OnParseFuzzyVariableIntf() const { return FOnParseFuzzyVariableIntf; }
  void SetOnParseFuzzyVariableIntf(TIFuzzyVariableEvent Value) { FOnParseFuzzyVariableIntf = std::move(Value); }
  const TCalcFuzzyIntfFunctionEvent& OnCalcFuzzyIntfFunction() const { return FOnCalcFuzzyIntfFunction; }
  void SetOnCalcFuzzyIntfFunction(TCalcFuzzyIntfFunctionEvent Value) {
    FOnCalcFuzzyIntfFunction = std::move(Value);
  }
  const TIFuzzyExpressionEvent& OnEvalExpressionIntf() const { return FOnEvalExpressionIntf; }
  void SetOnEvalExpressionIntf(TIFuzzyExpressionEvent Value) { FOnEvalExpressionIntf = std::move(Value); }
  // Around a whole-text Parse.
  const TNotifyEvent& OnParsed() const { return FOnParsed; }
  void SetOnParsed(TNotifyEvent Value) { FOnParsed = std::move(Value); }
  const TNotifyEvent& OnParsing() const { return FOnParsing; }
  void SetOnParsing(TNotifyEvent Value) { FOnParsing = std::move(Value); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  // IFuzzyParser is answered with ParserIntf().
  HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
  void BeforeDestruction() override;

 protected:
  explicit TCustomFuzzyLogicParser(TComponent* AOwner);
  ~TCustomFuzzyLogicParser() override;
  // Reads the definitions of AString into FuzzyLogic (which is set).
  virtual void ParseFuzzyLogic(const std::string& AString, TEncoding* Encoding) = 0;

 private:
  TFuzzySetEvent FOnParseFuzzySet;
  TFuzzyVariableEvent FOnParseFuzzyVariable;
  TCustomFuzzyLogic* FFuzzyLogic = nullptr;
  TFuzzyExpressionEvent FOnEvalExpression;
  TCalcFuzzyFunctionEvent FOnCalcFuzzyFunction;
  TIFuzzySetEvent FOnParseFuzzySetIntf;
  TIFuzzyVariableEvent FOnParseFuzzyVariableIntf;
  TCalcFuzzyIntfFunctionEvent FOnCalcFuzzyIntfFunction;
  TIFuzzyExpressionEvent FOnEvalExpressionIntf;
  TNotifyEvent FOnParsed;
  TNotifyEvent FOnParsing;
  // Made on first use by ParserIntf; told when the parser goes.
  IPtr<TFuzzyParserLink> FLink;
};

}  // namespace fuzzy
