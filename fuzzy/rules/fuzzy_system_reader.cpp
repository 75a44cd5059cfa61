#include "fuzzy/rules/fuzzy_system_reader.h"

#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/rules/fuzzy_rule_reader.h"
#include "fuzzy/rules/internal/system_parser.h"

namespace fuzzy {

namespace {

constexpr std::string_view SReadFuzzySystem = "ReadFuzzySystem";
constexpr std::string_view SReadRuleBlock = "ReadRuleBlock";
constexpr std::string_view SListKeywords = "deffuzzy or defrules";
constexpr std::string_view SExpectedRuleText = "Expected the rule's text in double quotes";

using TToken = IPtr<IFuzzyStreamToken>;

bool Is(const TToken& T, int DataType) { return T->DataType() == DataType; }
bool IsKeyword(const TToken& T, std::string_view Keyword) { return Is(T, fstAtom) && T->Text() == Keyword; }

// The line breaks in Text, CR LF counting once, as the token stream counts them.
int LineBreaks(const std::string& Text) {
  int Count = 0;
  for (std::size_t I = 0; I < Text.size(); ++I)
    if (Text[I] == '\n' || (Text[I] == '\r' && (I + 1 == Text.size() || Text[I + 1] != '\n'))) ++Count;
  return Count;
}

class TSystemTextReader {
 public:
  TSystemTextReader(TFuzzySystem& System, TAQFuzzyLogicParser& Parser, TFuzzyLogicTokenStream& Stream)
      : FSystem(System), FParser(Parser), FStream(Stream) {}

  void Read() {
    for (;;) {
      const TToken Open = FStream.NextToken();
      if (Is(Open, fstNone)) return;
      if (!Is(Open, '(')) Fail(SReadFuzzySystem, Open, Format(SFzyUnexpectedToken, {Open->ToString()}));
      const TToken Head = FStream.NextToken();
      if (IsKeyword(Head, "deffuzzy")) {
        FStream.PutBackToken(Head);
        FStream.PutBackToken(Open);
        FParser.ParseFuzzyVariable(FStream);
      } else if (IsKeyword(Head, "defrules")) {
        ReadRuleBlock();
      } else {
        Fail(SReadFuzzySystem, Head, Format(SFzyExpectedKeyword, {SListKeywords}));
      }
    }
  }

 private:
  [[noreturn]] void Fail(std::string_view Method, const TToken& At, std::string_view Message) {
    FParser.ParseError(Method, Message, FStream.ToString(), At->LineNumber());
    throw EFzyParseException(Message, At->LineNumber());
  }

  // The rest of "(defrules NAME (rule "TEXT") ...)".
  void ReadRuleBlock() {
    const TToken Name = FStream.NextToken();
    if (!Is(Name, fstAtom)) Fail(SReadRuleBlock, Name, SFzyMissingName);
    TFuzzyRuleBlock& Block = FSystem.AddRuleBlock(Name->Text());
    for (;;) {
      const TToken Open = FStream.NextToken();
      if (Is(Open, ')')) return;
      if (Is(Open, fstNone)) Fail(SReadRuleBlock, Open, SFzyMissingCloseParens);
      if (!Is(Open, '(')) Fail(SReadRuleBlock, Open, SFzyMissingOpenParens);
      const TToken Keyword = FStream.NextToken();
      if (!IsKeyword(Keyword, "rule")) Fail(SReadRuleBlock, Keyword, Format(SFzyExpectedKeyword, {"rule"}));
      const TToken Text = FStream.NextToken();
      if (!Is(Text, fstString)) Fail(SReadRuleBlock, Text, SExpectedRuleText);
      const TToken Close = FStream.NextToken();
      if (!Is(Close, ')')) Fail(SReadRuleBlock, Close, SFzyMissingCloseParens);
      // A string carries the line on which it ends.
      ReadFuzzyRule(Block, Text->Text(), FParser, Text->LineNumber() - LineBreaks(Text->Text()));
    }
  }

  TFuzzySystem& FSystem;
  TAQFuzzyLogicParser& FParser;
  TFuzzyLogicTokenStream& FStream;
};

}  // namespace

TOwned<TFuzzySystem> ReadFuzzySystem(const std::string& Text, TEncoding* Encoding) {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  TFuzzyLogic& Logic = System->Logic();
  Logic.SetAutoTerms(false);
  // The component owns the parser and frees it with itself.
  TAQFuzzyLogicParser* Parser = New<TAQFuzzyLogicParser>(&Logic);
  Logic.SetParser(Parser);
  Parser->SetFuzzyLogic(&Logic);
  ReadFuzzySystem(*System, Text, Encoding);
  return System;
}

void ReadFuzzySystem(TFuzzySystem& System, const std::string& Text, TEncoding* Encoding) {
  const TSystemParser Parser(System.Logic());
  // The caller keeps its encoding: the string stream does not own it.
  TOwned<TStream> Source = MakeOwned<TAQStringStream>(Text, Encoding, false);
  const TOwned<TFuzzyLogicTokenStream> Stream(Parser->CreateStream(Source.get(), Encoding));
  Source.release();
  TSystemTextReader(System, *Parser, *Stream).Read();
}

}  // namespace fuzzy
