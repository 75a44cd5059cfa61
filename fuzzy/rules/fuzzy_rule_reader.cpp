#include "fuzzy/rules/fuzzy_rule_reader.h"

#include <algorithm>
#include <vector>

#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/imodel/fuzzy_stream_tokens.h"
#include "fuzzy/language/fuzzy_words.h"
#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/rules/internal/system_parser.h"

namespace fuzzy {

namespace {

// Where an error stands: formatted with the rule's number and its block's name.
constexpr std::string_view SRuleLocation = "rule %d of block \"%s\"";
// The messages; %s of a found word is the word in quotes, or "the end of the rule".
constexpr std::string_view SRuleExpected = "Expected \"%s\", found %s";
constexpr std::string_view SRuleExpectedIs = "Expected \"is\" after \"%s\", found %s";
constexpr std::string_view SRuleExpectedVariable = "Expected a variable, found %s";
constexpr std::string_view SRuleUnknownVariable = "Unknown variable \"%s\"%s";
constexpr std::string_view SRuleTermNotVariable =
    " (a term of \"%s\": a connective inside a clause's set needs brackets)";
constexpr std::string_view SRuleExpectedTerm = "Expected a term of \"%s\", found %s";
constexpr std::string_view SRuleUnknownTerm = "Unknown term \"%s\" of \"%s\"%s";
constexpr std::string_view SRuleUnknownReference =
    "Unknown reference \"?%s\": no entry of that name in Variables";
constexpr std::string_view SRuleExpectedConnective = "Expected a connective or \"%s\", found %s";
constexpr std::string_view SRuleSumIntersection = "Invalid connective \"%s\": no intersection is a sum";
constexpr std::string_view SRuleInvalidSet = "Invalid set for \"%s\": %s";
constexpr std::string_view SRuleExpectedConclusionEnd =
    "Expected \"and\", \"with\" or the end of the rule, found %s";
constexpr std::string_view SRuleExpectedWeight = "Expected a number after \"with\", found %s";
constexpr std::string_view SRuleExpectedEnd = "Expected the end of the rule, found %s";
constexpr std::string_view SRuleNestingTooDeep = "Conditions nested deeper than %d levels";
constexpr std::string_view SDidYouMean = " (did you mean \"%s\"?)";

// The deepest nesting of condition groups a rule may hold.
constexpr int MaxConditionNesting = 64;

using TToken = IPtr<IFuzzyStreamToken>;

bool Is(const TToken& T, int DataType) { return T->DataType() == DataType; }
bool IsEnd(const TToken& T) { return Is(T, fstNone); }
bool IsKeyword(const TToken& T, std::string_view Keyword) { return Is(T, fstAtom) && T->Text() == Keyword; }
bool IsName(const TToken& T) { return Is(T, fstAtom) || Is(T, fstString); }
bool IsNumber(const TToken& T) { return Is(T, fstInteger) || Is(T, fstFloat); }
// The empty text and "__Empty" name the variable's empty set, not a term.
bool NamesEmptySet(const std::string& Name) { return Name.empty() || Name == SEmptyFuzzy; }

bool IsConnective(const TToken& T, TFuzzyConnective& Connective) {
  return Is(T, fstAtom) && IsFuzzyKeyword(T->Text(), Connective.IsUnion, Connective.Operation);
}

// A word of the rule as written.
std::string Written(const TToken& T) {
  switch (T->DataType()) {
    case fstAtom:
      return AtomText(T->Text());
    case fstString:
      return StringText(T->Text());
    case fstFloat:
      return FloatToStr(T->Number());
    case fstList: {
      std::string Text = "(";
      const IPtr<IFuzzyStreamTokenList> List = T->List();
      for (int I = 0; I < List->GetValueCount(); ++I) {
        if (I > 0) Text += ' ';
        Text += Written(List->Get(I));
      }
      return Text + ")";
    }
    default:
      return T->ToString();
  }
}

// A found word for a message: a name as it reads, any other word as written.
std::string Found(const TToken& T) {
  if (IsEnd(T)) return "the end of the rule";
  return Concat({"\"", IsName(T) ? T->Text() : Written(T), "\""});
}

// The words of a set as written: separated by spaces, none inside the brackets.
std::string Written(const IPtr<IFuzzyStreamTokenList>& Items) {
  std::string Text;
  for (int I = 0; I < Items->GetValueCount(); ++I) {
    const TToken T = Items->Get(I);
    const bool Closing = Is(T, ']');
    if (!Text.empty() && Text.back() != '[' && !Closing) Text += ' ';
    Text += Written(T);
  }
  return Text;
}

// The number of single-character edits that turn A into B.
std::size_t EditDistance(std::string_view A, std::string_view B) {
  std::vector<std::size_t> Row(B.size() + 1);
  for (std::size_t J = 0; J <= B.size(); ++J) Row[J] = J;
  for (std::size_t I = 1; I <= A.size(); ++I) {
    std::size_t Diagonal = Row[0];
    Row[0] = I;
    for (std::size_t J = 1; J <= B.size(); ++J) {
      const std::size_t Above = Row[J];
      Row[J] = std::min({Row[J] + 1, Row[J - 1] + 1, Diagonal + (A[I - 1] == B[J - 1] ? 0 : 1)});
      Diagonal = Above;
    }
  }
  return Row[B.size()];
}

// " (did you mean "NAME"?)" for the first of Names closest to Word, when it is a small edit away
// (one for words of up to three characters, else two); else "".
std::string Suggestion(std::string_view Word, const std::vector<std::string>& Names) {
  const std::size_t Limit = Word.size() <= 3 ? 1 : 2;
  const std::string* Best = nullptr;
  std::size_t BestDistance = Limit + 1;
  for (const std::string& Name : Names)
    if (const std::size_t Distance = EditDistance(Word, Name); Distance < BestDistance) {
      Best = &Name;
      BestDistance = Distance;
    }
  return Best ? Format(SDidYouMean, {*Best}) : std::string();
}

// A term is a defined set: what a definition made, and what the printer writes. Sets that other
// computations left in the variable are none.
bool IsTerm(const TFuzzySet& Set) { return Set.Defined() && !NamesEmptySet(Set.Name()); }

// The term of Variable named Name, or nullptr.
TFuzzySet* TermOf(const TFuzzyVariable& Variable, const std::string& Name) {
  for (TFuzzySet* Set : Variable.Items())
    if (Set->Name() == Name && IsTerm(*Set)) return Set;
  return nullptr;
}

std::vector<std::string> TermNames(const TFuzzyVariable& Variable) {
  std::vector<std::string> Names;
  for (const TFuzzySet* Set : Variable.Items())
    if (IsTerm(*Set)) Names.push_back(Set->Name());
  return Names;
}

// While a clause's set is computed: the sets the evaluation adds to the variable, which are freed
// when the computation ends, except the one the clause takes over.
class TNewSets {
 public:
  explicit TNewSets(TFuzzyVariable& Variable) : FVariable(Variable) {
    for (TFuzzySet* Set : Variable.Items()) FBefore.push_back(Set);
  }
  ~TNewSets() {
    std::vector<TFuzzySet*> New;
    for (TFuzzySet* Set : FVariable.Items())
      if (!Existed(Set) && Set != FKept) New.push_back(Set);
    for (TFuzzySet* Set : New) Set->Free();
  }
  TNewSets(const TNewSets&) = delete;
  TNewSets& operator=(const TNewSets&) = delete;

