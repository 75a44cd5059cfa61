#include "tools/definition_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzzy/runtime/encoding.h"

namespace fuzzy::cli {

std::string Located(const std::string& Path, const std::string& Message, int Line) {
  return Line > 0 ? Concat({Path, ":", IntToStr(Line), ": ", Message}) : Concat({Path, ": ", Message});
}

namespace {

[[noreturn]] void FailTooLarge(const std::string& Path) {
  throw TInputError(Located(
      Path, Concat({"too large for a definition file (more than ", IntToStr(MaxFileSize >> 20), " MiB)"})));
}

[[noreturn]] void FailWithErrno(const std::string& Path, int Error) {
  throw TInputError(Located(Path, Concat({"cannot read: ", std::strerror(Error)})));
}

struct TFileCloser {
  void operator()(std::FILE* File) const { std::fclose(File); }
};

// Every byte of the file; a directory or a device is refused before it is opened.
std::string ReadBytes(const std::string& Path) {
  struct stat Status {};
  if (::stat(Path.c_str(), &Status) != 0) FailWithErrno(Path, errno);
  if (S_ISDIR(Status.st_mode)) throw TInputError(Located(Path, "is a directory, not a definition file"));
  if (!S_ISREG(Status.st_mode) && !S_ISFIFO(Status.st_mode))
    throw TInputError(Located(Path, "is not a regular file"));
  if (S_ISREG(Status.st_mode) && static_cast<std::uintmax_t>(Status.st_size) > MaxFileSize)
    FailTooLarge(Path);
  const std::unique_ptr<std::FILE, TFileCloser> File(std::fopen(Path.c_str(), "rb"));
  if (!File) FailWithErrno(Path, errno);
  std::string Bytes;
  if (S_ISREG(Status.st_mode)) Bytes.reserve(static_cast<std::size_t>(Status.st_size));
  char Chunk[64 * 1024];
  for (;;) {
    const std::size_t Count = std::fread(Chunk, 1, sizeof Chunk, File.get());
    Bytes.append(Chunk, Count);
    // A pipe, or a file that grew since it was looked at.
    if (Bytes.size() > MaxFileSize) FailTooLarge(Path);
    if (Count < sizeof Chunk) break;
  }
  if (std::ferror(File.get())) FailWithErrno(Path, errno ? errno : EIO);
  return Bytes;
}

}  // namespace

std::string ReadTextFile(const std::string& Path) {
  const std::string Bytes = ReadBytes(Path);
  TEncoding* Encoding = nullptr;
  const std::span<const std::uint8_t> Buffer = AsBytes(Bytes);
  const std::size_t Preamble = static_cast<std::size_t>(TEncoding::GetBufferEncoding(Buffer, Encoding));
  const bool Wide = Encoding == TEncoding::Unicode() || Encoding == TEncoding::BigEndianUnicode();
  if (const std::size_t Nul = Bytes.find('\0'); !Wide && Nul != std::string::npos)
    throw TInputError(Located(Path, Concat({"binary data (a NUL byte at offset ", IntToStr(Nul),
                                            "), not text in UTF-8 or in UTF-16 with a byte order mark"})));
  // Malformed sequences become U+FFFD.
  return Encoding->GetString(Buffer.subspan(Preamble));
}

TDefinitionFile::TDefinitionFile(const std::string& Path)
    : FPath(Path), FLogic(MakeOwned<TFuzzyLogic>(nullptr)), FParser(MakeOwned<TAQFuzzyLogicParser>(nullptr)) {
  FLogic->SetAutoTerms(false);
  FLogic->SetParser(FParser.get());
  FParser->SetFuzzyLogic(FLogic.get());
  const std::string Text = ReadTextFile(Path);
  try {
    FParser->Parse(Text, nullptr);
  } catch (const EFzyParseException& E) {
    throw TInputError(Diagnostic(E.Message(), E.LineNumber()));
  } catch (const Exception& E) {
    throw TInputError(Diagnostic(E.Message()));
  }
}

TFuzzyVariable* TDefinitionFile::FindVariable(const std::string& Name) const {
  for (TFuzzyVariable* Candidate : FLogic->Items())
    if (Candidate->Name() == Name) return Candidate;
  return nullptr;
}

TFuzzyVariable& TDefinitionFile::Variable(const std::string& Name) const {
  if (TFuzzyVariable* Found = FindVariable(Name)) return *Found;
  std::string Names;
  for (const TFuzzyVariable* Candidate : FLogic->Items())
    Names += (Names.empty() ? "" : ", ") + Candidate->Name();
  throw TInputError(Diagnostic(
      Concat({"no variable named \"", Name, "\" (the file defines ", Names.empty() ? "none" : Names, ")"})));
}

TFuzzySet& TDefinitionFile::Evaluate(TFuzzyVariable& Variable, const std::string& Expression) const {
  TFuzzySet* Result = nullptr;
  std::string Message;
  try {
    Result = FParser->EvalFuzzyExpression(&Variable, Expression);
  } catch (const Exception& E) {
    Message = E.Message();
  }
  if (!Result) {
    throw TInputError(Concat({"fuzzy: cannot evaluate \"", Expression, "\" over ", Variable.Name(), ": ",
                              Message.empty() ? "no result" : Message}));
  }
  return *Result;
}

std::string TDefinitionFile::Diagnostic(const std::string& Message, int Line) const {
  return Located(FPath, Message, Line);
}

int DefinedTermCount(const TFuzzyVariable& Variable) {
  int Count = 0;
  for (const TFuzzySet* Set : Variable.Items()) Count += Set->Defined() ? 1 : 0;
  return Count;
}

}  // namespace fuzzy::cli
