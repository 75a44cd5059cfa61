#include "fuzzy/language/aq_fuzzy_logic_parser.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

constexpr std::string_view SParseFuzzyLogic = "ParseFuzzyLogic";
constexpr std::string_view SParseFuzzyVariable = "ParseFuzzyVariable";
constexpr std::string_view SParseFuzzySet = "ParseFuzzySet";
constexpr std::string_view SParseFuzzyValuePairs = "ParseFuzzyValuePairs";
constexpr std::string_view SParseFuzzyFunction = "ParseFuzzyFunction";
constexpr std::string_view SParseTokenList = "ParseTokenList";
constexpr std::string_view SEvalFuzzyExpression = "EvalFuzzyExpression";
constexpr std::string_view SClauseKeywords = "range, units, or values";

bool Is(const IFuzzyStreamToken* Token, int DataType) { return Token->DataType() == DataType; }

bool IsNumber(const IFuzzyStreamToken* Token) { return Is(Token, fstInteger) || Is(Token, fstFloat); }

void RequireLogic(const TCustomFuzzyLogic* Logic) {
  if (!Logic) throw EFzyParseException(SFuzzyLogicNotSet);
}

}  // namespace

// ---- the text being read -----------------------------------------------------------------------

// Installs a reading of a text (or of a stream the caller keeps) for its lifetime and then
// restores the reading it interrupted.
class TAQFuzzyLogicParser::TReadingScope {
 public:
  TReadingScope(TAQFuzzyLogicParser& Parser, const std::string& Text, TEncoding* Encoding)
      : FParser(Parser), FOuter(Parser.FReading) {
    // The caller keeps its encoding: the string stream does not own it.
    TOwned<TStream> Source = MakeOwned<TAQStringStream>(Text, Encoding, false);
    if (Parser.FIdleStream) {
      FReading.OwnedStream = std::move(Parser.FIdleStream);
      FReading.OwnedStream->Restart(Source.release(), Encoding);
    } else {
      FReading.OwnedStream.reset(Parser.CreateStream(Source.get(), Encoding));
      Source.release();
    }
    FReading.Stream = FReading.OwnedStream.get();
    Parser.FReading = &FReading;
  }
  TReadingScope(TAQFuzzyLogicParser& Parser, TFuzzyLogicTokenStream& Stream)
      : FParser(Parser), FOuter(Parser.FReading) {
    FReading.Stream = &Stream;
    Parser.FReading = &FReading;
  }
  ~TReadingScope() {
    FParser.FReading = FOuter;
    // The stream, emptied, serves the next reading of a text.
    if (FReading.OwnedStream && !FParser.FIdleStream) {
      FReading.OwnedStream->Restart(nullptr, nullptr);
      FParser.FIdleStream = std::move(FReading.OwnedStream);
    }
  }
  TReadingScope(const TReadingScope&) = delete;
  TReadingScope& operator=(const TReadingScope&) = delete;

 private:
  TAQFuzzyLogicParser& FParser;
  TReading* FOuter;
  TReading FReading;
};

// While a term is built, errors are reported where its body was read.
class TAQFuzzyLogicParser::TPositionScope {
 public:
  TPositionScope(TAQFuzzyLogicParser& Parser, const TReadPosition& Position)
      : FReading(Parser.FReading), FOuter(FReading ? FReading->Reported : nullptr) {
    if (FReading) FReading->Reported = &Position;
  }
  ~TPositionScope() {
    if (FReading) FReading->Reported = FOuter;
  }
  TPositionScope(const TPositionScope&) = delete;
  TPositionScope& operator=(const TPositionScope&) = delete;

 private:
  TReading* FReading;
  const TReadPosition* FOuter;
};

TFuzzyLogicTokenStream* TAQFuzzyLogicParser::CreateStream(TStream* Stream, TEncoding* Encoding) {
  return New<TFuzzyLogicTokenStream>(Stream, Encoding);
}

