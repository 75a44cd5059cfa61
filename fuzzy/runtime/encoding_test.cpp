#include "fuzzy/runtime/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace fuzzy {
namespace {

const std::string Replacement = "\xEF\xBF\xBD";
// "aé€😀": one, two, three and four UTF-8 bytes.
const std::string Mixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";

TBytes B(std::initializer_list<int> Values) {
  TBytes Result;
  for (int V : Values) Result.push_back(static_cast<std::uint8_t>(V));
  return Result;
}

TEST(Encoding, StandardEncodingsAndPreambles) {
  EXPECT_EQ(TEncoding::Default(), TEncoding::UTF8());
  EXPECT_EQ(TEncoding::UTF8()->GetPreamble(), B({0xEF, 0xBB, 0xBF}));
  EXPECT_EQ(TEncoding::Unicode()->GetPreamble(), B({0xFF, 0xFE}));
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetPreamble(), B({0xFE, 0xFF}));
  EXPECT_TRUE(TEncoding::ANSI()->GetPreamble().empty());
  EXPECT_EQ(TEncoding::UTF8()->EncodingName(), "UTF-8");
  EXPECT_EQ(TEncoding::Unicode()->EncodingName(), "UTF-16LE");
  EXPECT_EQ(TEncoding::BigEndianUnicode()->EncodingName(), "UTF-16BE");
  EXPECT_EQ(TEncoding::ANSI()->EncodingName(), "ISO-8859-1");
  EXPECT_TRUE(TEncoding::IsStandardEncoding(TEncoding::ANSI()));
  EXPECT_FALSE(TEncoding::IsStandardEncoding(nullptr));
}

TEST(Encoding, UTF8RoundTrip) {
  const TEncoding* E = TEncoding::UTF8();
  EXPECT_EQ(E->GetBytes(Mixed), TBytes(Mixed.begin(), Mixed.end()));
  EXPECT_EQ(E->GetString(AsBytes(Mixed)), Mixed);
  EXPECT_EQ(E->GetString(AsBytes(Replacement)), Replacement) << "a real U+FFFD stays";
  EXPECT_EQ(E->GetString({}), "");
}

TEST(Encoding, MalformedUTF8BecomesReplacementCharacters) {
  const TEncoding* E = TEncoding::UTF8();
  EXPECT_EQ(E->GetString(B({'a', 0xFF, 'b'})), "a" + Replacement + "b");
  EXPECT_EQ(E->GetString(B({0x80})), Replacement) << "a lone continuation byte";
  EXPECT_EQ(E->GetString(B({0xC3})), Replacement) << "truncated at the end";
  EXPECT_EQ(E->GetString(B({0xE2, 0x82, 'x'})), Replacement + "x") << "one U+FFFD for a truncated sequence";
  EXPECT_EQ(E->GetString(B({0xC0, 0xAF})), Replacement + Replacement) << "overlong form";
  EXPECT_EQ(E->GetString(B({0xED, 0xA0, 0x80})), Replacement + Replacement + Replacement)
      << "an encoded surrogate";
  EXPECT_EQ(E->GetString(B({0xF4, 0x90, 0x80, 0x80})), Replacement + Replacement + Replacement + Replacement)
      << "above U+10FFFF";
  EXPECT_EQ(E->GetString(B({0xF0, 0x9F, 0x98})), Replacement);
}

TEST(Encoding, UTF16LittleAndBigEndian) {
  const TBytes Le = TEncoding::Unicode()->GetBytes(Mixed);
  EXPECT_EQ(Le, B({'a', 0, 0xE9, 0, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE}));
  EXPECT_EQ(TEncoding::Unicode()->GetString(Le), Mixed);
  const TBytes Be = TEncoding::BigEndianUnicode()->GetBytes(Mixed);
  EXPECT_EQ(Be, B({0, 'a', 0, 0xE9, 0x20, 0xAC, 0xD8, 0x3D, 0xDE, 0x00}));
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetString(Be), Mixed);
}

