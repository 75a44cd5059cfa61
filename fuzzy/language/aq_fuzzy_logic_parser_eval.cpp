// The parser's expression evaluator: an expression's items are put in postfix order by PostFix's
// algorithm and then evaluated on a stack of sets. One algorithm serves both models; a small model type
// says how each of them finds, makes, copies and combines sets.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fuzzy/companion/helper_functions.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/custom_fuzzy_logic.h"
#include "fuzzy/model/fuzzy_variable.h"
#include "fuzzy/runtime/recycled_memory.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

constexpr std::string_view SEvalFuzzyExpression = "EvalFuzzyExpression";
constexpr std::string_view SConvertListToValues = "ConvertListToValues";

bool Is(const IFuzzyStreamToken* Token, int DataType) { return Token && Token->DataType() == DataType; }

bool IsNumber(const IFuzzyStreamToken* Token) { return Is(Token, fstInteger) || Is(Token, fstFloat); }

std::string TextOf(const IFuzzyStreamToken* Token) { return Token ? Token->Text() : std::string(); }

// The text form of an item for a message; "nil" for none.
std::string TextFormOf(const IFuzzyStreamToken* Token) { return Token ? Token->ToString() : "nil"; }

// What an item of an expression is.
enum class TItemKind { OpenParen, CloseParen, Operand, Hedge, HedgeOperator, Connective };

// What an item is, with what its word names: a connective's operation (Flag: a union), a hedge
// operator's base hedge (Flag: on Y), a hedge's hedge.
struct TWord {
  TItemKind Kind = TItemKind::Operand;
  int Code = 0;
  bool Flag = false;
};

// Every word the evaluator knows, so that an item is looked up once instead of being compared with
// each table in turn. A word in two tables means what the first of connectives, hedge operators,
// brackets and hedges makes it.
class TWordTable {
 public:
  TWordTable() {
    for (std::size_t I = 0; I < FuzzyIntersectionKeywords.size(); ++I) {
      FWords.emplace(FuzzyIntersectionKeywords[I], TWord{TItemKind::Connective, static_cast<int>(I), false});
      FWords.emplace(FuzzyUnionKeywords[I], TWord{TItemKind::Connective, static_cast<int>(I), true});
    }
    // Reserved whole: the views into these strings must not move.
    FOnX.reserve(BaseHedgeNames.size());
    for (std::size_t I = 0; I < BaseHedgeNames.size(); ++I) {
      FWords.emplace(BaseHedgeNames[I], TWord{TItemKind::HedgeOperator, static_cast<int>(I), true});
      FOnX.push_back(std::string(BaseHedgeNames[I]) + "X");
      FWords.emplace(FOnX.back(), TWord{TItemKind::HedgeOperator, static_cast<int>(I), false});
    }
    FWords.emplace(LeftFuzzyParentheses, TWord{TItemKind::OpenParen});
    FWords.emplace(RightFuzzyParentheses, TWord{TItemKind::CloseParen});
    for (std::size_t I = 0; I < HedgeNames.size(); ++I)
      FWords.emplace(HedgeNames[I], TWord{TItemKind::Hedge, static_cast<int>(I)});
  }

  // The word's meaning; an operand for any other text.
  TWord Find(std::string_view Text) const {
    const auto Found = FWords.find(Text);
    return Found == FWords.end() ? TWord{} : Found->second;
  }

 private:
  // The hedge operators' spellings that act on X.
  std::vector<std::string> FOnX;
  std::unordered_map<std::string_view, TWord> FWords;
};

TWord WordOf(const IFuzzyStreamToken* Token) {
  if (Token) {
    switch (Token->DataType()) {
      case fstVariable: case fstList: case fstIFuzzySet: case fstFuzzySet:
        return {};
      default:
        break;
    }
  }
  static const TWordTable Words;
  return Words.Find(TextOf(Token));
}

TItemKind KindOf(const IFuzzyStreamToken* Token) { return WordOf(Token).Kind; }

TItemKind KindOf(const IPtr<IInterface>& Item) { return KindOf(QueryIntf<IFuzzyStreamToken>(Item).Get()); }

