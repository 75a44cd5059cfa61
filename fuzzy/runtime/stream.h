#pragma once
// Byte streams: the abstract TStream, the in-memory TMemoryStream and TStringStream, which holds the
// bytes of a text in an encoding.
//
// Positions and sizes are byte counts. A position may lie beyond the end: reading there yields
// nothing and writing there first fills the gap with zero bytes. A seek to a position before the
// start raises EStreamError.
//
//   TOwned<TStringStream> Stream = MakeOwned<TStringStream>("(deffuzzy t)");
//   Stream->ReadString(9) == "(deffuzzy"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fuzzy/runtime/encoding.h"
#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/object.h"

namespace fuzzy {

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr std::string_view SSeekError = "Invalid stream position (%d)";

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  std::string ClassName() const override { return "TStream"; }

  // Reads up to Buffer.size() bytes at the position into Buffer and moves past them; returns the
  // number read (0 at the end).
  virtual std::int64_t Read(std::span<std::uint8_t> Buffer) = 0;
  // Writes Buffer at the position, overwriting or extending, and moves past it; returns the
  // number written.
  virtual std::int64_t Write(std::span<const std::uint8_t> Buffer) = 0;
  // Moves the position and returns the new one.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t Value) { Seek(Value, TSeekOrigin::soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t Value) = 0;

 protected:
  ~TStream() override = default;
  TStream() = default;
};

// A stream over bytes held in memory.
class TMemoryStream : public TStream {
 public:
  std::string ClassName() const override { return "TMemoryStream"; }

  std::int64_t Read(std::span<std::uint8_t> Buffer) override;
  std::int64_t Write(std::span<const std::uint8_t> Buffer) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FBytes.size()); }
  // Cuts or extends (with zero bytes) the data; the position stays, even beyond the new end.
  void SetSize(std::int64_t Value) override;
  void Clear();

  const TBytes& Bytes() const { return FBytes; }

  TMemoryStream() = default;
  explicit TMemoryStream(TBytes Bytes) : FBytes(std::move(Bytes)) {}

 protected:
  ~TMemoryStream() override = default;

 private:
  TBytes FBytes;
  std::int64_t FPosition = 0;
};

// The bytes of a text in an encoding; the position starts at 0.
class TStringStream : public TMemoryStream {
 public:
  std::string ClassName() const override { return "TStringStream"; }

  // The whole content as UTF-8 text, decoded with the stream's encoding.
  std::string DataString() const { return FEncoding->GetString(Bytes()); }
  TEncoding* Encoding() const { return FEncoding; }
  // Writes the bytes of Text in the stream's encoding at the position (no preamble).
  void WriteString(std::string_view Text);
  // Reads Count bytes (fewer at the end) and decodes them.
  std::string ReadString(std::int64_t Count);

  // Empty, UTF-8.
  TStringStream() : TStringStream(std::string_view{}, nullptr, false) {}
  explicit TStringStream(std::string_view Text) : TStringStream(Text, nullptr, false) {}
  // The bytes of Text in Encoding (UTF-8 when null), without a preamble. When OwnsEncoding is true
  // the stream frees Encoding when it is freed, unless Encoding is a standard encoding.
  TStringStream(std::string_view Text, TEncoding* Encoding, bool OwnsEncoding);
  // The given bytes, unconverted, read in UTF-8.
  explicit TStringStream(TBytes Bytes) : TMemoryStream(std::move(Bytes)), FEncoding(TEncoding::Default()) {}

 protected:
  ~TStringStream() override;

 private:
  TEncoding* FEncoding;
  bool FOwnsEncoding = false;
};

}  // namespace fuzzy
