#include "fuzzy/runtime/encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace fuzzy {

char32_t DecodeUTF8(std::string_view Text, std::size_t& Pos) {
  const auto Byte = [&](std::size_t I) { return static_cast<std::uint8_t>(Text[I]); };
  const std::uint8_t Lead = Byte(Pos++);
  if (Lead < 0x80) return Lead;
  int Trail;
  std::uint8_t Low = 0x80, High = 0xBF;  // range of the first continuation byte
  char32_t Code;
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Trail = 1;
    Code = Lead & 0x1Fu;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Trail = 2;
    Code = Lead & 0x0Fu;
    if (Lead == 0xE0) Low = 0xA0;
    if (Lead == 0xED) High = 0x9F;  // no surrogates
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Trail = 3;
    Code = Lead & 0x07u;
    if (Lead == 0xF0) Low = 0x90;
    if (Lead == 0xF4) High = 0x8F;  // nothing above U+10FFFF
  } else {
    return ReplacementCharacter;
  }
  for (int I = 0; I < Trail; ++I) {
    if (Pos >= Text.size()) return ReplacementCharacter;
    const std::uint8_t Next = Byte(Pos);
    if (Next < Low || Next > High) return ReplacementCharacter;
    Low = 0x80;
    High = 0xBF;
    Code = (Code << 6) | (Next & 0x3Fu);
    ++Pos;
  }
  return Code;
}

