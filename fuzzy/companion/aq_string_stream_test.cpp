#include "fuzzy/companion/aq_string_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

TEST(AQStringStream, AReadableStreamOverAText) {
  auto Stream = MakeOwned<TAQStringStream>("(deffuzzy x)");
  EXPECT_EQ(Stream->ClassName(), "TAQStringStream");
  EXPECT_EQ(Stream->Encoding(), TEncoding::UTF8());
  EXPECT_EQ(Stream->Position(), 0);
  EXPECT_EQ(Stream->ReadString(9), "(deffuzzy");
  EXPECT_EQ(Stream->DataString(), "(deffuzzy x)");
}

TEST(AQStringStream, TheTextInAnEncodingWithoutAByteOrderMark) {
  auto Le = MakeOwned<TAQStringStream>("ab", TEncoding::Unicode(), true);
  EXPECT_EQ(Le->Bytes(), (TBytes{'a', 0, 'b', 0}));
  EXPECT_EQ(Le->DataString(), "ab");
  auto Default = MakeOwned<TAQStringStream>("ab", nullptr, true);
  EXPECT_EQ(Default->Encoding(), TEncoding::UTF8());
  EXPECT_EQ(Default->Size(), 2);
}

// The echo of a token stream: written, rewound and overwritten; its text is never shortened.
TEST(AQStringStream, AnEmptyStreamWrittenAsAnEcho) {
  auto Echo = MakeOwned<TAQStringStream>();
  EXPECT_EQ(Echo->DataString(), "");
  Echo->WriteString("( ");
  Echo->WriteString("deffuzzy ");
  Echo->WriteString("speed ");
  EXPECT_EQ(Echo->DataString(), "( deffuzzy speed ");
  // Undo the last token: back to just after the previous one.
  const std::int64_t P = Echo->Position() - static_cast<std::int64_t>(std::string("speed").size()) - 1;
  Echo->SetPosition(P);
  EXPECT_EQ(Echo->DataString().substr(0, static_cast<std::size_t>(P)), "( deffuzzy ");
  Echo->SetPosition(0);
  Echo->WriteString("( x ");
  EXPECT_EQ(Echo->DataString(), "( x ffuzzy speed ");
}

testing::TLiveCounter Counter;

class TOwnEncoding : public TEncoding {
 public:
  TOwnEncoding() : FToken(Counter) {}
  std::string GetString(std::span<const std::uint8_t> Bytes) const override {
    return TEncoding::ANSI()->GetString(Bytes);
  }
  TBytes GetBytes(std::string_view Text) const override { return TEncoding::ANSI()->GetBytes(Text); }
  TBytes GetPreamble() const override { return {}; }
  std::string EncodingName() const override { return "own"; }

 private:
  testing::TLiveToken FToken;
};

TEST(AQStringStream, TheFlagHandsOverTheEncoding) {
  New<TAQStringStream>("x", New<TOwnEncoding>(), true)->Free();
  EXPECT_EQ(Counter.Live(), 0);
  auto* Kept = New<TOwnEncoding>();
  New<TAQStringStream>("x", Kept, false)->Free();
  EXPECT_EQ(Counter.Live(), 1);
  Kept->Free();
}

}  // namespace
}  // namespace fuzzy