  bool Existed(const TFuzzySet* Set) const {
    return std::find(FBefore.begin(), FBefore.end(), Set) != FBefore.end();
  }
  void Keep(const TFuzzySet* Set) { FKept = Set; }

 private:
  TFuzzyVariable& FVariable;
  std::vector<TFuzzySet*> FBefore;
  const TFuzzySet* FKept = nullptr;
};

class TRuleReader {
 public:
  TRuleReader(TFuzzyRuleBlock& Block, const std::string& Text, TAQFuzzyLogicParser& Parser, int FirstLine)
      : FBlock(Block), FLogic(Block.System().Logic()), FText(Text), FParser(Parser), FFirstLine(FirstLine) {
    TOwned<TStream> Source = MakeOwned<TAQStringStream>(Text, nullptr, false);
    FStream.reset(Parser.CreateStream(Source.get(), nullptr));
    Source.release();
    FStream->SetLineNumber(FirstLine);
  }

  TFuzzyRule& Read() {
    const TToken If = Next();
    if (!IsKeyword(If, "if")) Fail(If, SRuleExpected, {"if", Found(If)});
    TFuzzyAntecedent Antecedent = Condition("then", 0);
    std::vector<TFuzzyConclusion> Conclusions;
    TFzyFloat Weight = 1;
    FPrevious = nullptr;
    for (;;) {
      TFuzzyVariable& Variable = VariableIs(Next());
      TFuzzySet& Term = ConclusionTerm(Variable);
      Conclusions.push_back({&Variable, &Term});
      const TToken T = Next();
      if (IsKeyword(T, "and")) continue;
      if (IsKeyword(T, "with")) {
        Weight = ReadWeight();
        break;
      }
      if (IsEnd(T)) break;
      Fail(T, SRuleExpectedConclusionEnd, {Found(T)});
    }
    try {
      TFuzzyRule& Rule = FBlock.Add(std::move(Antecedent), std::move(Conclusions), Weight);
      Rule.SetText(FText);
      return Rule;
    } catch (const EFzyException& E) {
      // A variable that would be both an input and an output of the system.
      Fail(FFirstLine, E.what());
    }
  }