// An item of an expression: its token (nil for none) and what its word means.
struct TItem {
  IPtr<IFuzzyStreamToken> Token;
  TWord Word;
};

// An expression's items, in recycled memory: they live for one evaluation.
using TItems = TRecycledVector<TItem>;

// The items of Tokens.
TItems ItemsOf(const IPtr<IFuzzyStreamTokenList>& Tokens) {
  const int Count = Tokens ? Tokens->GetValueCount() : 0;
  TItems Items;
  Items.reserve(static_cast<std::size_t>(Count));
  for (int I = 0; I < Count; ++I) {
    IPtr<IFuzzyStreamToken> Token = Tokens->Get(I);
    const TWord Word = WordOf(Token.Get());
    Items.push_back({std::move(Token), Word});
  }
  return Items;
}

// Items in an order of their own (postfix), pointing into the vector that holds them.
using TItemOrder = TRecycledVector<const TItem*>;

TItemOrder InOrder(const TItems& Items) {
  TItemOrder Order;
  Order.reserve(Items.size());
  for (const TItem& Item : Items) Order.push_back(&Item);
  return Order;
}

// ---- the two models --------------------------------------------------------------------------

struct TClassModelSets {
  using TVariable = TFuzzyVariable*;
  using TSet = TFuzzySet*;
  static constexpr int SetTokenType = fstFuzzySet;

  static TSet Find(TVariable Variable, std::string_view Name) {
    const int Index = Variable->Items().IndexOf(Name);
    return Index < 0 ? nullptr : Variable->Items().Items(Index);
  }
  static TSet NewSet(TVariable Variable, const std::string& Name) {
    TSet Set = Variable->Items().Add(Name);
    Set->SetDefined(false);
    return Set;
  }
  // A copy that joins Variable and is not defined (the collection makes it so).
  static TSet Copy(TVariable Variable, TSet Set) {
    TSet Copy = Variable->Items().Add();
    Copy->Assign(Set);
    return Copy;
  }
  static TSet Clone(TSet Set) { return Set->Clone(); }
  // A set that another collection (or none) owns: combinations would be made there.
  static bool IsForeign(TVariable Variable, TSet Set) { return Set->Collection() != &Variable->Items(); }
  static TSet SetOf(const IFuzzyStreamToken& Token) { return dynamic_cast<TFuzzySet*>(Token.ObjValue()); }
  static void MakeNumber(TSet Set, TFzyFloat Number, const std::string& Text) {
    Set->CreateTriangleFunctionValues(Number, Number, Number);
    Set->SetExpression(Text);
  }
  template <typename TBody>
  static void InUpdate(TSet Set, TBody&& Body) {
    const TUpdateBracket Bracket(Set->Values());
    Body();
  }
  static void AddPoint(TSet Set, TFzyFloat X, TFzyFloat Y) { Set->Values().Add(X, Y); }
  static TSet Evaluate(TAQFuzzyLogicParser& Parser, TVariable Variable, const std::string& Text) {
    return Parser.EvalFuzzyExpression(Variable, Text);
  }
  static void Evaluated(TAQFuzzyLogicParser& Parser, TVariable Variable, const std::string& Expression,
                        TSet& Result) {
    Parser.OnEvalExpression()(&Parser, Variable, Expression, Result);
  }
  static bool HasEvent(const TAQFuzzyLogicParser& Parser) { return static_cast<bool>(Parser.OnEvalExpression()); }
};

struct TInterfaceModelSets {
  using TVariable = IPtr<IFuzzyVariable>;
  using TSet = IPtr<IFuzzySet>;
  static constexpr int SetTokenType = fstIFuzzySet;