std::string TAQFuzzyLogicParser::GetUniqueName() {
  // Written in place: the interface model names every new set with it.
  std::string Name = "FuzzySet";
  char Digits[16];
  Name.append(Digits, std::to_chars(Digits, Digits + sizeof Digits, GetUniqueID()).ptr);
  return Name;
}

std::string TAQFuzzyLogicParser::GetParsedText() const {
  if (!FReading) return {};
  const TFuzzyLogicTokenStream& Stream = *FReading->Stream;
  return Stream.Echo(FReading->Reported ? FReading->Reported->EchoCount : Stream.EchoCount());
}

int TAQFuzzyLogicParser::GetLineNumber() const {
  if (!FReading) return 0;
  if (FReading->Reported) return FReading->Reported->Line;
  const IFuzzyStreamToken* Current = FReading->Stream->CurrentToken();
  return Current ? Current->LineNumber() : 0;
}

TReadPosition TAQFuzzyLogicParser::Position() const { return {GetLineNumber(), FReading->Stream->EchoCount()}; }

// ---- entry points ------------------------------------------------------------------------------

void TAQFuzzyLogicParser::ParseFuzzyLogic(const std::string& AString, TEncoding* Encoding) {
  RequireLogic(FuzzyLogic());
  const TReadingScope Reading(*this, AString, Encoding);
  ParseFuzzyLogic();
}

TFuzzyVariable* TAQFuzzyLogicParser::ParseFuzzyVariable(const std::string& AString, TEncoding* Encoding) {
  RequireLogic(FuzzyLogic());
  const TReadingScope Reading(*this, AString, Encoding);
  return ParseFuzzyVariable();
}

TFuzzyVariable* TAQFuzzyLogicParser::ParseFuzzyVariable(TFuzzyLogicTokenStream& Stream) {
  RequireLogic(FuzzyLogic());
  const TReadingScope Reading(*this, Stream);
  return ParseFuzzyVariable();
}

IPtr<IFuzzyVariable> TAQFuzzyLogicParser::ParseFuzzyVariableIntf(const std::string& AString, TEncoding* Encoding) {
  RequireLogic(FuzzyLogic());
  const TReadingScope Reading(*this, AString, Encoding);
  return ParseFuzzyVariableIntf();
}

