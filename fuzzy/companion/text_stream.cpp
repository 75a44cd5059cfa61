#include "fuzzy/companion/text_stream.h"

namespace fuzzy {

TGTextStream::TGTextStream(TStream* Stream, TEncoding* Encoding) : FStream(Stream), FEncoding(Encoding) {}

TGTextStream::~TGTextStream() { FreeObject(FStream); }

void TGTextStream::Load() {
  FLoaded = true;
  if (!FStream) {
    if (!FEncoding) FEncoding = TEncoding::Default();
    return;
  }
  TBytes Bytes;
  constexpr std::size_t ChunkSize = 64 * 1024;
  for (;;) {
    const std::size_t Used = Bytes.size();
    Bytes.resize(Used + ChunkSize);
    const std::int64_t Count = FStream->Read(std::span<std::uint8_t>(Bytes).subspan(Used));
    Bytes.resize(Used + static_cast<std::size_t>(Count > 0 ? Count : 0));
    if (Count <= 0) break;
  }
  const int PreambleLength = TEncoding::GetBufferEncoding(Bytes, FEncoding);
  FText = FEncoding->GetString(
      std::span<const std::uint8_t>(Bytes).subspan(static_cast<std::size_t>(PreambleLength)));
}

bool TGTextStream::GetChar(char& C) {
  if (!FPutBack.empty()) {
    C = FPutBack.back();
    FPutBack.pop_back();
    return true;
  }
  if (!FLoaded) Load();
  if (FPosition < FText.size()) {
    C = FText[FPosition++];
    return true;
  }
  C = '\0';
  return false;
}

char TGTextStream::GetChar() {
  char C;
  GetChar(C);
  return C;
}

void TGTextStream::PutBack(char C) { FPutBack.push_back(C); }

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

bool TGTextStream::IsEof() {
  if (!FPutBack.empty()) return false;
  if (!FLoaded) Load();
  return FPosition >= FText.size();
}

}  // namespace fuzzy