  static TSet Find(const TVariable& Variable, std::string_view Name) {
    return Variable->ContainsFuzzySet(std::string(Name));
  }
  // Held by the evaluation only: a set stored in the table under its name would take the place of
  // a term of that name, and be printed.
  static TSet NewSet(const TVariable& Variable, const std::string& Name) {
    const auto* Implementation = ObjectOf<const TIFuzzyVariable>(Variable.Get());
    return TIFuzzySet::Create(Variable, Name,
                              Implementation ? Implementation->FuzzySetClass() : &CreateFuzzySet<TIFuzzySet>);
  }
  // A whole copy (name, points, shape, expression) of the set's class, held by the evaluation only.
  static TSet Copy(const TVariable&, const TSet& Set) { return QueryIntf<IFuzzySet>(Set->Clone()); }
  static TSet Clone(const TSet& Set) { return QueryIntf<IFuzzySet>(Set->Clone()); }
  static bool IsForeign(const TVariable&, const TSet&) { return false; }
  static TSet SetOf(const IFuzzyStreamToken& Token) { return Token.FuzzySetIntf(); }
  static void MakeNumber(const TSet& Set, TFzyFloat Number, const std::string&) {
    Set->CreateTriangleFunctionValues(Number, Number, Number);
  }
  template <typename TBody>
  static void InUpdate(const TSet& Set, TBody&& Body) {
    WithinUpdate(*Set, Body);
  }
  static void AddPoint(const TSet& Set, TFzyFloat X, TFzyFloat Y) { Set->Add(X, Y); }
  static TSet Evaluate(TAQFuzzyLogicParser& Parser, const TVariable& Variable, const std::string& Text) {
    return Parser.EvalFuzzyExpression(Variable, Text);
  }
  static void Evaluated(TAQFuzzyLogicParser& Parser, const TVariable& Variable, const std::string& Expression,
                        TSet& Result) {
    Parser.OnEvalExpressionIntf()(Variable, Expression, Result);
  }
  static bool HasEvent(const TAQFuzzyLogicParser& Parser) {
    return static_cast<bool>(Parser.OnEvalExpressionIntf());
  }
};

// Adds to Set the points of List's (X Y) pairs, in one update of its points.
template <typename TModel>
typename TModel::TSet FillFromPairs(TAQFuzzyLogicParser& Parser, const typename TModel::TSet& Set,
                                    const IPtr<IFuzzyStreamTokenList>& List) {
  if (!Set) throw EFzyException(SMissingArgument, {SConvertListToValues, "FuzzySet"});
  TModel::InUpdate(Set, [&] {
    const int Count = List ? List->GetValueCount() : 0;
    for (int I = 0; I < Count; ++I) {
      const IPtr<IFuzzyStreamToken> Element = List->Get(I);
      const IPtr<IFuzzyStreamTokenList> Pair = Element ? Element->List() : nullptr;
      if (!Pair || Pair->GetValueCount() != 2)
        Parser.ParseError(SConvertListToValues, SFzyInvalidValuePair, {TextFormOf(Element.Get())});
      const IPtr<IFuzzyStreamToken> X = Pair->Get(0);
      const IPtr<IFuzzyStreamToken> Y = Pair->Get(1);
      if (!IsNumber(X.Get()) || !IsNumber(Y.Get())) Parser.ParseError(SConvertListToValues, SFzyExpectedNumber);
      TModel::AddPoint(Set, X->Number(), Y->Number());
    }
  });
  return Set;
}

}  // namespace

// ---- the evaluation ----------------------------------------------------------------------------

template <typename TModel>
class TExpressionEvaluator {
 public:
  using TVariable = typename TModel::TVariable;
  using TSet = typename TModel::TSet;

  TExpressionEvaluator(TAQFuzzyLogicParser& Parser, const TVariable& Variable)
      : FParser(Parser), FVariable(Variable) {
    if (!FVariable) Fail(SFzyUndefinedVariable);
  }

  // The set of the items of a postfix list. Infix, when given, holds the items in their written
  // order, for naming the first one that stands where an operator should. The event sees the
  // text form of List, the postfix list ("()" without one).
  TSet Evaluate(const TItemOrder& Postfix, const TItems* Infix, const IFuzzyStreamTokenList* List) {
    TSet Result = Postfix.empty() ? EmptySet() : Run(Postfix, Infix);
    if (TModel::HasEvent(FParser)) {
      const std::string Expression = List ? List->ToString() : std::string("()");
      TModel::Evaluated(FParser, FVariable, Expression, Result);
    }
    return Result;
  }

