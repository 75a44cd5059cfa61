#include "fuzzy/runtime/stream.h"

#include <algorithm>
#include <cstring>

namespace fuzzy {

std::int64_t TStream::Size() {
  const std::int64_t Current = Position();
  const std::int64_t Result = Seek(0, TSeekOrigin::soEnd);
  Seek(Current, TSeekOrigin::soBeginning);
  return Result;
}

std::int64_t TMemoryStream::Read(std::span<std::uint8_t> Buffer) {
  const std::int64_t Available = Size() - FPosition;
  if (Available <= 0 || Buffer.empty()) return 0;
  const auto Count = static_cast<std::size_t>(std::min<std::int64_t>(Available, std::ssize(Buffer)));
  std::memcpy(Buffer.data(), FBytes.data() + FPosition, Count);
  FPosition += static_cast<std::int64_t>(Count);
  return static_cast<std::int64_t>(Count);
}

std::int64_t TMemoryStream::Write(std::span<const std::uint8_t> Buffer) {
  if (Buffer.empty()) return 0;
  const auto End = static_cast<std::size_t>(FPosition) + Buffer.size();
  if (End > FBytes.size()) FBytes.resize(End);
  std::memcpy(FBytes.data() + FPosition, Buffer.data(), Buffer.size());
  FPosition = static_cast<std::int64_t>(End);
  return std::ssize(Buffer);
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t Base = 0;
  switch (Origin) {
    case TSeekOrigin::soBeginning:
      Base = 0;
      break;
    case TSeekOrigin::soCurrent:
      Base = FPosition;
      break;
    case TSeekOrigin::soEnd:
      Base = Size();
      break;
  }
  const std::int64_t Target = Base + Offset;
  if (Target < 0) throw EStreamError(SSeekError, {Target});
  FPosition = Target;
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t Value) {
  if (Value < 0) throw EStreamError(SSeekError, {Value});
  FBytes.resize(static_cast<std::size_t>(Value));
}

void TMemoryStream::Clear() {
  FBytes.clear();
  FPosition = 0;
}

TStringStream::TStringStream(std::string_view Text, TEncoding* Encoding, bool OwnsEncoding)
    : TMemoryStream(Encoding ? Encoding->GetBytes(Text) : TEncoding::Default()->GetBytes(Text)),
      FEncoding(Encoding ? Encoding : TEncoding::Default()),
      FOwnsEncoding(OwnsEncoding && !TEncoding::IsStandardEncoding(FEncoding)) {}

TStringStream::~TStringStream() {
  if (FOwnsEncoding) FEncoding->Free();
}

void TStringStream::WriteString(std::string_view Text) {
  const TBytes Data = FEncoding->GetBytes(Text);
  Write(Data);
}

std::string TStringStream::ReadString(std::int64_t Count) {
  TBytes Data(static_cast<std::size_t>(std::max<std::int64_t>(0, std::min(Count, Size() - Position()))));
  Data.resize(static_cast<std::size_t>(Read(Data)));
  return FEncoding->GetString(Data);
}

}  // namespace fuzzy
