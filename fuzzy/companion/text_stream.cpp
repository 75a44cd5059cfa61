#include "fuzzy/companion/text_stream.h"

#include <utility>

namespace fuzzy {

TGTextStream::TGTextStream(TStream* Stream, TEncoding* Encoding) : FStream(Stream), FEncoding(Encoding) {}

TGTextStream::~TGTextStream() { FreeObject(FStream); }

void TGTextStream::SetSource(TStream* Stream, TEncoding* Encoding) {
  FreeObject(std::exchange(FStream, Stream));
  FEncoding = Encoding;
  // The room of a short text is kept for the next one.
  constexpr std::size_t KeptTextRoom = 64 * 1024;
  if (FText.capacity() > KeptTextRoom)
    std::string().swap(FText);
  else
    FText.clear();
  FPosition = 0;
  FLoaded = false;
}

void TGTextStream::Load() {
  FLoaded = true;
  if (!FStream) {
    if (!FEncoding) FEncoding = TEncoding::Default();
    return;
  }
  // A stream over memory is decoded where its bytes lie; any other is read whole first.
  std::span<const std::uint8_t> Bytes;
  TBytes Read;
  const std::int64_t Position = FStream->Position();
  if (const auto* Memory = dynamic_cast<const TMemoryStream*>(FStream);
      Memory && Position >= 0 && Position <= static_cast<std::int64_t>(Memory->Bytes().size())) {
    Bytes = std::span<const std::uint8_t>(Memory->Bytes()).subspan(static_cast<std::size_t>(Position));
    // Read to the end, as any other source is.
    FStream->Seek(0, TSeekOrigin::soEnd);
  } else {
    // Room for what the source says is left, so that the bytes are neither moved nor zeroed first.
    const std::int64_t Left = FStream->Size() - Position;
    if (Left > 0) Read.reserve(static_cast<std::size_t>(Left));
    std::uint8_t Chunk[16 * 1024];
    for (;;) {
      const std::int64_t Count = FStream->Read(Chunk);
      if (Count <= 0) break;
      Read.insert(Read.end(), Chunk, Chunk + Count);
    }
    Bytes = Read;
  }
  const int PreambleLength = TEncoding::GetBufferEncoding(Bytes, FEncoding);
  FText.clear();
  FEncoding->AppendString(Bytes.subspan(static_cast<std::size_t>(PreambleLength)), FText);
}

char TGTextStream::GetChar() {
  char C;
  GetChar(C);
  return C;
}

std::string TGTextStream::GetLine() {
  std::string Line;
  char C;
  while (GetChar(C)) {
    if (C == '\n') break;
    if (C == '\r') {
      if (GetChar(C) && C != '\n') PutBack(C);
      break;
    }
    Line += C;
  }
  return Line;
}

void TGTextStream::PutBack(char C) {
  if (!FLoaded) Load();
  // The character just read goes back by moving back; any other is written in before the next.
  if (FPosition > 0 && FText[FPosition - 1] == C)
    --FPosition;
  else
    FText.insert(FPosition, 1, C);
}

}  // namespace fuzzy