TFuzzySet* TAQFuzzyLogicParser::ParseFuzzySet(TFuzzyVariable* Variable, const std::string& AString,
                                              TEncoding* Encoding) {
  if (!Variable) throw EFzyParseException(SFzyUndefinedVariable);
  const TReadingScope Reading(*this, AString, Encoding);
  return BuildFuzzySet(*Variable, ParseFuzzySet());
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::ParseFuzzySet(const IPtr<IFuzzyVariable>& Variable, const std::string& AString,
                                                   TEncoding* Encoding) {
  if (!Variable) throw EFzyParseException(SFzyUndefinedVariable);
  const TReadingScope Reading(*this, AString, Encoding);
  return BuildFuzzySet(Variable, ParseFuzzySet());
}

// ---- reading -----------------------------------------------------------------------------------

void TAQFuzzyLogicParser::ParseFuzzyLogic() {
  const bool InterfaceModel = dynamic_cast<TIFuzzyLogic*>(FuzzyLogic()) != nullptr;
  for (;;) {
    IFuzzyStreamToken* T = NextToken();
    if (IsEndOfText(T)) return;
    if (!Is(T, '(')) ParseError(SParseFuzzyLogic, SFzyUnexpectedToken, {T->ToString()});
    PutBackToken(T);
    if (InterfaceModel)
      ParseFuzzyVariableIntf();
    else
      ParseFuzzyVariable();
  }
}

TFuzzyVariable* TAQFuzzyLogicParser::ParseFuzzyVariable() {
  TVariableDefinition Definition;
  IFuzzyStreamToken* T = ParseHeader(Definition.Name, Definition.Comment, true, "deffuzzy", SParseFuzzyVariable,
                                     SFzyExpectedFuzzyDefinition);
  auto* Logic = dynamic_cast<TFuzzyLogic*>(FuzzyLogic());
  if (!Logic) throw EFzyParseException(SFuzzyLogicNotTFuzzyLogic);
  try {
    ParseClauses(T, Definition);
  } catch (...) {
    // What was read whole before the failure stays in the logic.
    BuildFuzzyVariable(*Logic, Definition);
    throw;
  }
  TFuzzyVariable* Variable = BuildFuzzyVariable(*Logic, Definition);
  if (OnParseFuzzyVariable()) OnParseFuzzyVariable()(this, Variable);
  return Variable;
}

IPtr<IFuzzyVariable> TAQFuzzyLogicParser::ParseFuzzyVariableIntf() {
  TVariableDefinition Definition;
  IFuzzyStreamToken* T = ParseHeader(Definition.Name, Definition.Comment, true, "deffuzzy", SParseFuzzyVariable,
                                     SFzyExpectedFuzzyDefinition);
  auto* Logic = dynamic_cast<TIFuzzyLogic*>(FuzzyLogic());
  if (!Logic) throw EFzyParseException(SFuzzyLogicNotTIFuzzyLogic);
  try {
    ParseClauses(T, Definition);
  } catch (...) {
    // The terms read whole are built (their events fire), but the variable is not stored.
    BuildFuzzyVariable(*Logic, Definition);
    throw;
  }
  const IPtr<IFuzzyVariable> Variable = BuildFuzzyVariable(*Logic, Definition);
  Logic->Items().Put(Definition.Name, Variable);
  if (OnParseFuzzyVariableIntf()) OnParseFuzzyVariableIntf()(Variable);
  return Variable;
}

IFuzzyStreamToken* TAQFuzzyLogicParser::ParseHeader(std::string& Name, std::string& Comment, bool ReadComment,
                                                    std::string_view Keyword, std::string_view Method,
                                                    std::string_view ErrorMessage) {
  const IFuzzyStreamToken* Open = NextToken();
  const IFuzzyStreamToken* Head = NextToken();
  if (!Is(Open, '(') || !Is(Head, fstAtom) || Head->Text() != Keyword) ParseError(Method, ErrorMessage);
  IFuzzyStreamToken* T = NextToken();
  if (!Is(T, fstAtom)) ParseError(Method, SFzyMissingName);
  Name = T->Text();
  T = NextToken();
  if (ReadComment) {
    Comment.clear();
    if (Is(T, fstString)) {
      Comment = T->Text();
      T = NextToken();
    }
  }
  return T;
}

void TAQFuzzyLogicParser::ParseClauses(IFuzzyStreamToken* T, TVariableDefinition& Definition) {
  while (!Is(T, ')')) {
    // A definition the text never closes.
    if (IsEndOfText(T)) ParseError(SParseFuzzyVariable, SFzyMissingCloseParens);
    const IFuzzyStreamToken* Keyword = NextToken();
    if (!Is(T, '(')) ParseError(SParseFuzzyVariable, SFzyMissingOpenParens);
    if (!Is(Keyword, fstAtom)) ParseError(SParseFuzzyVariable, SFzyExpectedKeyword, {SClauseKeywords});
    const std::string Clause = Keyword->Text();
    if (Clause == "range") {
      const TFzyFloat Minimum = ParseNumber(SParseFuzzyVariable);
      const TFzyFloat Maximum = ParseNumber(SParseFuzzyVariable);
      T = NextToken();
      if (!Is(T, ')')) ParseError(SParseFuzzyVariable, SFzyMissingCloseParens);
      Definition.Ranges.push_back({Minimum, Maximum});
    } else if (Clause == "units") {
      const std::string Units = NextToken()->ToString();
      T = NextToken();
      if (!Is(T, ')')) ParseError(SParseFuzzyVariable, SFzyMissingCloseParens);
      Definition.Units = Units;
    } else if (Clause == "values") {
      T = NextToken();
      while (!Is(T, ')')) {
        if (IsEndOfText(T)) ParseError(SParseFuzzyVariable, SFzyMissingCloseParens);
        PutBackToken(T);
        Definition.Terms.push_back(ParseFuzzySet());
        T = NextToken();
      }
    } else {
      ParseError(SParseFuzzyVariable, SFzyExpectedKeyword, {SClauseKeywords});
    }
    T = NextToken();
  }
}

TTermDefinition TAQFuzzyLogicParser::ParseFuzzySet() {
  TTermDefinition Term;
  IFuzzyStreamToken* T = ParseHeader(Term.Name, Term.Comment, true, "term", SParseFuzzySet, SFzyExpectedFuzzySet);
  PutBackToken(T);
  ParseFuzzyValues(Term);
  if (!Is(NextToken(), ')')) ParseError(SParseFuzzySet, SFzyMissingCloseParens);
  return Term;
}

void TAQFuzzyLogicParser::ParseFuzzyValues(TTermDefinition& Term) {
  IFuzzyStreamToken* T1 = NextToken();
  if (!Is(T1, '(')) {
    PutBackToken(T1);
    Term.Body = TTermDefinition::TBody::Expression;
    Term.Items = ParseTokenList(1);
    Term.Position = Position();
    return;
  }
  IFuzzyStreamToken* T2 = NextToken();
  PutBackToken(T2);
  PutBackToken(T1);
  if (Is(T2, '('))
    ParseFuzzyValuePairs(Term);
  else
    ParseFuzzyFunction(Term);
}

void TAQFuzzyLogicParser::ParseFuzzyValuePairs(TTermDefinition& Term) {
  Term.Body = TTermDefinition::TBody::ValuePairs;
  if (!Is(NextToken(), '(')) ParseError(SParseFuzzyValuePairs, SFzyMissingOpenParens);
  const IFuzzyStreamToken* T = NextToken();
  while (Is(T, '(')) {
    const TFzyFloat X = ParseNumber(SParseFuzzyValuePairs);
    const TFzyFloat Y = ParseNumber(SParseFuzzyValuePairs);
    // A pair closed by anything but ")" would shift every list after it.
    if (!Is(NextToken(), ')')) ParseError(SParseFuzzyValuePairs, SFzyMissingCloseParens);
    Term.Points.emplace_back(X, Y);
    T = NextToken();
  }
  if (!Is(T, ')')) ParseError(SParseFuzzyValuePairs, SFzyMissingCloseParens);
}

void TAQFuzzyLogicParser::ParseFuzzyFunction(TTermDefinition& Term) {
  Term.Body = TTermDefinition::TBody::Function;
  if (!Is(NextToken(), '(')) ParseError(SParseFuzzyFunction, SFzyMissingOpenParens);
  const IFuzzyStreamToken* Name = NextToken();
  if (!Is(Name, fstAtom)) ParseError(SParseFuzzyFunction, SFzyMissingName);
  Term.Function = Name->Text();
  Term.Items = ParseTokenList(1);
  Term.Position = Position();
  if (!Is(NextToken(), ')')) ParseError(SParseFuzzyFunction, SFzyMissingCloseParens);
}

IPtr<IFuzzyStreamTokenList> TAQFuzzyLogicParser::ParseTokenList(int Depth) {
  if (Depth > MaxListNesting) ParseError(SParseTokenList, SFzyNestingTooDeep, {MaxListNesting});
  TFuzzyStreamTokenList* const Tokens = New<TFuzzyStreamTokenList>();
  const IPtr<IFuzzyStreamTokenList> List(Tokens);
  IFuzzyStreamToken* T = NextToken();
  while (!IsEndOfText(T) && !Is(T, ')')) {
    if (Is(T, '(')) {
      // The nested list stands in a token of its own: the "(" keeps the text it was echoed with.
      IPtr<IFuzzyStreamToken> ListToken(New<TFuzzyStreamToken>());
      ListToken->SetLineNumber(T->LineNumber());
      ListToken->SetWhitespace(T->Whitespace());
      ListToken->SetList(ParseTokenList(Depth + 1));
      if (!Is(NextToken(), ')')) ParseError(SParseTokenList, SFzyMissingCloseParens);
      List->Add(ListToken);
    } else {
      Tokens->AddToken(T);
    }
    T = NextToken();
  }
  PutBackToken(T);
  return List;
}

TFzyFloat TAQFuzzyLogicParser::ParseNumber(std::string_view Method) {
  const IFuzzyStreamToken* T = NextToken();
  if (!IsNumber(T)) ParseError(Method, SFzyExpectedNumber);
  return T->Number();
}

// ---- building ----------------------------------------------------------------------------------

TFuzzyVariable* TAQFuzzyLogicParser::BuildFuzzyVariable(TFuzzyLogic& Logic, const TVariableDefinition& Definition) {
  TFuzzyVariables& Variables = Logic.Items();
  const TUpdateBracket Bracket(Variables);
  TFuzzyVariable* Variable = Variables.Add();
  // With AutoTerms the variable is built outside the collection and gets the automatic terms it
  // lacks when it rejoins, on its own range.
  const bool AutoTerms = Logic.AutoTerms();
  if (AutoTerms) {
    Variable->SetCollection(nullptr);
    Variable->Items().Clear();
  }
  try {
    Variable->SetName(Definition.Name);
    Variable->SetComment(Definition.Comment);
    for (const TVariableDefinition::TRange& Range : Definition.Ranges) {
      Variable->SetMinimum(Range.Minimum);
      Variable->SetMaximum(Range.Maximum);
    }
    if (Definition.Units) Variable->SetUnits(*Definition.Units);
    for (const TTermDefinition& Term : Definition.Terms) BuildFuzzySet(*Variable, Term)->SetDefined(true);
  } catch (...) {
    if (AutoTerms) Variable->SetCollection(&Variables);
    throw;
  }
  if (AutoTerms) Variable->SetCollection(&Variables);
  return Variable;
}

IPtr<IFuzzyVariable> TAQFuzzyLogicParser::BuildFuzzyVariable(TIFuzzyLogic& Logic,
                                                            const TVariableDefinition& Definition) {
  const IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create(Definition.Name, Logic.ItemClass());
  Variable->SetComment(Definition.Comment);
  Variable->SetParser(ParserIntf());
  for (const TVariableDefinition::TRange& Range : Definition.Ranges) {
    Variable->SetMinimum(Range.Minimum);
    Variable->SetMaximum(Range.Maximum);
  }
  if (Definition.Units) Variable->SetUnits(*Definition.Units);
  for (const TTermDefinition& Term : Definition.Terms) BuildFuzzySet(Variable, Term)->SetDefined(true);
  return Variable;
}

TFuzzySet* TAQFuzzyLogicParser::BuildFuzzySet(TFuzzyVariable& Variable, const TTermDefinition& Term) {
  TFuzzySet* Set = BuildBody(Variable, Term);
  Set->SetName(Term.Name);
  Set->SetExpression(Term.Name);
  Set->SetComment(Term.Comment);
  if (OnParseFuzzySet()) OnParseFuzzySet()(this, Set);
  return Set;
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::BuildFuzzySet(const IPtr<IFuzzyVariable>& Variable,
                                                   const TTermDefinition& Term) {
  const IPtr<IFuzzySet> Set = BuildBody(Variable, Term);
  Set->SetName(Term.Name);
  Set->SetComment(Term.Comment);
  // An expression's set is held by the evaluation only: the term joins the table under its name.
  if (Variable->ContainsFuzzySet(Term.Name) != Set) {
    Set->SetDefined(true);
    Variable->Add(Set);
  }
  if (OnParseFuzzySetIntf()) OnParseFuzzySetIntf()(Variable, Set);
  return Set;
}

TFuzzySet* TAQFuzzyLogicParser::BuildBody(TFuzzyVariable& Variable, const TTermDefinition& Term) {
  TFuzzySets& Sets = Variable.Items();
  switch (Term.Body) {
    case TTermDefinition::TBody::ValuePairs: {
      TFuzzySet* Set = Sets.Add();
      try {
        const TUpdateBracket Bracket(Set->Values());
        for (const auto& [X, Y] : Term.Points) Set->Values().Add(X, Y);
      } catch (...) {
        Set->Free();
        throw;
      }
      return Set;
    }
    case TTermDefinition::TBody::Function: {
      // When the function fails, the new set stays in the variable.
      TFuzzySet* Set = Sets.Add();
      const TPositionScope At(*this, Term.Position);
      return CalcFuzzyFunction(Set, Term.Function, Term.Items);
    }
    case TTermDefinition::TBody::Expression: {
      std::vector<const TFuzzySet*> Before;
      for (const TFuzzySet* Set : Sets) Before.push_back(Set);
      const TPositionScope At(*this, Term.Position);
      TFuzzySet* Result = EvalFuzzyExpression(&Variable, Term.Items);
      // A body that names another term gives a copy of it: the term itself keeps its name.
      if (std::find(Before.begin(), Before.end(), Result) != Before.end()) Result = Result->Clone();
      return Result;
    }
  }
  return nullptr;
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::BuildBody(const IPtr<IFuzzyVariable>& Variable, const TTermDefinition& Term) {
  switch (Term.Body) {
    case TTermDefinition::TBody::ValuePairs: {
      const IPtr<IFuzzySet> Set = Variable->Add(GetUniqueName());
      WithinUpdate(*Set, [&] {
        for (const auto& [X, Y] : Term.Points) Set->Add(X, Y);
      });
      return Set;
    }
    case TTermDefinition::TBody::Function: {
      const IPtr<IFuzzySet> Set = Variable->Add(GetUniqueName());
      const TPositionScope At(*this, Term.Position);
      return CalcFuzzyFunction(Set, Term.Function, Term.Items);
    }
    case TTermDefinition::TBody::Expression: {
      std::vector<IPtr<IFuzzySet>> Before;
      for (int I = 0; I < Variable->GetCount(); ++I) Before.push_back(Variable->GetFuzzySet(I));
      const TPositionScope At(*this, Term.Position);
      IPtr<IFuzzySet> Result = EvalFuzzyExpression(Variable, Term.Items);
      // A whole copy, with the term's shape (an assignment through the interface would make the
      // copy's shape anew from its points); it joins the table under the new term's name.
      if (std::find(Before.begin(), Before.end(), Result) != Before.end()) Result = QueryIntf<IFuzzySet>(Result->Clone());
      return Result;
    }
  }
  return nullptr;
}

// ---- expressions ----------------------------------------------------------------------------

void TAQFuzzyLogicParser::ReadExpression(const std::string& Expression,
                                         const std::function<void(const IPtr<IFuzzyStreamTokenList>&)>& Evaluate) {
  const TReadingScope Reading(*this, Expression, nullptr);
  const IPtr<IFuzzyStreamTokenList> Items = ParseTokenList(0);
  // ParseTokenList stops at an unmatched ")": the expression ends there, but the text does not.
  const IFuzzyStreamToken* Rest = NextToken();
  if (!IsEndOfText(Rest)) ParseError(SEvalFuzzyExpression, SFzyInvalidToken, {Rest->ToString()});
  Evaluate(Items);
}

}  // namespace fuzzy
