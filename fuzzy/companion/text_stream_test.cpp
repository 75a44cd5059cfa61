#include "fuzzy/companion/text_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

TOwned<TGTextStream> Over(std::string_view Text, TEncoding* Encoding = nullptr) {
  return MakeOwned<TGTextStream>(New<TAQStringStream>(Text, Encoding, true), Encoding);
}

TOwned<TGTextStream> OverBytes(TBytes Bytes, TEncoding* Encoding = nullptr) {
  return MakeOwned<TGTextStream>(New<TStringStream>(std::move(Bytes)), Encoding);
}

std::string ReadAll(TGTextStream& Stream) {
  std::string Result;
  char C;
  while (Stream.GetChar(C)) Result += C;
  return Result;
}

TEST(TextStream, GetCharReadsTheCharactersThenReportsTheEnd) {
  auto Stream = Over("ab");
  EXPECT_FALSE(Stream->IsEof());
  char C = 0;
  EXPECT_TRUE(Stream->GetChar(C));
  EXPECT_EQ(C, 'a');
  EXPECT_EQ(Stream->GetChar(), 'b');
  EXPECT_TRUE(Stream->IsEof());
  EXPECT_FALSE(Stream->GetChar(C));
  EXPECT_EQ(C, '\0');
  EXPECT_EQ(Stream->GetChar(), '\0') << "'\\0' at the end, on every call";
  EXPECT_EQ(Stream->GetChar(), '\0');
  EXPECT_TRUE(Stream->IsEof());
}

TEST(TextStream, AnEmptyTextIsAtItsEnd) {
  auto Stream = Over("");
  EXPECT_TRUE(Stream->IsEof());
  EXPECT_EQ(Stream->GetChar(), '\0');
  EXPECT_EQ(Stream->GetLine(), "");
}

TEST(TextStream, PutBackReturnsTheCharacterNext) {
  auto Stream = Over("xy");
  const char X = Stream->GetChar();
  Stream->PutBack(X);
  EXPECT_EQ(Stream->GetChar(), 'x');
  EXPECT_EQ(Stream->GetChar(), 'y');
  EXPECT_TRUE(Stream->IsEof());
  Stream->PutBack('y');
  EXPECT_FALSE(Stream->IsEof()) << "a character put back at the end is there to read";
  EXPECT_EQ(Stream->GetChar(), 'y');
  EXPECT_TRUE(Stream->IsEof());
  // Any character may be put back, and several come back last in, first out.
  Stream->PutBack('1');
  Stream->PutBack('2');
  EXPECT_EQ(ReadAll(*Stream), "21");
}

TEST(TextStream, GetLineReadsTheRestOfTheLineAndConsumesItsBreak) {
  auto Stream = Over("one\r\ntwo\nthree\rfour\n\nlast");
  EXPECT_EQ(Stream->GetChar(), 'o');
  EXPECT_EQ(Stream->GetLine(), "ne");
  EXPECT_EQ(Stream->GetLine(), "two");
  EXPECT_EQ(Stream->GetLine(), "three");
  EXPECT_EQ(Stream->GetLine(), "four");
  EXPECT_EQ(Stream->GetLine(), "");
  EXPECT_FALSE(Stream->IsEof());
  EXPECT_EQ(Stream->GetLine(), "last");
  EXPECT_TRUE(Stream->IsEof());
  EXPECT_EQ(Stream->GetLine(), "");
}

TEST(TextStream, GetLineAfterCrKeepsTheNextCharacter) {
  auto Stream = Over("a\r\rb");
  EXPECT_EQ(Stream->GetLine(), "a");
  EXPECT_EQ(Stream->GetLine(), "");
  EXPECT_EQ(Stream->GetChar(), 'b');
  auto Tail = Over("a\r");
  EXPECT_EQ(Tail->GetLine(), "a");
  EXPECT_TRUE(Tail->IsEof());
}

TEST(TextStream, GetLineStartsWithACharacterPutBack) {
  auto Stream = Over("bc\nd");
  Stream->GetChar();
  Stream->PutBack('b');
  EXPECT_EQ(Stream->GetLine(), "bc");
  Stream->PutBack('\n');
  EXPECT_EQ(Stream->GetLine(), "") << "a line break put back ends a line";
  EXPECT_EQ(Stream->GetLine(), "d");
}

TEST(TextStream, CharactersAreTheBytesOfTheUTF8Text) {
  auto Stream = Over("\xC3\xA9!");
  EXPECT_EQ(static_cast<unsigned char>(Stream->GetChar()), 0xC3);
  EXPECT_EQ(static_cast<unsigned char>(Stream->GetChar()), 0xA9);
  EXPECT_EQ(Stream->GetChar(), '!');
}