TEST(Encoding, MalformedUTF16BecomesReplacementCharacters) {
  const TEncoding* Le = TEncoding::Unicode();
  EXPECT_EQ(Le->GetString(B({'a', 0, 'b'})), "a" + Replacement) << "an odd byte count";
  EXPECT_EQ(Le->GetString(B({'a'})), Replacement);
  EXPECT_EQ(Le->GetString(B({0x3D, 0xD8, 'x', 0})), Replacement + "x") << "a lone high surrogate";
  EXPECT_EQ(Le->GetString(B({0x3D, 0xD8})), Replacement) << "a high surrogate at the end";
  EXPECT_EQ(Le->GetString(B({0x00, 0xDE, 'x', 0})), Replacement + "x") << "a lone low surrogate";
  EXPECT_EQ(Le->GetString(B({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE})), Replacement + "\xF0\x9F\x98\x80");
  const TEncoding* Be = TEncoding::BigEndianUnicode();
  EXPECT_EQ(Be->GetString(B({0xDC, 0x00, 0, 'y', 0})), Replacement + "y" + Replacement);
}

TEST(Encoding, ANSIIsLatin1) {
  const TEncoding* E = TEncoding::ANSI();
  EXPECT_EQ(E->GetString(B({'a', 0xE9, 0xFF})), "a\xC3\xA9\xC3\xBF");
  EXPECT_EQ(E->GetBytes("a\xC3\xA9\xC3\xBF"), B({'a', 0xE9, 0xFF}));
  EXPECT_EQ(E->GetBytes(Mixed), B({'a', 0xE9, '?', '?'})) << "characters above U+00FF become '?'";
  EXPECT_EQ(E->GetBytes("\xFF"), B({'?'})) << "malformed UTF-8 text";
}

TEST(Encoding, GetBytesOfMalformedTextUsesReplacementCharacters) {
  EXPECT_EQ(TEncoding::Unicode()->GetBytes("a\xFF"), B({'a', 0, 0xFD, 0xFF}));
  // UTF-8 to UTF-8 copies the bytes as they are.
  EXPECT_EQ(TEncoding::UTF8()->GetBytes("a\xFF"), B({'a', 0xFF}));
}

TEST(Encoding, GetBufferEncodingDetectsByteOrderMarks) {
  TEncoding* E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xEF, 0xBB, 0xBF, 'a'}), E), 3);
  EXPECT_EQ(E, TEncoding::UTF8());
  E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xFF, 0xFE, 'a', 0}), E), 2);
  EXPECT_EQ(E, TEncoding::Unicode());
  E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xFE, 0xFF, 0, 'a'}), E), 2);
  EXPECT_EQ(E, TEncoding::BigEndianUnicode());
  E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({'a', 'b'}), E), 0);
  EXPECT_EQ(E, TEncoding::UTF8()) << "UTF-8 without BOM is the default";
  E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding({}, E), 0);
  EXPECT_EQ(E, TEncoding::UTF8());
  E = nullptr;
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xEF, 0xBB}), E), 0) << "a partial mark is no mark";
  EXPECT_EQ(E, TEncoding::UTF8());

  // A given encoding stays; only its own mark counts.
  E = TEncoding::ANSI();
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xEF, 0xBB, 0xBF}), E), 0);
  EXPECT_EQ(E, TEncoding::ANSI());
  E = TEncoding::Unicode();
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xFF, 0xFE, 'a', 0}), E), 2);
  E = TEncoding::UTF8();
  EXPECT_EQ(TEncoding::GetBufferEncoding(B({0xFF, 0xFE}), E), 0);
  EXPECT_EQ(E, TEncoding::UTF8());
}

TEST(Encoding, DecodeAndAppendUTF8) {
  std::size_t Pos = 0;
  EXPECT_EQ(DecodeUTF8(Mixed, Pos), U'a');
  EXPECT_EQ(DecodeUTF8(Mixed, Pos), U'\u00E9');
  EXPECT_EQ(DecodeUTF8(Mixed, Pos), U'\u20AC');
  EXPECT_EQ(DecodeUTF8(Mixed, Pos), U'\U0001F600');
  EXPECT_EQ(Pos, Mixed.size());
  std::string Text;
  AppendUTF8(Text, 0xD800);
  AppendUTF8(Text, 0x110000);
  EXPECT_EQ(Text, Replacement + Replacement);
}

}  // namespace
}  // namespace fuzzy