 private:
  [[noreturn]] void Fail(int Line, std::string_view Message) {
    const std::string Where = Format(SRuleLocation, {FBlock.Count() + 1, FBlock.Name()});
    FParser.ParseError(Where, Message, FText, Line);
    // A descendant's ParseError that returns still ends the reading.
    throw EFzyParseException(Message, Line);
  }
  [[noreturn]] void Fail(const TToken& At, std::string_view Message, std::initializer_list<TFormatArg> Args) {
    Fail(At->LineNumber(), Format(Message, Args));
  }

  TToken Next() {
    try {
      return FStream->NextToken();
    } catch (const EFzyParseException& E) {
      // A string that the text does not close.
      Fail(E.LineNumber(), E.what());
    }
  }
  void PutBack(const TToken& T) { FStream->PutBackToken(T); }

  // Conditions joined by connectives up to Closer ("then", "]" or ")"), which is read.
  TFuzzyAntecedent Condition(std::string_view Closer, int Depth) {
    TFuzzyAntecedent Result = Operand(Closer, Depth);
    for (;;) {
      const TToken T = Next();
      TFuzzyConnective Connective;
      if (!IsConnective(T, Connective)) {
        const bool Closes = Closer == "then" ? IsKeyword(T, "then") : Is(T, Closer[0]);
        if (!Closes) Fail(T, SRuleExpectedConnective, {Closer, Found(T)});
        return Result;
      }
      CheckConnective(T, Connective);
      TFuzzyAntecedent Right = Operand(Closer, Depth);
      Result = TFuzzyAntecedent::Combine(std::move(Result), Connective, std::move(Right));
    }
  }

  // A clause, or a condition in brackets.
  TFuzzyAntecedent Operand(std::string_view Closer, int Depth) {
    const TToken T = Next();
    if (Is(T, '[') || Is(T, '(')) {
      if (Depth >= MaxConditionNesting) Fail(T, SRuleNestingTooDeep, {MaxConditionNesting});
      return Condition(Is(T, '[') ? "]" : ")", Depth + 1);
    }
    PutBack(T);
    return Clause(Closer);
  }

  TFuzzyAntecedent Clause(std::string_view Closer) {
    const TToken Name = Next();
    TFuzzyVariable& Variable = VariableIs(Name);
    const IPtr<IFuzzyStreamTokenList> Items = SetItems(Variable, Closer);
    FPrevious = &Variable;
    if (Items->GetValueCount() == 1 && IsName(Items->Get(0)))
      if (const TFuzzySet* Term = TermOf(Variable, Items->Get(0)->Text()))
        return TFuzzyAntecedent::Is(Variable, *Term);

    // The evaluation leaves the items in postfix order: the text is taken first.
    const std::string Text = Written(Items);
    TNewSets Sets(Variable);
    TFuzzySet* Set = nullptr;
    try {
      Set = FParser.EvalFuzzyExpression(&Variable, Items);
    } catch (const EFzyException& E) {
      Fail(Name, SRuleInvalidSet, {Variable.Name(), E.what()});
    }
    if (Sets.Existed(Set)) return TFuzzyAntecedent::Is(Variable, *Set);
    Sets.Keep(Set);
    return TFuzzyAntecedent::Is(Variable, Set, Text);
  }

