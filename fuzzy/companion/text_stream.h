#pragma once
// Character reading over a byte stream in a text encoding.
//
// The text stream owns its source stream and frees it. On the first read it takes the bytes from
// the source's position to its end, finds the encoding (the given one, whose byte order mark is
// skipped when present; without one, the encoding named by the byte order mark, UTF-8 when there is
// none) and decodes them into UTF-8 text. Characters are the bytes of that text.
//
//   TOwned<TGTextStream> Text = MakeOwned<TGTextStream>(Stream);   // UTF-8 unless told otherwise
//   char C;  while (Text->GetChar(C)) ...

#include <string>
#include <string_view>

#include "fuzzy/runtime/encoding.h"
#include "fuzzy/runtime/object.h"
#include "fuzzy/runtime/stream.h"

namespace fuzzy {

class TGTextStream : public TObject {
 public:
  std::string ClassName() const override { return "TGTextStream"; }

  // Takes ownership of Stream. Encoding null: detected by byte order mark, UTF-8 by default.
  explicit TGTextStream(TStream* Stream, TEncoding* Encoding = nullptr);

  // The next character; '\0' when none is left. Descendants may override it (to count lines, for
  // example); GetChar(char&) and GetLine never call it. An override hides the other overload:
  // bring it back with `using TGTextStream::GetChar;`.
  virtual char GetChar();
  // The next character in C and true; false (C = '\0') when none is left. Inline: a token reader
  // calls it for every character.
  bool GetChar(char& C) {
    if (!FLoaded) Load();
    if (FPosition < FText.size()) {
      C = FText[FPosition++];
      return true;
    }
    C = '\0';
    return false;
  }
  // The next character in C without reading it, and true; false (C = '\0') when none is left.
  bool PeekChar(char& C) {
    if (!FLoaded) Load();
    if (FPosition < FText.size()) {
      C = FText[FPosition];
      return true;
    }
    C = '\0';
    return false;
  }
  // C becomes the next character to read. Characters put back come out last in, first out.
  void PutBack(char C);
  // The rest of the current line; the line break after it (CR, LF or CR LF) is consumed and not
  // returned. At the end of the text: the empty string.
  virtual std::string GetLine();
  // True when no character is left.
  bool IsEof() {
    if (!FLoaded) Load();
    return FPosition >= FText.size();
  }

  // Reads Stream, which it takes over, from its start in Encoding (null: by byte order mark, else
  // UTF-8) instead of the current source, which it frees.
  void SetSource(TStream* Stream, TEncoding* Encoding);

  TStream* Stream() const { return FStream; }
  // The encoding the text is read in; null before the first read when none was given.
  TEncoding* Encoding() const { return FEncoding; }

 protected:
  ~TGTextStream() override;

  // The characters left to read, for a reader that scans a run of them in place and then skips it.
  std::string_view Unread() {
    if (!FLoaded) Load();
    return std::string_view(FText).substr(FPosition);
  }
  // Reads Count characters of Unread() at once.
  void Skip(std::size_t Count) { FPosition += Count; }

 private:
  void Load();

  TStream* FStream;
  TEncoding* FEncoding;
  std::string FText;
  // The next character to read in FText; characters put back are written back in before it.
  std::size_t FPosition = 0;
  bool FLoaded = false;
};

}  // namespace fuzzy