void AppendUTF8(std::string& Text, char32_t Code) {
  if ((Code >= 0xD800 && Code <= 0xDFFF) || Code > 0x10FFFF) Code = ReplacementCharacter;
  if (Code < 0x80) {
    Text += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Text += static_cast<char>(0xC0 | (Code >> 6));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else if (Code < 0x10000) {
    Text += static_cast<char>(0xE0 | (Code >> 12));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Text += static_cast<char>(0xF0 | (Code >> 18));
    Text += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
    Text += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Text += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

namespace {

// The byte order marks of the standard encodings.
constexpr std::uint8_t UTF8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr std::uint8_t LittleEndianMark[] = {0xFF, 0xFE};
constexpr std::uint8_t BigEndianMark[] = {0xFE, 0xFF};

TBytes BytesOf(std::span<const std::uint8_t> Mark) { return TBytes(Mark.begin(), Mark.end()); }

// A standard encoding decodes in place; GetString is the same decoding into a new text.
class TStandardEncoding : public TEncoding {
 public:
  std::string GetString(std::span<const std::uint8_t> Bytes) const final {
    std::string Result;
    AppendString(Bytes, Result);
    return Result;
  }
};

// The position of the first byte of Text from Pos on that is not ASCII (or the size), testing
// eight bytes at a time.
std::size_t EndOfAscii(std::string_view Text, std::size_t Pos) {
  constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
  for (std::uint64_t Word; Pos + sizeof Word <= Text.size(); Pos += sizeof Word) {
    std::memcpy(&Word, Text.data() + Pos, sizeof Word);
    if (Word & HighBits) break;
  }
  while (Pos < Text.size() && static_cast<unsigned char>(Text[Pos]) < 0x80) ++Pos;
  return Pos;
}

class TUTF8Encoding final : public TStandardEncoding {
 public:
  std::string ClassName() const override { return "TUTF8Encoding"; }
  std::string EncodingName() const override { return "UTF-8"; }

  void AppendString(std::span<const std::uint8_t> Bytes, std::string& Result) const override {
    const std::string_view Text(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    Result.reserve(Result.size() + Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
      // A run of ASCII bytes is valid UTF-8 as it is: copied whole.
      const std::size_t Ascii = Pos;
      Pos = EndOfAscii(Text, Pos);
      Result.append(Text, Ascii, Pos - Ascii);
      if (Pos == Text.size()) break;
      const std::size_t Start = Pos;
      const char32_t Code = DecodeUTF8(Text, Pos);
      if (Code == ReplacementCharacter && !(Pos - Start == 3 && Text.substr(Start, 3) == "\xEF\xBF\xBD"))
        AppendUTF8(Result, ReplacementCharacter);
      else
        Result.append(Text, Start, Pos - Start);
    }
  }

  // The text is UTF-8 already: its bytes are copied unchanged.
  TBytes GetBytes(std::string_view Text) const override {
    const auto Bytes = AsBytes(Text);
    return TBytes(Bytes.begin(), Bytes.end());
  }

  TBytes GetPreamble() const override { return BytesOf(UTF8Mark); }
};

class TUTF16Encoding final : public TStandardEncoding {
 public:
  explicit TUTF16Encoding(bool BigEndian) : FBigEndian(BigEndian) {}
  ~TUTF16Encoding() override = default;

  std::string ClassName() const override {
    return FBigEndian ? "TBigEndianUnicodeEncoding" : "TUnicodeEncoding";
  }
  std::string EncodingName() const override { return FBigEndian ? "UTF-16BE" : "UTF-16LE"; }

  void AppendString(std::span<const std::uint8_t> Bytes, std::string& Result) const override {
    Result.reserve(Result.size() + Bytes.size());
    const std::size_t Units = Bytes.size() / 2;
    const auto Unit = [&](std::size_t I) -> char32_t {
      const std::uint8_t A = Bytes[2 * I], B = Bytes[2 * I + 1];
      return FBigEndian ? (char32_t{A} << 8) | B : (char32_t{B} << 8) | A;
    };
    for (std::size_t I = 0; I < Units; ++I) {
      const char32_t U = Unit(I);
      if (U >= 0xD800 && U <= 0xDBFF && I + 1 < Units) {
        const char32_t Next = Unit(I + 1);
        if (Next >= 0xDC00 && Next <= 0xDFFF) {
          AppendUTF8(Result, 0x10000 + ((U - 0xD800) << 10) + (Next - 0xDC00));
          ++I;
          continue;
        }
      }
      AppendUTF8(Result, U);  // a lone surrogate becomes U+FFFD
    }
    if (Bytes.size() % 2 != 0) AppendUTF8(Result, ReplacementCharacter);
  }

  TBytes GetBytes(std::string_view Text) const override {
    TBytes Result;
    Result.reserve(Text.size() * 2);
    const auto Put = [&](char32_t U) {
      const auto Hi = static_cast<std::uint8_t>(U >> 8), Lo = static_cast<std::uint8_t>(U & 0xFF);
      Result.push_back(FBigEndian ? Hi : Lo);
      Result.push_back(FBigEndian ? Lo : Hi);
    };
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
      const char32_t Code = DecodeUTF8(Text, Pos);
      if (Code >= 0x10000) {
        Put(0xD800 + ((Code - 0x10000) >> 10));
        Put(0xDC00 + ((Code - 0x10000) & 0x3FF));
      } else {
        Put(Code);
      }
    }
    return Result;
  }

  TBytes GetPreamble() const override { return BytesOf(FBigEndian ? BigEndianMark : LittleEndianMark); }

 private:
  bool FBigEndian;
};

class TLatin1Encoding final : public TStandardEncoding {
 public:
  std::string ClassName() const override { return "TANSIEncoding"; }
  std::string EncodingName() const override { return "ISO-8859-1"; }

  void AppendString(std::span<const std::uint8_t> Bytes, std::string& Result) const override {
    Result.reserve(Result.size() + Bytes.size());
    for (const std::uint8_t B : Bytes) AppendUTF8(Result, B);
  }

  TBytes GetBytes(std::string_view Text) const override {
    TBytes Result;
    Result.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
      const char32_t Code = DecodeUTF8(Text, Pos);
      Result.push_back(Code <= 0xFF ? static_cast<std::uint8_t>(Code) : std::uint8_t{'?'});
    }
    return Result;
  }

  TBytes GetPreamble() const override { return {}; }
};

// The standard encodings are constants of the process.
TUTF8Encoding& UTF8Instance() {
  static TUTF8Encoding Instance;
  return Instance;
}
TUTF16Encoding& UnicodeInstance() {
  static TUTF16Encoding Instance(false);
  return Instance;
}
TUTF16Encoding& BigEndianInstance() {
  static TUTF16Encoding Instance(true);
  return Instance;
}
TLatin1Encoding& ANSIInstance() {
  static TLatin1Encoding Instance;
  return Instance;
}

bool StartsWith(std::span<const std::uint8_t> Buffer, std::span<const std::uint8_t> Prefix) {
  return !Prefix.empty() && Buffer.size() >= Prefix.size() &&
         std::equal(Prefix.begin(), Prefix.end(), Buffer.begin());
}

}  // namespace

TEncoding* TEncoding::UTF8() { return &UTF8Instance(); }
TEncoding* TEncoding::Unicode() { return &UnicodeInstance(); }
TEncoding* TEncoding::BigEndianUnicode() { return &BigEndianInstance(); }
TEncoding* TEncoding::ANSI() { return &ANSIInstance(); }
TEncoding* TEncoding::Default() { return UTF8(); }

bool TEncoding::IsStandardEncoding(const TEncoding* Encoding) {
  return Encoding == UTF8() || Encoding == Unicode() || Encoding == BigEndianUnicode() || Encoding == ANSI();
}

int TEncoding::GetBufferEncoding(std::span<const std::uint8_t> Buffer, TEncoding*& Encoding) {
  if (Encoding) {
    const TBytes Preamble = Encoding->GetPreamble();
    return StartsWith(Buffer, Preamble) ? static_cast<int>(Preamble.size()) : 0;
  }
  const std::pair<TEncoding*, std::span<const std::uint8_t>> Candidates[] = {
      {UTF8(), UTF8Mark}, {Unicode(), LittleEndianMark}, {BigEndianUnicode(), BigEndianMark}};
  for (const auto& [Candidate, Preamble] : Candidates) {
    if (StartsWith(Buffer, Preamble)) {
      Encoding = Candidate;
      return static_cast<int>(Preamble.size());
    }
  }
  Encoding = Default();
  return 0;
}

}  // namespace fuzzy