  TSet Operand(const IPtr<IFuzzyStreamToken>& Token) { return OperandOf(Token.Get()).Set; }

 private:
  // A set on the stack.
  struct TEntry {
    TSet Set{};
    // The set is not this evaluation's own (a term, a set the host gave): a hedge works on a copy.
    bool Borrowed = false;
    // A number operand, whose value a hedge operator takes as it stands (its crisp set lies in
    // the variable's range, the number need not).
    bool IsNumber = false;
    TFzyFloat Number = 0;
    // The postfix position where the entry's items begin.
    int First = 0;
  };

  [[noreturn]] void Fail(std::string_view Message) { FParser.ParseError(SEvalFuzzyExpression, Message); }
  [[noreturn]] void Fail(std::string_view Message, std::initializer_list<TFormatArg> Args) {
    FParser.ParseError(SEvalFuzzyExpression, Message, Args);
  }

  TSet Run(const TItemOrder& Postfix, const TItems* Infix) {
    const int Count = static_cast<int>(Postfix.size());
    TRecycledVector<TEntry> Stack;
    Stack.reserve(Postfix.size());
    const auto Pop = [&Stack] {
      TEntry Entry = std::move(Stack.back());
      Stack.pop_back();
      return Entry;
    };
    for (int I = 0; I < Count; ++I) {
      const IFuzzyStreamToken* const Token = Postfix[static_cast<std::size_t>(I)]->Token.Get();
      const TWord Word = Postfix[static_cast<std::size_t>(I)]->Word;
      if (Word.Kind == TItemKind::Operand) {
        Stack.push_back(OperandOf(Token));
        Stack.back().First = I;
        continue;
      }
      if (Stack.empty()) Fail(SFzyMissingOperand, {TextFormOf(Token)});
      switch (Word.Kind) {
        case TItemKind::Hedge: {
          TEntry S = Own(Pop());
          Stack.push_back({S.Set->Hedge(static_cast<TFuzzyHedge>(Word.Code)), false, false, 0, S.First});
          break;
        }
        case TItemKind::HedgeOperator: {
          const TEntry N = Pop();
          if (Stack.empty()) Fail(SFzyMissingOperand, {TextFormOf(Token)});
          const TFzyFloat Value = N.IsNumber ? N.Number : N.Set->MeanOfMaxima();
          TEntry S = Own(Pop());
          Stack.push_back(
              {S.Set->Hedge(static_cast<TBaseFuzzyHedge>(Word.Code), Value, Word.Flag), false, false, 0, S.First});
          break;
        }
        case TItemKind::Connective: {
          const auto Operation = static_cast<TFuzzyOperation>(Word.Code);
          const TEntry B = Pop();
          if (Stack.empty()) Fail(SFzyMissingOperand, {TextFormOf(Token)});
          const TEntry A = Pop();
          const TSet Result = Word.Flag ? A.Set->Union(B.Set, Operation) : A.Set->Intersection(B.Set, Operation);
          Stack.push_back({Result, false, false, 0, A.First});
          break;
        }
        default:
          // A bracket in a list handed over in postfix order.
          Fail(SFzyInvalidToken, {TextFormOf(Token)});
      }
    }
    if (Stack.size() > 1) Fail(SFzyInvalidToken, {StrayItem(Postfix, Stack[1].First, Infix)});
    return Stack.back().Set;
  }

  // The first item that stands where an infix operator should, in the written order when it is
  // known; else the first item of the second operand left over.
  static std::string StrayItem(const TItemOrder& Postfix, int SecondFirst, const TItems* Infix) {
    bool ExpectOperand = true;
    for (const TItem& Item : Infix ? *Infix : TItems()) {
      switch (Item.Word.Kind) {
        case TItemKind::OpenParen:
        case TItemKind::Hedge:
          if (!ExpectOperand) return TextFormOf(Item.Token.Get());
          break;
        case TItemKind::Operand:
          if (!ExpectOperand) return TextFormOf(Item.Token.Get());
          ExpectOperand = false;
          break;
        case TItemKind::CloseParen:
          break;
        case TItemKind::HedgeOperator:
        case TItemKind::Connective:
          ExpectOperand = true;
          break;
      }
    }
    return TextFormOf(Postfix[static_cast<std::size_t>(SecondFirst)]->Token.Get());
  }

