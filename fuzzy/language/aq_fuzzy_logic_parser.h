#pragma once
// The definition parser: reads definition texts into either model's logic component, reads
// single variable or term definitions on request, and prints sets and variables back as text.
//
// A text is a sequence of variable definitions:
//   (deffuzzy NAME ["comment"] clause*)   clause: (range MIN MAX) | (units UNIT) | (values term*)
//   term: (term NAME ["comment"] body)    body: ((X Y) ...) | (FUNCTION argument*) | expression
// The parser reads a whole definition before it builds the variable, so the variable's range is
// in place before any of its terms is made, wherever the range clause stands. Every violation of
// the grammar raises EFzyParseException naming the reading routine, the line and the text read so
// far; what the text held before the failure stays (in the class model, a failing definition
// keeps the clauses and terms read whole before the failure; in the interface model it is not
// stored).
//
// A reading that starts inside another (from an event handler) leaves the outer one intact.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzzy/language/fuzzy_definitions.h"
#include "fuzzy/language/fuzzy_logic_token_stream.h"
#include "fuzzy/model/custom_fuzzy_logic_parser.h"

namespace fuzzy {

class TFuzzyLogic;
class TIFuzzyLogic;

// Lists inside a term body nested deeper than the limit; formatted with the limit.
inline constexpr std::string_view SFzyNestingTooDeep = "Lists nested deeper than %d levels";
// A set or variable name that no atom can hold (empty, beginning with a delimiter, whitespace, "="
// or "?", or reading as a number), met by the printer; formatted with the name.
inline constexpr std::string_view SFzyNameNotWritable = "Name cannot be written as an atom: \"%s\"";
// A ?NAME reference to an entry that is being evaluated already; formatted with the chain.
inline constexpr std::string_view SFzyReferenceCycle = "Cyclic variable reference in fuzzy expression: %s";
// ?NAME references nested deeper than the limit; formatted with the limit and the chain.
inline constexpr std::string_view SFzyReferencesTooDeep = "Variable references nested deeper than %d levels: %s";

class TAQFuzzyLogicParser : public TCustomFuzzyLogicParser {
 public:
  std::string ClassName() const override { return "TAQFuzzyLogicParser"; }

  // The deepest nesting of lists that a term body may hold.
  static constexpr int MaxListNesting = 64;

  // ---- reading ----
  // The first definition of AString, added to FuzzyLogic (a TFuzzyLogic, a TIFuzzyLogic). Without
  // a logic component, or with one of the other model, raises EFzyParseException.
  TFuzzyVariable* ParseFuzzyVariable(const std::string& AString, TEncoding* Encoding) override;
  IPtr<IFuzzyVariable> ParseFuzzyVariableIntf(const std::string& AString, TEncoding* Encoding) override;
  // The next definition of Stream, which the caller keeps and may go on reading: for readers of
  // texts that hold other lists besides definitions. Errors name Stream's lines and echo.
  TFuzzyVariable* ParseFuzzyVariable(TFuzzyLogicTokenStream& Stream);
  // The first term definition of AString, added to Variable; needs no logic component. In the
  // class model the set is not marked defined.
  TFuzzySet* ParseFuzzySet(TFuzzyVariable* Variable, const std::string& AString, TEncoding* Encoding) override;
  IPtr<IFuzzySet> ParseFuzzySet(const IPtr<IFuzzyVariable>& Variable, const std::string& AString,
                                TEncoding* Encoding) override;

