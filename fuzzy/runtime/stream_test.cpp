#include "fuzzy/runtime/stream.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

std::string ReadAll(TStream& Stream) {
  std::string Result;
  std::uint8_t Buffer[3];
  for (;;) {
    const std::int64_t Count = Stream.Read(Buffer);
    if (Count == 0) break;
    Result.append(reinterpret_cast<const char*>(Buffer), static_cast<std::size_t>(Count));
  }
  return Result;
}

TEST(MemoryStream, ReadWriteSeekAndSize) {
  auto Stream = MakeOwned<TMemoryStream>();
  EXPECT_EQ(Stream->Size(), 0);
  EXPECT_EQ(Stream->Write(AsBytes("hello world")), 11);
  EXPECT_EQ(Stream->Position(), 11);
  EXPECT_EQ(Stream->Size(), 11);
  Stream->SetPosition(6);
  EXPECT_EQ(ReadAll(*Stream), "world");
  EXPECT_EQ(Stream->Seek(-5, TSeekOrigin::soEnd), 6);
  EXPECT_EQ(Stream->Seek(-2, TSeekOrigin::soCurrent), 4);
  Stream->Write(AsBytes("O_W"));  // overwrites in place
  EXPECT_EQ(BytesToRawString(Stream->Bytes()), "hellO_World");
  EXPECT_EQ(Stream->Size(), 11);
  Stream->Seek(-1, TSeekOrigin::soEnd);
  Stream->Write(AsBytes("D!"));  // overwrites and extends
  EXPECT_EQ(BytesToRawString(Stream->Bytes()), "hellO_WorlD!");
  std::uint8_t Nothing[1];
  EXPECT_EQ(Stream->Read(std::span<std::uint8_t>(Nothing, 0)), 0);
}

TEST(MemoryStream, PositionsBeyondTheEnd) {
  auto Stream = MakeOwned<TMemoryStream>();
  Stream->Write(AsBytes("ab"));
  Stream->SetPosition(4);
  std::uint8_t Buffer[4];
  EXPECT_EQ(Stream->Read(Buffer), 0) << "nothing to read beyond the end";
  Stream->Write(AsBytes("c"));
  EXPECT_EQ(BytesToRawString(Stream->Bytes()), std::string("ab\0\0c", 5)) << "the gap is zero-filled";
  Stream->SetSize(1);
  EXPECT_EQ(Stream->Position(), 5) << "the position stays";
  EXPECT_EQ(Stream->Size(), 1);
  Stream->SetSize(3);
  EXPECT_EQ(BytesToRawString(Stream->Bytes()), std::string("a\0\0", 3));
  Stream->Clear();
  EXPECT_EQ(Stream->Size(), 0);
  EXPECT_EQ(Stream->Position(), 0);
}

TEST(MemoryStream, SeekingBeforeTheStartRaises) {
  auto Stream = MakeOwned<TMemoryStream>(TBytes{1, 2, 3});
  Stream->SetPosition(2);
  try {
    Stream->Seek(-3, TSeekOrigin::soCurrent);
    FAIL() << "no exception";
  } catch (const EStreamError& E) {
    EXPECT_STREQ(E.what(), "Invalid stream position (-1)");
  }
  EXPECT_EQ(Stream->Position(), 2) << "a failed seek does not move";
  EXPECT_THROW(Stream->SetPosition(-1), EStreamError);
  EXPECT_THROW(Stream->SetSize(-1), EStreamError);
}

TEST(StringStream, HoldsTheBytesOfATextInItsEncoding) {
  auto Utf8 = MakeOwned<TStringStream>("a\xC3\xA9");
  EXPECT_EQ(Utf8->Encoding(), TEncoding::UTF8());
  EXPECT_EQ(Utf8->Size(), 3);
  EXPECT_EQ(Utf8->Position(), 0);
  EXPECT_EQ(Utf8->DataString(), "a\xC3\xA9");

  auto Utf16 = MakeOwned<TStringStream>("a\xC3\xA9", TEncoding::Unicode(), true);
  EXPECT_EQ(Utf16->Bytes(), (TBytes{'a', 0, 0xE9, 0})) << "no byte order mark";
  EXPECT_EQ(Utf16->DataString(), "a\xC3\xA9");

  auto Latin1 = MakeOwned<TStringStream>("\xC3\xA9", TEncoding::ANSI(), false);
  EXPECT_EQ(Latin1->Bytes(), (TBytes{0xE9}));

  auto Raw = MakeOwned<TStringStream>(TBytes{0xEF, 0xBB, 0xBF, 'x'});
  EXPECT_EQ(Raw->Size(), 4);
  EXPECT_EQ(Raw->DataString(), "\xEF\xBB\xBFx") << "bytes are kept as given";

  auto Empty = MakeOwned<TStringStream>();
  EXPECT_EQ(Empty->DataString(), "");
  EXPECT_EQ(Empty->Encoding(), TEncoding::Default());
}

TEST(StringStream, WriteStringAndReadString) {
  auto Stream = MakeOwned<TStringStream>();
  Stream->WriteString("abc ");
  Stream->WriteString("def ");
  EXPECT_EQ(Stream->DataString(), "abc def ");
  Stream->SetPosition(4);
  Stream->WriteString("X ");  // overwrites, the text is not shortened
  EXPECT_EQ(Stream->DataString(), "abc X f ");
  Stream->SetPosition(0);
  EXPECT_EQ(Stream->ReadString(3), "abc");
  EXPECT_EQ(Stream->ReadString(100), " X f ");
  EXPECT_EQ(Stream->ReadString(1), "");

  auto Utf16 = MakeOwned<TStringStream>("", TEncoding::BigEndianUnicode(), false);
  Utf16->WriteString("hi");
  EXPECT_EQ(Utf16->Bytes(), (TBytes{0, 'h', 0, 'i'}));
  Utf16->SetPosition(0);
  EXPECT_EQ(Utf16->ReadString(3), "h\xEF\xBF\xBD") << "half a character decodes to U+FFFD";
}

testing::TLiveCounter EncodingCounter;

class TCountedEncoding : public TEncoding {
 public:
  TCountedEncoding() : FToken(EncodingCounter) {}
  std::string GetString(std::span<const std::uint8_t> Bytes) const override {
    return TEncoding::UTF8()->GetString(Bytes);
  }
  TBytes GetBytes(std::string_view Text) const override { return TEncoding::UTF8()->GetBytes(Text); }
  TBytes GetPreamble() const override { return {}; }
  std::string EncodingName() const override { return "counted"; }

 private:
  testing::TLiveToken FToken;
};

TEST(StringStream, FreesAnEncodingItOwnsButNeverAStandardOne) {
  auto* Owned = New<TCountedEncoding>();
  New<TStringStream>("x", Owned, true)->Free();
  EXPECT_EQ(EncodingCounter.Live(), 0);

  auto* Kept = New<TCountedEncoding>();
  New<TStringStream>("x", Kept, false)->Free();
  EXPECT_EQ(EncodingCounter.Live(), 1);
  Kept->Free();

  New<TStringStream>("x", TEncoding::UTF8(), true)->Free();
  New<TStringStream>("x", nullptr, true)->Free();
  EXPECT_EQ(TEncoding::UTF8()->GetString(AsBytes("still here")), "still here");
}

}  // namespace
}  // namespace fuzzy