  // The entry itself when it is this evaluation's own set, else a copy of its set.
  TEntry Own(TEntry Entry) {
    if (Entry.Borrowed) {
      Entry.Set = TModel::Copy(FVariable, Entry.Set);
      Entry.Borrowed = false;
    }
    Entry.IsNumber = false;
    return Entry;
  }

  // The variable's empty set, found or made.
  TSet EmptySet() {
    TSet Set = TModel::Find(FVariable, SEmptyFuzzy);
    return Set ? Set : TModel::NewSet(FVariable, std::string(SEmptyFuzzy));
  }

  TEntry OperandOf(const IFuzzyStreamToken* Token) {
    if (!Token) return {EmptySet(), true};
    switch (Token->DataType()) {
      case fstAtom:
      case fstString: {
        const std::string Text = Token->Text();
        if (Text.empty() || Text == SEmptyFuzzy) return {EmptySet(), true};
        TSet Term = TModel::Find(FVariable, Text);
        if (!Term) Fail(SFzyInvalidToken, {Token->ToString()});
        return Borrowed(Term);
      }
      case fstInteger:
      case fstFloat: {
        const std::string Text = Token->ToString();
        TSet Set = TModel::NewSet(FVariable, Text);
        TModel::MakeNumber(Set, Token->Number(), Text);
        return {Set, false, true, Token->Number()};
      }
      case fstVariable:
        return Reference(*Token);
      case fstList:
        return ListOperand(*Token);
      case TModel::SetTokenType:
        if (TSet Set = TModel::SetOf(*Token)) return Borrowed(Set);
        break;
      default:
        break;
    }
    Fail(SFzyInvalidToken, {Token->ToString()});
  }

  // A set the evaluation refers to; one owned elsewhere is copied at once, so that every set the
  // evaluation makes joins the variable.
  TEntry Borrowed(const TSet& Set) {
    if (TModel::IsForeign(FVariable, Set)) return {TModel::Copy(FVariable, Set)};
    return {Set, true};
  }

  TEntry ListOperand(const IFuzzyStreamToken& Token) {
    const IPtr<IFuzzyStreamTokenList> List = Token.List();
    if (!List || List->GetValueCount() == 0) Fail(SFzyInvalidToken, {Token.ToString()});
    TSet Set = TModel::NewSet(FVariable, Token.ToString());
    const IPtr<IFuzzyStreamToken> Head = List->First();
    if (Is(Head.Get(), fstList)) return {FillFromPairs<TModel>(FParser, Set, List)};
    // The arguments go to the function in a list of their own: the list itself stays whole, so
    // that it can be evaluated again and reads as it was written.
    IPtr<IFuzzyStreamTokenList> Arguments(New<TFuzzyStreamTokenList>());
    for (int I = 1; I < List->GetValueCount(); ++I) Arguments->Add(List->Get(I));
    TSet Result = FParser.CalcFuzzyFunction(Set, TextFormOf(Head.Get()), Arguments);
    // A handler may answer with a set of its own.
    return {Result, Result != Set};
  }