  // "VARIABLE is": the variable that Name names, and the "is" after it.
  TFuzzyVariable& VariableIs(const TToken& Name) {
    if (!IsName(Name)) Fail(Name, SRuleExpectedVariable, {Found(Name)});
    const std::string& Text = Name->Text();
    const int Index = FLogic.Items().IndexOf(Text);
    if (Index >= 0) {
      TFuzzyVariable& Variable = *FLogic.Items().Items(Index);
      const TToken Keyword = Next();
      if (!IsKeyword(Keyword, "is")) Fail(Keyword, SRuleExpectedIs, {Text, Found(Keyword)});
      return Variable;
    }
    if (FPrevious && TermOf(*FPrevious, Text))
      Fail(Name, SRuleUnknownVariable, {Text, Format(SRuleTermNotVariable, {FPrevious->Name()})});
    std::vector<std::string> Names;
    for (const TFuzzyVariable* Variable : FLogic.Items()) Names.push_back(Variable->Name());
    Fail(Name, SRuleUnknownVariable, {Text, Suggestion(Text, Names)});
  }

  // The items of a clause's set up to where it ends (see the header), which stays unread.
  IPtr<IFuzzyStreamTokenList> SetItems(const TFuzzyVariable& Variable, std::string_view Closer) {
    IPtr<IFuzzyStreamTokenList> Items(New<TFuzzyStreamTokenList>());
    int Open = 0;  // [ groups of the set
    bool ExpectOperand = true;
    for (;;) {
      TToken T = Next();
      if (Is(T, '(')) T = ListToken(T, 1);
      // The set's items are told apart as the expressions tell them, by their text: a string "]"
      // closes a group too.
      const IPtr<IInterface> Item(T);
      TFuzzyConnective Connective;
      const bool Ends = IsEnd(T) || IsKeyword(T, "then") || Is(T, ')') ||
                        (Open == 0 && (TAQFuzzyLogicParser::IsCloseParen(Item) ||
                                       (!ExpectOperand && IsConnective(T, Connective))));
      if (Ends) {
        if (Open > 0) Fail(T, SRuleExpected, {"]", Found(T)});
        if (ExpectOperand) Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
        PutBack(T);
        return Items;
      }
      const std::string Text = T->Text();
      if (TAQFuzzyLogicParser::IsOpenParen(Item)) {
        if (!ExpectOperand) Fail(T, SRuleExpectedConnective, {Open > 0 ? "]" : Closer, Found(T)});
        ++Open;
      } else if (TAQFuzzyLogicParser::IsCloseParen(Item)) {
        if (ExpectOperand) Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
        --Open;
      } else if (TAQFuzzyLogicParser::IsOperand(Item)) {
        if (!ExpectOperand) Fail(T, SRuleExpectedConnective, {Open > 0 ? "]" : Closer, Found(T)});
        CheckOperand(Variable, T);
        ExpectOperand = false;
      } else if (IsFuzzyKeyword(Text, Connective.IsUnion, Connective.Operation) ||
                 IsFuzzyHedgeOperator(Text)) {
        if (ExpectOperand) Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
        CheckConnective(T, Connective);
        ExpectOperand = true;
      } else if (!ExpectOperand) {  // a hedge
        Fail(T, SRuleExpectedConnective, {Open > 0 ? "]" : Closer, Found(T)});
      }
      Items->Add(T);
    }
  }