TEST(TextStream, TheByteOrderMarkChoosesTheEncodingAndIsSkipped) {
  EXPECT_EQ(ReadAll(*OverBytes({0xEF, 0xBB, 0xBF, 'a', 0xC3, 0xA9})), "a\xC3\xA9");
  auto Le = OverBytes({0xFF, 0xFE, 'a', 0, 0xE9, 0, '\n', 0});
  EXPECT_EQ(Le->GetLine(), "a\xC3\xA9");
  EXPECT_EQ(Le->Encoding(), TEncoding::Unicode());
  auto Be = OverBytes({0xFE, 0xFF, 0, 'a', 0x20, 0xAC});
  EXPECT_EQ(ReadAll(*Be), "a\xE2\x82\xAC");
  EXPECT_EQ(Be->Encoding(), TEncoding::BigEndianUnicode());
  auto Plain = OverBytes({'a', 0xC3, 0xA9});
  EXPECT_EQ(ReadAll(*Plain), "a\xC3\xA9");
  EXPECT_EQ(Plain->Encoding(), TEncoding::UTF8()) << "UTF-8 without a mark is the default";
}

TEST(TextStream, AGivenEncodingIsUsedAndOnlyItsOwnMarkSkipped) {
  EXPECT_EQ(ReadAll(*OverBytes({'a', 0xE9}, TEncoding::ANSI())), "a\xC3\xA9");
  EXPECT_EQ(ReadAll(*OverBytes({0xFF, 0xFE, 'a', 0}, TEncoding::Unicode())), "a");
  EXPECT_EQ(ReadAll(*OverBytes({'a', 0}, TEncoding::Unicode())), "a");
  // A UTF-8 mark read as ANSI is three Latin-1 characters.
  EXPECT_EQ(ReadAll(*OverBytes({0xEF, 0xBB, 0xBF}, TEncoding::ANSI())), "\xC3\xAF\xC2\xBB\xC2\xBF");
}

TEST(TextStream, MalformedBytesReadAsReplacementCharacters) {
  EXPECT_EQ(ReadAll(*OverBytes({0xFF, 0xFE, 'a', 0, 'b'})), "a\xEF\xBF\xBD");
  EXPECT_EQ(ReadAll(*OverBytes({'a', 0xFF})), "a\xEF\xBF\xBD");
}

TEST(TextStream, ATextInAnyEncodingReadsBack) {
  const std::string Text =
      "(deffuzzy temp \xC2\xB0"
      "C)\n";
  for (TEncoding* Encoding :
       {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode(), TEncoding::ANSI()}) {
    auto Stream = Over(Text, Encoding);
    EXPECT_EQ(Stream->GetLine(),
              "(deffuzzy temp \xC2\xB0"
              "C)")
        << Encoding->EncodingName();
    EXPECT_TRUE(Stream->IsEof());
  }
}

TEST(TextStream, ReadsFromTheSourcePosition) {
  auto* Source = New<TStringStream>("skip:keep");
  Source->SetPosition(5);
  auto Stream = MakeOwned<TGTextStream>(Source);
  EXPECT_EQ(Stream->Stream(), Source);
  EXPECT_EQ(ReadAll(*Stream), "keep");
}

testing::TLiveCounter StreamCounter;

class TCountedStream : public TStringStream {
 public:
  explicit TCountedStream(std::string_view Text) : TStringStream(Text), FToken(StreamCounter) {}

 private:
  testing::TLiveToken FToken;
};

TEST(TextStream, OwnsItsStream) {
  New<TGTextStream>(New<TCountedStream>("abc"))->Free();
  EXPECT_EQ(StreamCounter.Created(), 1);
  EXPECT_EQ(StreamCounter.Live(), 0);
  New<TGTextStream>(nullptr)->Free();  // no source: an empty text
}

// A descendant that counts lines in its GetChar, as the token stream does: GetChar(char&) and
// GetLine must not go through it.
class TLineCountingStream : public TGTextStream {
 public:
  using TGTextStream::GetChar;
  using TGTextStream::TGTextStream;
  int Lines = 1;
  char GetChar() override {
    const char C = TGTextStream::GetChar();
    if (C == '\n') ++Lines;
    return C;
  }
  std::string GetLine() override {
    std::string Line = TGTextStream::GetLine();
    ++Lines;
    return Line;
  }
};

TEST(TextStream, TheOtherReadersDoNotCallTheVirtualGetChar) {
  auto Stream = MakeOwned<TLineCountingStream>(New<TAQStringStream>("a\nb\nc\nd"));
  char C;
  Stream->GetChar(C);  // 'a'
  Stream->GetChar(C);  // '\n', not counted
  EXPECT_EQ(Stream->Lines, 1);
  EXPECT_EQ(Stream->GetChar(), 'b');
  EXPECT_EQ(Stream->GetChar(), '\n');
  EXPECT_EQ(Stream->Lines, 2);
  EXPECT_EQ(Stream->GetLine(), "c");
  EXPECT_EQ(Stream->Lines, 3) << "the line break is counted once";
}

}  // namespace
}  // namespace fuzzy