  TEntry Reference(const IFuzzyStreamToken& Token) {
    const TCustomFuzzyLogic* Logic = FParser.FuzzyLogic();
    if (!Logic) Fail(SFuzzyLogicNotSet);
    const std::string Name = Token.Text();
    const int Entry = Logic->Variables().IndexOfName(Name);
    if (Entry < 0) Fail(SFzyInvalidToken, {Token.ToString()});
    std::vector<std::pair<int, std::string>>& Chain = FParser.FReferences;
    std::string Path;
    for (const auto& Reference : Chain) Path += Reference.second + " -> ";
    Path += Token.ToString();
    for (const auto& Reference : Chain)
      if (Reference.first == Entry) Fail(SFzyReferenceCycle, {Path});
    if (static_cast<int>(Chain.size()) >= TAQFuzzyLogicParser::MaxReferenceDepth)
      Fail(SFzyReferencesTooDeep, {TAQFuzzyLogicParser::MaxReferenceDepth, Path});

    struct TFollowing {
      std::vector<std::pair<int, std::string>>& Chain;
      ~TFollowing() { Chain.pop_back(); }
    };
    Chain.emplace_back(Entry, Token.ToString());
    const TFollowing Following{Chain};
    TSet Result = TModel::Evaluate(FParser, FVariable, Logic->Variables().ValueFromIndex(Entry));
    if (!Result) Fail(SFzyInvalidToken, {Token.ToString()});
    // A term (or any set its name finds) keeps its name: the reference gets a copy.
    if (Result->Defined() || TModel::Find(FVariable, Result->Name()) == Result) Result = TModel::Clone(Result);
    Result->SetName(Token.ToString());
    return {Result};
  }

  TAQFuzzyLogicParser& FParser;
  const TVariable FVariable;
};

// ---- the parser's entry points -----------------------------------------------------------------

namespace {

int InStackPriorityOf(TItemKind Kind) {
  switch (Kind) {
    case TItemKind::OpenParen:
      return 4;
    case TItemKind::Connective:
    case TItemKind::HedgeOperator:
      return 3;
    case TItemKind::Hedge:
      return 2;
    default:
      return 1;
  }
}

int IncomingPriorityOf(TItemKind Kind) {
  switch (Kind) {
    case TItemKind::OpenParen:
      return 0;
    case TItemKind::Connective:
    case TItemKind::HedgeOperator:
      return 3;
    default:
      return 1;
  }
}

}  // namespace

bool TAQFuzzyLogicParser::IsOpenParen(const IPtr<IInterface>& Item) {
  return KindOf(Item) == TItemKind::OpenParen;
}

bool TAQFuzzyLogicParser::IsCloseParen(const IPtr<IInterface>& Item) {
  return KindOf(Item) == TItemKind::CloseParen;
}

bool TAQFuzzyLogicParser::IsOperand(const IPtr<IInterface>& Item) { return KindOf(Item) == TItemKind::Operand; }

int TAQFuzzyLogicParser::InStackPriority(const IPtr<IInterface>& Item) { return InStackPriorityOf(KindOf(Item)); }

int TAQFuzzyLogicParser::IncomingPriority(const IPtr<IInterface>& Item) { return IncomingPriorityOf(KindOf(Item)); }

void TAQFuzzyLogicParser::FillExpression(const IPtr<IInterfaceList>& Source,
                                         const IPtr<IFuzzyStreamTokenList>& Tokens) {
  // Depth first without recursion: a host's lists may nest deeply, or hold themselves.
  struct TLevel {
    IPtr<IInterfaceList> List;
    int Next;
  };
  std::vector<TLevel> Levels{{Source, 0}};
  while (!Levels.empty()) {
    TLevel& Level = Levels.back();
    if (!Level.List || Level.Next >= Level.List->Count()) {
      Levels.pop_back();
      continue;
    }
    const IPtr<IInterface> Item = Level.List->Get(Level.Next++);
    if (IPtr<IInterfaceList> Nested = QueryIntf<IInterfaceList>(Item)) {
      if (static_cast<int>(Levels.size()) > MaxListNesting)
        ParseError(SEvalFuzzyExpression, SFzyNestingTooDeep, {MaxListNesting});
      Levels.push_back({std::move(Nested), 0});
      continue;
    }
    IPtr<IFuzzyStreamToken> Token;
    if (Item && !Supports(Item, Token)) ParseError(SEvalFuzzyExpression, SFzyInvalidToken, {"<interface>"});
    Tokens->Add(Token);
  }
}

IPtr<IFuzzyStreamTokenList> TAQFuzzyLogicParser::ParseExpression(const std::string& Expression) {
  IPtr<IFuzzyStreamTokenList> Result;
  ReadExpression(Expression, [&Result](const IPtr<IFuzzyStreamTokenList>& Items) { Result = Items; });
  return Result;
}