  // ---- expressions ----
  // An expression is a sequence of items over the terms of one variable: term names (atoms or
  // strings), "__Empty" or the empty string (the variable's empty set), numbers (crisp sets),
  // ?NAME (the expression stored under NAME in the logic component's Variables), function calls
  // and value-pair lists in parentheses, hedges (prefix, applied from the right), hedge operators
  // and connectives (infix, one level, grouping from the left) and groups in brackets:
  //   Parser->EvalFuzzyExpression(Temperature, "very hot or [somewhat mild and-product hot]")
  // The terms themselves are never changed: a hedge works on a copy. The sets made on the way stay
  // in the variable, not defined (class model), or are held by the result only (interface model).
  // Every failure is an EFzyParseException of "EvalFuzzyExpression" (or "ConvertListToValues");
  // errors of the engine and of the built-in functions pass through.
  //
  // The set of Expression, and as result its crisp value: the mean of maxima when the logic
  // component defuzzifies so, else the centre of gravity.
  TFzyFloat EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable, const std::string& Expression,
                                IPtr<IFuzzySet>& FuzzySet) override;
  IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                      const std::string& Expression) override;
  TFzyFloat EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression,
                                TFuzzySet*& FuzzySet) override;
  TFuzzySet* EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression) override;
  // The set of an expression's items in infix order, as ParseExpression or the reader gives them;
  // Tokens is left holding the items in postfix order.
  virtual TFuzzySet* EvalFuzzyExpression(TFuzzyVariable* Variable, const IPtr<IFuzzyStreamTokenList>& Tokens);
  virtual IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                              const IPtr<IFuzzyStreamTokenList>& Tokens);
  // The set of one operand token.
  TFuzzySet* EvalFuzzyExpression(TFuzzyVariable* Variable, const IPtr<IFuzzyStreamToken>& Token);
  IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzyStreamToken>& Token);

  // For callers that evaluate one expression many times (rule bases): the items of an expression
  // text; those items in postfix order, as a new list (Tokens stays as it is); and the set of such
  // a postfix list, which is not changed either, so that it can be evaluated again.
  IPtr<IFuzzyStreamTokenList> ParseExpression(const std::string& Expression);
  IPtr<IFuzzyStreamTokenList> PostfixExpression(const IPtr<IFuzzyStreamTokenList>& Tokens);
  TFuzzySet* EvalPostfixExpression(TFuzzyVariable* Variable, const IPtr<IFuzzyStreamTokenList>& Postfix);
  IPtr<IFuzzySet> EvalPostfixExpression(const IPtr<IFuzzyVariable>& Variable,
                                        const IPtr<IFuzzyStreamTokenList>& Postfix);

  // How PostFix sees the items of an expression: brackets "[" and "]"; operands (names, strings,
  // numbers, ?NAME, lists, sets) as opposed to hedges, hedge operators and connectives; and the
  // priorities that make hedges bind tighter than the infix operators and apply from the right.
  static bool IsOpenParen(const IPtr<IInterface>& Item);
  static bool IsCloseParen(const IPtr<IInterface>& Item);
  static bool IsOperand(const IPtr<IInterface>& Item);
  static int InStackPriority(const IPtr<IInterface>& Item);
  static int IncomingPriority(const IPtr<IInterface>& Item);
  // Appends the items of Source to Tokens, those of nested interface lists in their place.
  void FillExpression(const IPtr<IInterfaceList>& Source, const IPtr<IFuzzyStreamTokenList>& Tokens);
  // Adds to Set the points of List, a list of (X Y) lists of two numbers each; returns Set.
  TFuzzySet* ConvertListToValues(TFuzzySet* Set, const IPtr<IFuzzyStreamTokenList>& List);
  IPtr<IFuzzySet> ConvertListToValues(const IPtr<IFuzzySet>& Set, const IPtr<IFuzzyStreamTokenList>& List);

  // The deepest chain of ?NAME references an expression may follow (a reference to an entry that
  // is being evaluated already, a cycle, is refused at any depth).
  static constexpr int MaxReferenceDepth = 16;

  // ---- printing ----
  // Texts that read back to the same sets (within the "%.4f" of every number): a set of a standard
  // shape is written as its function call when the call gives its points again, any other set as
  // its points ("__Empty" when it has none). A name that no atom can hold (see
  // SFzyNameNotWritable) raises EFzyException before anything is written.
  //
  // AsDefinition false: the set's name (class model: its Expression when it has no name or the
  // name "__Empty"; interface model: then the empty string). True: "(term NAME ["comment"] body)",
  // without the term around it for a set of no name or the name "__Empty".
  std::string PrettyPrint(const TFuzzySet* FuzzySet, bool AsDefinition) override;
  std::string PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) override;
  // "(deffuzzy NAME ...)" with the variable's defined terms in index order (a set of no name or
  // the name "__Empty" is never one).
  std::string PrettyPrint(const TFuzzyVariable* FuzzyVariable) override;
  std::string PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) override;

  // ---- the reading position, for error messages ----
  // The echo of the text read so far (empty when nothing is being read).
  std::string GetParsedText() const override;
  // The line of the current token (0 when nothing is being read).
  int GetLineNumber() const override;

  // A token stream over Stream, which it owns, in Encoding.
  virtual TFuzzyLogicTokenStream* CreateStream(TStream* Stream, TEncoding* Encoding);
  // "FuzzySet" and a number unique in the process: the name of a set of the interface model
  // before it gets its own.
  static std::string GetUniqueName();

 protected:
  explicit TAQFuzzyLogicParser(TComponent* AOwner) : TCustomFuzzyLogicParser(AOwner) {}
  ~TAQFuzzyLogicParser() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Every definition of AString into FuzzyLogic.
  void ParseFuzzyLogic(const std::string& AString, TEncoding* Encoding) override;

 private:
  class TReadingScope;
  class TPositionScope;
  // The text being read.
  struct TReading {
    TFuzzyLogicTokenStream* Stream = nullptr;
    // The stream, when the reading made it for a text.
    TOwned<TFuzzyLogicTokenStream> OwnedStream;
    // While a term is built: where errors are reported.
    const TReadPosition* Reported = nullptr;
  };

  // ---- reading from the current stream ----
  // The tokens a reading routine meets are lent by the stream, which keeps those of the current
  // top-level list: a routine keeps none beyond its definition.
  IFuzzyStreamToken* NextToken() { return &FReading->Stream->Next(); }
  void PutBackToken(IFuzzyStreamToken* Token) { FReading->Stream->PutBackToken(*Token); }
  TReadPosition Position() const;
  // Reads every definition up to the end of the text.
  void ParseFuzzyLogic();
  // One definition, built into the logic component.
  TFuzzyVariable* ParseFuzzyVariable();
  IPtr<IFuzzyVariable> ParseFuzzyVariableIntf();
  // "(" Keyword NAME [COMMENT]: fills Name and Comment; returns the first token after the header.
  IFuzzyStreamToken* ParseHeader(std::string& Name, std::string& Comment, bool ReadComment,
                                 std::string_view Keyword, std::string_view Method, std::string_view ErrorMessage);
  // The clauses of a definition from T (the token after its header) to its closing ")".
  void ParseClauses(IFuzzyStreamToken* T, TVariableDefinition& Definition);
  // One term definition.
  TTermDefinition ParseFuzzySet();
  // A term's body: value pairs, a function call or an expression.
  void ParseFuzzyValues(TTermDefinition& Term);
  void ParseFuzzyValuePairs(TTermDefinition& Term);
  void ParseFuzzyFunction(TTermDefinition& Term);
  // The tokens up to the next unmatched ")" or the end of the text, which stays unread; nested
  // lists become list tokens. Depth counts the lists open around them.
  IPtr<IFuzzyStreamTokenList> ParseTokenList(int Depth);
  // The number of the next token, which must be an integer or a float.
  TFzyFloat ParseNumber(std::string_view Method);
  static bool IsEndOfText(const IFuzzyStreamToken* Token) { return Token->DataType() == fstNone; }

  // ---- building what was read ----
  // Adds the variable to Logic's variables (class model), or makes it of Logic's variable class
  // without storing it (interface model), and gives it the clauses and terms of Definition.
  TFuzzyVariable* BuildFuzzyVariable(TFuzzyLogic& Logic, const TVariableDefinition& Definition);
  IPtr<IFuzzyVariable> BuildFuzzyVariable(TIFuzzyLogic& Logic, const TVariableDefinition& Definition);
  // A new term of Variable from Term, named and commented; fires OnParseFuzzySet(Intf).
  TFuzzySet* BuildFuzzySet(TFuzzyVariable& Variable, const TTermDefinition& Term);
  IPtr<IFuzzySet> BuildFuzzySet(const IPtr<IFuzzyVariable>& Variable, const TTermDefinition& Term);
  // The set of a term's body.
  TFuzzySet* BuildBody(TFuzzyVariable& Variable, const TTermDefinition& Term);
  IPtr<IFuzzySet> BuildBody(const IPtr<IFuzzyVariable>& Variable, const TTermDefinition& Term);
  // The evaluation of both models.
  template <typename TModel>
  friend class TExpressionEvaluator;
  // Reads the items of an expression text (up to its end; anything after an unmatched ")" is an
  // invalid item) and hands them to Evaluate while the text is the reading position of errors.
  void ReadExpression(const std::string& Expression,
                      const std::function<void(const IPtr<IFuzzyStreamTokenList>&)>& Evaluate);

  TReading* FReading = nullptr;
  // The token stream of the last reading of a text, kept for the next one: a reading within a
  // reading makes a stream of its own.
  TOwned<TFuzzyLogicTokenStream> FIdleStream;
  // The ?NAME references being evaluated, innermost last: their entries in Variables and names.
  std::vector<std::pair<int, std::string>> FReferences;
};

}  // namespace fuzzy
