#include "fuzzy/model/custom_fuzzy_logic_parser.h"

#include "fuzzy/model/custom_fuzzy_logic.h"

namespace fuzzy {

// ---- the parser's interface references ---------------------------------------------------------

// What an IFuzzyParser reference holds: a counted stand-in that forwards to the parser while the
// parser lives. Variables and sets keep such references and may outlive the parser (a form frees
// its components last first); once the parser is gone the stand-in answers as if there were no
// parser: printing gives the bare name, everything else raises SParserUnassigned.
class TFuzzyParserLink final : public TInterfacedObject, public IFuzzyParser {
 public:
  std::string ClassName() const override { return "TFuzzyParserLink"; }

  void Disconnect() { FParser = nullptr; }

  TFzyFloat EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable, const std::string& Expression,
                                IPtr<IFuzzySet>& FuzzySet) override {
    return Parser().EvalFuzzyExpression(Variable, Expression, FuzzySet);
  }
  IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                      const std::string& Expression) override {
    return Parser().EvalFuzzyExpression(Variable, Expression);
  }
  IPtr<IFuzzySet> ParseFuzzySet(const IPtr<IFuzzyVariable>& Variable, const std::string& AString,
                                TEncoding* Encoding) override {
    return Parser().ParseFuzzySet(Variable, AString, Encoding);
  }
  IPtr<IFuzzyVariable> ParseFuzzyVariableIntf(const std::string& AString, TEncoding* Encoding) override {
    return Parser().ParseFuzzyVariableIntf(AString, Encoding);
  }
  std::string PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) override {
    if (!FParser) return FuzzySet ? FuzzySet->Name() : std::string();
    return FParser->PrettyPrint(FuzzySet, AsDefinition);
  }
  std::string PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) override {
    if (!FParser) return FuzzyVariable ? FuzzyVariable->Name() : std::string();
    return FParser->PrettyPrint(FuzzyVariable);
  }

 protected:
  explicit TFuzzyParserLink(TCustomFuzzyLogicParser* Parser) : FParser(Parser) {}
  ~TFuzzyParserLink() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  bool GetInterface(const TGUID& IID, void** Obj) override {
    if (IID == IFuzzyParser::IID) {
      *Obj = static_cast<IFuzzyParser*>(this);
      return true;
    }
    return TInterfacedObject::GetInterface(IID, Obj);
  }

 private:
  TCustomFuzzyLogicParser& Parser() const {
    if (!FParser) throw EFzyException(SParserUnassigned);
    return *FParser;
  }

  TCustomFuzzyLogicParser* FParser;
};

// ---- the component -----------------------------------------------------------------------------

TCustomFuzzyLogicParser::TCustomFuzzyLogicParser(TComponent* AOwner) : TComponent(AOwner) {}

TCustomFuzzyLogicParser::~TCustomFuzzyLogicParser() = default;

void TCustomFuzzyLogicParser::BeforeDestruction() {
  if (FLink) FLink->Disconnect();
  TComponent::BeforeDestruction();
}

IPtr<IFuzzyParser> TCustomFuzzyLogicParser::ParserIntf() {
  if (!FLink) FLink = New<TFuzzyParserLink>(this);
  return IPtr<IFuzzyParser>(FLink.Get());
}

HRESULT TCustomFuzzyLogicParser::QueryInterface(const TGUID& IID, void** Obj) {
  if (IID == IFuzzyParser::IID) {
    IFuzzyParser* Link = ParserIntf().Get();
    Link->_AddRef();
    *Obj = Link;
    return S_OK;
  }
  return TComponent::QueryInterface(IID, Obj);
}

void TCustomFuzzyLogicParser::SetFuzzyLogic(TCustomFuzzyLogic* Value) {
  if (Value == FFuzzyLogic) return;
  if (FFuzzyLogic) FFuzzyLogic->RemoveFreeNotification(this);
  FFuzzyLogic = Value;
  if (FFuzzyLogic) FFuzzyLogic->FreeNotification(this);
}

void TCustomFuzzyLogicParser::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FFuzzyLogic) SetFuzzyLogic(nullptr);
}

void TCustomFuzzyLogicParser::Parse(const std::string& AString, TEncoding* Encoding) {
  if (!FFuzzyLogic) throw EFzyParseException(SFuzzyLogicNotSet);
  if (FOnParsing) FOnParsing(this);
  ParseFuzzyLogic(AString, Encoding);
  if (FOnParsed) FOnParsed(this);
}

// ---- errors ------------------------------------------------------------------------------------

void TCustomFuzzyLogicParser::ParseError(std::string_view Method, std::string_view Msg, const std::string& Text,
                                         int Line) {
  constexpr std::size_t Longest = 255;
  constexpr std::size_t Kept = 128;
  const std::string Quoted = Text.size() <= Longest
                                 ? Text
                                 : Concat({std::string_view(Text).substr(0, Kept), "... ", NewLineString,
                                           std::string_view(Text).substr(Text.size() - Kept)});
  throw EFzyParseException(SFzyParseError, {Msg, Method, IntToStr(Line), Quoted}, Line);
}

void TCustomFuzzyLogicParser::ParseError(std::string_view Method, std::string_view Msg) {
  ParseError(Method, Msg, GetParsedText(), GetLineNumber());
  // A descendant's ParseError that returns still ends the reading.
  throw EFzyParseException(Msg, GetLineNumber());
}

void TCustomFuzzyLogicParser::ParseError(std::string_view Method, std::string_view Msg,
                                         std::initializer_list<TFormatArg> Args) {
  ParseError(Method, Format(Msg, Args));
}

bool TCustomFuzzyLogicParser::VerifyAll(const IPtr<IFuzzyStreamTokenList>& List, TFuzzyStreamTokenTypes Types) {
  const int Count = List ? List->GetValueCount() : 0;
  for (int I = 0; I < Count; ++I) {
    const IPtr<IFuzzyStreamToken> Token = List->Get(I);
    if (!Token) return false;
    const int DataType = Token->DataType();
    if (DataType < fstNone || DataType > fstFuzzySet) return false;
    if (!Types.Contains(static_cast<TFuzzyStreamTokenType>(DataType))) return false;
  }
  return true;
}

}  // namespace fuzzy