namespace {

// Reports the bracket without its partner that PostFix raised E for.
[[noreturn]] void UnmatchedBracket(TAQFuzzyLogicParser& Parser, const EAQException& E) {
  const bool Close = std::string_view(E.what()) == SUnmatchedCloseParen;
  Parser.ParseError(SEvalFuzzyExpression, SFzyInvalidToken, {Close ? RightFuzzyParentheses : LeftFuzzyParentheses});
}

// The items of Infix in postfix order, by PostFix's algorithm on the words found once for them.
TItemOrder PostfixOrderOf(TAQFuzzyLogicParser& Parser, const TItems& Infix) {
  TItemOrder Postfix;
  Postfix.reserve(Infix.size());
  const auto KindAt = [&Infix](int I) { return Infix[static_cast<std::size_t>(I)].Word.Kind; };
  const auto Is = [&KindAt](TItemKind Kind) { return [&KindAt, Kind](int I) { return KindAt(I) == Kind; }; };
  try {
    PostFixOrder<int>(
        static_cast<int>(Infix.size()), [](int I) { return I; }, Is(TItemKind::Operand), Is(TItemKind::OpenParen),
        Is(TItemKind::CloseParen), [&KindAt](int I) { return InStackPriorityOf(KindAt(I)); },
        [&KindAt](int I) { return IncomingPriorityOf(KindAt(I)); },
        [&](int I) { Postfix.push_back(&Infix[static_cast<std::size_t>(I)]); });
  } catch (const EAQException& E) {
    UnmatchedBracket(Parser, E);
  }
  return Postfix;
}

// Adds the tokens of Items to Tokens in Items' order. The items of a token list are tokens (its
// Get raises for anything else), so this is what FillExpression, which descends into nested
// interface lists, would do with them.
void AddTokens(const TItemOrder& Items, IFuzzyStreamTokenList& Tokens) {
  for (const TItem* Item : Items) Tokens.Add(Item->Token);
}

}  // namespace

IPtr<IFuzzyStreamTokenList> TAQFuzzyLogicParser::PostfixExpression(const IPtr<IFuzzyStreamTokenList>& Tokens) {
  const TItems Infix = ItemsOf(Tokens);
  IPtr<IFuzzyStreamTokenList> Result(New<TFuzzyStreamTokenList>());
  AddTokens(PostfixOrderOf(*this, Infix), *Result);
  return Result;
}

namespace {

// The infix overload's steps, shared by both models: the items in postfix order, Tokens refilled
// in that order, then evaluation.
template <typename TModel>
typename TModel::TSet EvalInfix(TAQFuzzyLogicParser& Parser, const typename TModel::TVariable& Variable,
                                const IPtr<IFuzzyStreamTokenList>& Tokens) {
  TExpressionEvaluator<TModel> Evaluator(Parser, Variable);
  const TItems Infix = ItemsOf(Tokens);
  const TItemOrder Postfix = PostfixOrderOf(Parser, Infix);
  if (!Tokens) return Evaluator.Evaluate(Postfix, &Infix, nullptr);
  Tokens->Clear();
  AddTokens(Postfix, *Tokens);
  return Evaluator.Evaluate(Postfix, &Infix, Tokens.Get());
}

// The set of a list already in postfix order.
template <typename TModel>
typename TModel::TSet EvalPostfix(TAQFuzzyLogicParser& Parser, const typename TModel::TVariable& Variable,
                                  const IPtr<IFuzzyStreamTokenList>& Postfix) {
  TExpressionEvaluator<TModel> Evaluator(Parser, Variable);
  const TItems Items = ItemsOf(Postfix);
  return Evaluator.Evaluate(InOrder(Items), nullptr, Postfix.Get());
}

template <typename TSet>
TFzyFloat CrispValue(const TCustomFuzzyLogic* Logic, const TSet& Set) {
  if (!Set) return 0;
  return Logic && Logic->DefuzzificationMethod() == dmMeanOfMaxima ? Set->MeanOfMaxima() : Set->CenterOfGravity();
}

}  // namespace

