#include "fuzzy/language/fuzzy_logic_token_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzzy/companion/aq_string_stream.h"

namespace fuzzy {
namespace {

TOwned<TFuzzyLogicTokenStream> StreamOf(const std::string& Text) {
  return MakeOwned<TFuzzyLogicTokenStream>(New<TAQStringStream>(Text), nullptr);
}

// A token as "kind text line": kinds by name, delimiters as themselves, numbers with their value.
std::string Describe(const IFuzzyStreamToken& Token) {
  std::string Kind;
  switch (Token.DataType()) {
    case fstNone: Kind = "eof"; break;
    case fstAtom: Kind = "atom"; break;
    case fstString: Kind = "string"; break;
    case fstInteger: Kind = "int"; break;
    case fstFloat: Kind = "float"; break;
    case fstVariable: Kind = "var"; break;
    default: Kind = std::string(1, static_cast<char>(Token.DataType())); break;
  }
  return Kind + " " + Token.ToString() + " " + std::to_string(Token.LineNumber());
}

// Every token of Text up to and including the end-of-text token.
std::vector<std::string> Tokens(const std::string& Text) {
  auto Stream = StreamOf(Text);
  std::vector<std::string> Result;
  for (;;) {
    const IPtr<IFuzzyStreamToken> Token = Stream->NextToken();
    Result.push_back(Describe(*Token));
    if (Token->DataType() == fstNone) return Result;
  }
}

using TList = std::vector<std::string>;

TEST(TokenStream, SplitsTextIntoTheTokensOfTheLanguage) {
  EXPECT_EQ(Tokens("(deffuzzy t \"a \\\"b\\\\\" ?x ?) [a] & | ~ = a=b a<b <= >= +X"),
            (TList{"( ( 1", "atom deffuzzy 1", "atom t 1", "string a \"b\\ 1", "var ?x 1", "var ? 1", ") ) 1",
                   "[ [ 1", "atom a 1", "] ] 1", "& & 1", "| | 1", "~ ~ 1", "= = 1", "atom a=b 1", "atom a 1",
                   "atom <b 1", "atom <= 1", "atom >= 1", "atom +X 1", "eof EOF 1"}));
  // The escape character takes delimiters and blanks into an atom; one that begins an atom is part of it.
  EXPECT_EQ(Tokens("a\\ b\\(c \\x"), (TList{"atom a b(c 1", "atom \\x 1", "eof EOF 1"}));
  // A semicolon ends an atom and starts a comment, also at the end of the text without a line break.
  EXPECT_EQ(Tokens("abc;comment ( x\ndef ; last"), (TList{"atom abc 1", "atom def 2", "eof EOF 2"}));
  EXPECT_EQ(Tokens(""), (TList{"eof EOF 1"}));
  EXPECT_EQ(Tokens(" \t\n ; only a comment\n"), (TList{"eof EOF 3"}));
}

TEST(TokenStream, ReadsNumbersOnlyInTheirPlainForm) {
  EXPECT_EQ(Tokens("5 -5 +5 5.5 .5 5. 1e3 -2.5E-1 2147483647 -2147483648"),
            (TList{"int 5 1", "int -5 1", "int 5 1", "float 5.5000 1", "float 0.5000 1", "float 5.0000 1",
                   "float 1000.0000 1", "float -0.2500 1", "int 2147483647 1", "int -2147483648 1", "eof EOF 1"}));
  // Integers beyond 32 bits are floats.
  EXPECT_EQ(Tokens("2147483648 99999999999999999999"),
            (TList{"float 2147483648.0000 1", "float 100000000000000000000.0000 1", "eof EOF 1"}));
  // Not numbers: words, signs and points alone, other notations, out of range, locale commas.
  EXPECT_EQ(Tokens("+ - . e 5a inf nan -inf 0x1p3 1e999 1.a 1,5 1e --5 +-5 1e+"),
            (TList{"atom + 1", "atom - 1", "atom . 1", "atom e 1", "atom 5a 1", "atom inf 1", "atom nan 1",
                   "atom -inf 1", "atom 0x1p3 1", "atom 1e999 1", "atom 1.a 1", "atom 1,5 1", "atom 1e 1",
                   "atom --5 1", "atom +-5 1", "atom 1e+ 1", "eof EOF 1"}));
  // An escaped blank is part of the atom, so the atom is no number.
  EXPECT_EQ(Tokens("5\\ "), (TList{"atom 5  1", "eof EOF 1"}));
}

TEST(TokenStream, CountsEveryLineBreakOnceWhereverItStands) {
  // CR, LF and CR LF after atoms, between delimiters, in strings, in comments and escaped.
  EXPECT_EQ(Tokens("a\rb\nc\r\nd"), (TList{"atom a 1", "atom b 2", "atom c 3", "atom d 4", "eof EOF 4"}));
  EXPECT_EQ(Tokens("(\r(\r\n)\n)"), (TList{"( ( 1", "( ( 2", ") ) 3", ") ) 4", "eof EOF 4"}));
  EXPECT_EQ(Tokens("\"x\r\ny\rz\" w"), (TList{"string x\r\ny\rz 3", "atom w 3", "eof EOF 3"}));
  EXPECT_EQ(Tokens("; a\r; b\r\nx"), (TList{"atom x 3", "eof EOF 3"}));
  EXPECT_EQ(Tokens("a\\\r\nb c"), (TList{"atom a\r\nb 2", "atom c 2", "eof EOF 2"}));
}

TEST(TokenStream, RefusesAStringThatIsNeverClosed) {
  for (const std::string Text : {"(a \"open", "\"ends in an escape\\", "\"x\ny"}) {
    auto Stream = StreamOf(Text);
    try {
      Stream->NextToken();
      FAIL() << Text;
    } catch (const EFzyParseException& E) {
      EXPECT_EQ(E.Message(), SUnbalancedString);
      EXPECT_EQ(E.LineNumber(), Text == "\"x\ny" ? 2 : 1);
    }
  }
}

TEST(TokenStream, KeepsWhitespaceCommentsAndLinesForTheNextToken) {
  auto Stream = StreamOf("  a ; note\n\tb");
  EXPECT_EQ(Stream->NextToken()->Whitespace(), "  ");
  EXPECT_EQ(Stream->NextToken()->Whitespace(), " ; note\n\t");
  EXPECT_EQ(Stream->NextToken()->Whitespace(), "");
  auto Lines = StreamOf("a rest of line\nb");
  EXPECT_EQ(Lines->NextToken()->Text(), "a");
  Lines->DiscardUntilEOL();
  const IPtr<IFuzzyStreamToken> B = Lines->NextToken();
  EXPECT_EQ(B->Text(), "b");
  EXPECT_EQ(B->LineNumber(), 2);
  EXPECT_EQ(B->Whitespace(), " rest of line\n");
}

TEST(TokenStream, ReadsOneListAheadAndTakesTokensBack) {
  auto Stream = StreamOf("(a (b c) d) e");
  std::vector<int> Depths;
  IPtr<IFuzzyStreamToken> Token;
  for (int I = 0; I < 7; ++I) {
    Token = Stream->NextToken();
    Depths.push_back(Stream->ParenthesisLevel());
  }
  EXPECT_EQ(Depths, (std::vector<int>{1, 1, 2, 2, 2, 1, 1}));
  EXPECT_EQ(Token->Text(), "d");
  // Tokens put back come out again in the order they were first read.
  const IPtr<IFuzzyStreamToken> Close = Stream->NextToken();
  EXPECT_EQ(Stream->ParenthesisLevel(), 0);
  Stream->PutBackToken(Close);
  Stream->PutBackToken(Token);
  EXPECT_EQ(Stream->CurrentToken(), Token);
  EXPECT_EQ(Stream->ParenthesisLevel(), 1);
  EXPECT_EQ(Stream->NextToken(), Token);
  EXPECT_EQ(Stream->NextToken(), Close);
  EXPECT_EQ(Stream->NextToken()->Text(), "e");
  EXPECT_EQ(Stream->NextToken()->DataType(), fstNone);
  EXPECT_EQ(Stream->NextToken()->DataType(), fstNone);

  // A token that is not the last one handed out, or one made elsewhere, comes out next all the
  // same (last in, first out); the echo keeps what was handed out and shows it again when it is.
  auto Again = StreamOf("(a b c)");
  Again->NextToken();
  const IPtr<IFuzzyStreamToken> A = Again->NextToken();
  Again->NextToken();
  IPtr<IFuzzyStreamToken> Made(New<TFuzzyStreamToken>());
  Made->SetDataType(fstAtom);
  Made->SetText("m");
  Made->SetLineNumber(1);
  Again->PutBackToken(A);
  Again->PutBackToken(Made);
  EXPECT_EQ(Again->AsString(), "( a b ");
  EXPECT_EQ(Again->NextToken(), Made);
  EXPECT_EQ(Again->NextToken(), A);
  EXPECT_EQ(Again->NextToken()->Text(), "c");
  EXPECT_EQ(Again->AsString(), "( a b m a c ");
  EXPECT_EQ(Again->NextToken()->DataType(), ')');
  EXPECT_EQ(Again->ParenthesisLevel(), 0);
}

TEST(TokenStream, EchoesTheTokensOfTheCurrentList) {
  auto Stream = StreamOf("(deffuzzy a\n\n(range 0 1.5)) (b \"s t\" ?v)");
  for (int I = 0; I < 4; ++I) Stream->NextToken();
  // One line break for a jump of two lines.
  EXPECT_EQ(Stream->AsString(), "( deffuzzy a \n( ");
  // Taking a token back removes it with its space and the line break before it, one-character
  // tokens too.
  const IPtr<IFuzzyStreamToken> Open = Stream->CurrentToken();
  Stream->PutBackToken(Open);
  EXPECT_EQ(Stream->AsString(), "( deffuzzy a ");
  Stream->NextToken();
  EXPECT_EQ(Stream->AsString(), "( deffuzzy a \n( ");
  for (int I = 0; I < 5; ++I) Stream->NextToken();
  EXPECT_EQ(Stream->ToString(), "( deffuzzy a \n( range 0 1.5000 ) ) ");
  // The next top-level list starts the echo again.
  for (int I = 0; I < 3; ++I) Stream->NextToken();
  EXPECT_EQ(Stream->AsString(), "( b s t ");
  Stream->NextToken();
  EXPECT_EQ(Stream->AsString(), "( b s t ?v ");
  // Past the end of the text the echo goes on.
  Stream->NextToken();
  Stream->NextToken();
  EXPECT_EQ(Stream->AsString(), "( b s t ?v ) EOF ");
}

TEST(TokenStream, PeeksAtTheHeadOfAListAndSkipsConstructs) {
  auto Stream = StreamOf("(deffuzzy a (range 0 1)) (= x) ((y)) z (term b)");
  EXPECT_EQ(Stream->Head(), "deffuzzy");
  EXPECT_EQ(Stream->NextToken()->DataType(), '(');
  Stream->MoveToNextConstruct();
  EXPECT_EQ(Stream->ParenthesisLevel(), 0);
  EXPECT_EQ(Stream->Head(), "=");
  Stream->NextToken();
  Stream->MoveToNextConstruct();
  EXPECT_EQ(Stream->Head(), "");
  Stream->NextToken();
  Stream->MoveToNextConstruct();
  // A token that opens no list is consumed.
  EXPECT_EQ(Stream->Head(), "");
  EXPECT_EQ(Stream->Head(), "term");
  Stream->Clear();
  EXPECT_EQ(Stream->AsString(), "");
  EXPECT_EQ(Stream->NextToken()->DataType(), fstNone);
}

TEST(TokenStream, ReadsTheEncodingOfItsSource) {
  // "(a é)" in UTF-16 little endian with its byte order mark, and in UTF-8 with one.
  const TBytes Utf16 = {0xFF, 0xFE, '(', 0, 'a', 0, ' ', 0, 0xE9, 0, ')', 0};
  auto Stream = MakeOwned<TFuzzyLogicTokenStream>(New<TMemoryStream>(Utf16), nullptr);
  Stream->NextToken();
  EXPECT_EQ(Stream->NextToken()->Text(), "a");
  EXPECT_EQ(Stream->NextToken()->Text(), "\xC3\xA9");
  const TBytes Utf8 = {0xEF, 0xBB, 0xBF, 'x'};
  auto Bom = MakeOwned<TFuzzyLogicTokenStream>(New<TMemoryStream>(Utf8), TEncoding::UTF8());
  EXPECT_EQ(Bom->NextToken()->Text(), "x");
}

// The stream fills the tokens of an earlier list again for a later one, but never a token that
// someone still holds, and a token filled again carries nothing of its earlier life.
TEST(TokenStream, ReusesOnlyTheTokensNobodyHolds) {
  auto Stream = StreamOf("(a \"s\" 1) (b 2.5 ?v)");
  const IPtr<IFuzzyStreamToken> Kept = Stream->NextToken();  // "(" of the first list
  IPtr<IFuzzyStreamToken> Tagged = Stream->NextToken();      // a
  Tagged->SetTag(7);
  Tagged->SetIntfValue(IPtr<IInterface>(New<TFuzzyStreamTokenList>()));
  Tagged = nullptr;
  while (Stream->NextToken()->DataType() != ')') {
  }
  std::vector<std::string> Second;
  for (int I = 0; I < 5; ++I) {
    IFuzzyStreamToken& Token = Stream->Next();
    Second.push_back(Describe(Token) + " tag " + std::to_string(Token.Tag()) + (Token.IntfValue() ? " value" : ""));
  }
  EXPECT_EQ(Second, (std::vector<std::string>{"( ( 1 tag 0", "atom b 1 tag 0", "float 2.5000 1 tag 0",
                                               "var ?v 1 tag 0", ") ) 1 tag 0"}));
  EXPECT_EQ(Describe(*Kept), "( ( 1");
  EXPECT_EQ(Stream->AsString(), "( b 2.5000 ?v ) ");
}

}  // namespace
}  // namespace fuzzy