  // An operand of a clause's set: a term, the empty set, a number, a ?NAME reference that
  // Variables holds, or a function call or value list (which the evaluation checks).
  void CheckOperand(const TFuzzyVariable& Variable, const TToken& T) {
    switch (T->DataType()) {
      case fstAtom:
      case fstString:
        if (NamesEmptySet(T->Text()) || TermOf(Variable, T->Text())) return;
        Fail(T, SRuleUnknownTerm, {T->Text(), Variable.Name(), Suggestion(T->Text(), TermNames(Variable))});
      case fstVariable: {
        const TCustomFuzzyLogic* Logic = FParser.FuzzyLogic();
        if (Logic && Logic->Variables().IndexOfName(T->Text()) >= 0) return;
        Fail(T, SRuleUnknownReference, {T->Text()});
      }
      case fstInteger:
      case fstFloat:
      case fstList:
        return;
      default:
        Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
    }
  }

  // Rejects the connective "and-sum", which has no degree function.
  void CheckConnective(const TToken& T, const TFuzzyConnective& Connective) {
    if (!Connective.IsUnion && Connective.Operation == foSum) Fail(T, SRuleSumIntersection, {T->Text()});
  }

  // After Open, "(": the list up to its ")" as one token, nested lists in it as tokens of their own.
  TToken ListToken(const TToken& Open, int Depth) {
    if (Depth > TAQFuzzyLogicParser::MaxListNesting)
      Fail(Open, SFzyNestingTooDeep, {TAQFuzzyLogicParser::MaxListNesting});
    IPtr<IFuzzyStreamTokenList> List(New<TFuzzyStreamTokenList>());
    for (TToken T = Next(); !Is(T, ')'); T = Next()) {
      if (IsEnd(T)) Fail(T, SRuleExpected, {")", Found(T)});
      List->Add(Is(T, '(') ? ListToken(T, Depth + 1) : T);
    }
    TToken Result(New<TFuzzyStreamToken>());
    Result->SetLineNumber(Open->LineNumber());
    Result->SetList(List);
    return Result;
  }

  // "is TERM" of a conclusion about Variable.
  TFuzzySet& ConclusionTerm(const TFuzzyVariable& Variable) {
    const TToken T = Next();
    if (!IsName(T)) Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
    if (TFuzzySet* Term = TermOf(Variable, T->Text())) return *Term;
    const IPtr<IInterface> Item(T);
    // A hedge, a connective or a bracket: a conclusion names a term only.
    if (Is(T, fstAtom) && !TAQFuzzyLogicParser::IsOperand(Item))
      Fail(T, SRuleExpectedTerm, {Variable.Name(), Found(T)});
    Fail(T, SRuleUnknownTerm, {T->Text(), Variable.Name(), Suggestion(T->Text(), TermNames(Variable))});
  }

  // The number after "with", which ends the rule.
  TFzyFloat ReadWeight() {
    const TToken T = Next();
    if (!IsNumber(T)) Fail(T, SRuleExpectedWeight, {Found(T)});
    const TFzyFloat Weight = T->Number();
    if (!(Weight >= 0 && Weight <= 1)) Fail(T, SInvalidRuleWeight, {FloatToStrF(Weight, 4)});
    const TToken End = Next();
    if (!IsEnd(End)) Fail(End, SRuleExpectedEnd, {Found(End)});
    return Weight;
  }

  TFuzzyRuleBlock& FBlock;
  TFuzzyLogic& FLogic;
  const std::string& FText;
  TAQFuzzyLogicParser& FParser;
  const int FFirstLine;
  TOwned<TFuzzyLogicTokenStream> FStream;
  // The variable of the clause read last, for the message about a term taken for a variable.
  const TFuzzyVariable* FPrevious = nullptr;
};

}  // namespace

TFuzzyRule& ReadFuzzyRule(TFuzzyRuleBlock& Block, const std::string& Text, TAQFuzzyLogicParser& Parser,
                          int FirstLine) {
  return TRuleReader(Block, Text, Parser, FirstLine).Read();
}

TFuzzyRule& ReadFuzzyRule(TFuzzyRuleBlock& Block, const std::string& Text) {
  const TSystemParser Parser(Block.System().Logic());
  return ReadFuzzyRule(Block, Text, *Parser, 1);
}

}  // namespace fuzzy