TFuzzySet* TAQFuzzyLogicParser::EvalFuzzyExpression(TFuzzyVariable* Variable,
                                                    const IPtr<IFuzzyStreamTokenList>& Tokens) {
  return EvalInfix<TClassModelSets>(*this, Variable, Tokens);
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                                         const IPtr<IFuzzyStreamTokenList>& Tokens) {
  return EvalInfix<TInterfaceModelSets>(*this, Variable, Tokens);
}

TFuzzySet* TAQFuzzyLogicParser::EvalPostfixExpression(TFuzzyVariable* Variable,
                                                      const IPtr<IFuzzyStreamTokenList>& Postfix) {
  return EvalPostfix<TClassModelSets>(*this, Variable, Postfix);
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::EvalPostfixExpression(const IPtr<IFuzzyVariable>& Variable,
                                                           const IPtr<IFuzzyStreamTokenList>& Postfix) {
  return EvalPostfix<TInterfaceModelSets>(*this, Variable, Postfix);
}

TFuzzySet* TAQFuzzyLogicParser::EvalFuzzyExpression(TFuzzyVariable* Variable, const IPtr<IFuzzyStreamToken>& Token) {
  return TExpressionEvaluator<TClassModelSets>(*this, Variable).Operand(Token);
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                                         const IPtr<IFuzzyStreamToken>& Token) {
  return TExpressionEvaluator<TInterfaceModelSets>(*this, Variable).Operand(Token);
}

// The variable and the result of an evaluation of a text, in one place: the reading's callback
// then captures two pointers, which std::function holds without allocating.
template <typename TVariable, typename TSet>
struct TTextEvaluation {
  const TVariable& Variable;
  TSet Result{};
};

TFuzzySet* TAQFuzzyLogicParser::EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression) {
  // Before the text becomes the reading position: the failure is the caller's, not the text's.
  if (!Variable) ParseError(SEvalFuzzyExpression, SFzyUndefinedVariable);
  TTextEvaluation<TFuzzyVariable*, TFuzzySet*> Call{Variable};
  ReadExpression(Expression, [this, &Call](const IPtr<IFuzzyStreamTokenList>& Items) {
    Call.Result = EvalFuzzyExpression(Call.Variable, Items);
  });
  return Call.Result;
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                                         const std::string& Expression) {
  // Before the text becomes the reading position: the failure is the caller's, not the text's.
  if (!Variable) ParseError(SEvalFuzzyExpression, SFzyUndefinedVariable);
  TTextEvaluation<IPtr<IFuzzyVariable>, IPtr<IFuzzySet>> Call{Variable};
  ReadExpression(Expression, [this, &Call](const IPtr<IFuzzyStreamTokenList>& Items) {
    Call.Result = EvalFuzzyExpression(Call.Variable, Items);
  });
  return Call.Result;
}

TFzyFloat TAQFuzzyLogicParser::EvalFuzzyExpression(TFuzzyVariable* Variable, const std::string& Expression,
                                                   TFuzzySet*& FuzzySet) {
  FuzzySet = EvalFuzzyExpression(Variable, Expression);
  return CrispValue(FuzzyLogic(), FuzzySet);
}

TFzyFloat TAQFuzzyLogicParser::EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                                   const std::string& Expression, IPtr<IFuzzySet>& FuzzySet) {
  FuzzySet = EvalFuzzyExpression(Variable, Expression);
  return CrispValue(FuzzyLogic(), FuzzySet);
}

TFuzzySet* TAQFuzzyLogicParser::ConvertListToValues(TFuzzySet* Set, const IPtr<IFuzzyStreamTokenList>& List) {
  return FillFromPairs<TClassModelSets>(*this, Set, List);
}

IPtr<IFuzzySet> TAQFuzzyLogicParser::ConvertListToValues(const IPtr<IFuzzySet>& Set,
                                                         const IPtr<IFuzzyStreamTokenList>& List) {
  return FillFromPairs<TInterfaceModelSets>(*this, Set, List);
}

}  // namespace fuzzy
