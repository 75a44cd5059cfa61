#pragma once
// Text encodings: bytes to UTF-8 text and back.
//
// Text in the library is a std::string holding UTF-8. An encoding turns the bytes of a stream into
// such text (GetString) and text into bytes (GetBytes). Malformed input never fails and is never
// undefined behaviour: each malformed piece (an invalid or truncated UTF-8 sequence, a lone UTF-16
// surrogate, a trailing odd byte of UTF-16) becomes U+FFFD. Characters that ANSI (Latin-1) cannot
// hold are written as '?'.
//
// The standard encodings are process-wide constants: UTF8() (default, BOM EF BB BF), Unicode()
// (UTF-16 little endian, BOM FF FE), BigEndianUnicode() (UTF-16 big endian, BOM FE FF) and ANSI()
// (Latin-1, no BOM). Nothing may Free() them (a stream told to own one leaves it alone); a host
// may derive an encoding of its own and create it with New<T>().
//
//   std::string Text = TEncoding::Unicode()->GetString(Bytes);   // UTF-16 LE bytes to UTF-8

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/runtime/object.h"

namespace fuzzy {

using TBytes = std::vector<std::uint8_t>;

class TEncoding : public TObject {
 public:
  std::string ClassName() const override { return "TEncoding"; }

  // The UTF-8 text of Bytes (a preamble in Bytes is decoded like any other bytes).
  virtual std::string GetString(std::span<const std::uint8_t> Bytes) const = 0;
  // Appends the UTF-8 text of Bytes to Into, whose room a reader reuses from text to text. By
  // GetString unless an encoding decodes in place.
  virtual void AppendString(std::span<const std::uint8_t> Bytes, std::string& Into) const { Into += GetString(Bytes); }
  // The bytes of the UTF-8 Text, without a preamble.
  virtual TBytes GetBytes(std::string_view Text) const = 0;
  // The byte order mark that starts a file in this encoding; empty when there is none.
  virtual TBytes GetPreamble() const = 0;
  virtual std::string EncodingName() const = 0;

  static TEncoding* UTF8();
  static TEncoding* Unicode();
  static TEncoding* BigEndianUnicode();
  static TEncoding* ANSI();
  // UTF-8.
  static TEncoding* Default();
  static bool IsStandardEncoding(const TEncoding* Encoding);

  // The encoding of Buffer and the length of its preamble. With Encoding null, the encoding is
  // detected by its byte order mark (UTF-8, UTF-16 LE or BE) and stored in Encoding; without a
  // known mark Encoding becomes Default() and the result is 0. With Encoding given, Encoding stays
  // and the result is the length of its preamble when Buffer starts with it, otherwise 0.
  static int GetBufferEncoding(std::span<const std::uint8_t> Buffer, TEncoding*& Encoding);

 protected:
  ~TEncoding() override = default;
  TEncoding() = default;
};

// The bytes of a text held in a std::string (no conversion).
inline std::span<const std::uint8_t> AsBytes(std::string_view Text) {
  return {reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size()};
}

// The bytes as a std::string (no conversion).
inline std::string BytesToRawString(std::span<const std::uint8_t> Bytes) {
  return {reinterpret_cast<const char*>(Bytes.data()), Bytes.size()};
}

// Decodes one code point of the UTF-8 Text at Pos and moves Pos past it. A malformed sequence
// yields U+FFFD and Pos moves past its longest valid beginning (at least one byte). Pos must be
// below Text.size().
char32_t DecodeUTF8(std::string_view Text, std::size_t& Pos);
// Appends the UTF-8 form of Code; surrogates and values above U+10FFFF append U+FFFD.
void AppendUTF8(std::string& Text, char32_t Code);

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

}  // namespace fuzzy
