#include "tools/output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "fuzzy/runtime/format.h"
#include "tools/definition_file.h"

namespace fuzzy::cli {

void WriteOut(std::string_view Text) { std::fwrite(Text.data(), 1, Text.size(), stdout); }

void WriteDiagnostic(std::string_view Message) {
  std::string Line;
  Line.reserve(Message.size() + 1);
  for (std::size_t I = 0; I < Message.size(); ++I) {
    const char C = Message[I];
    if (C == '\r' && I + 1 < Message.size() && Message[I + 1] == '\n') continue;
    if (C == '\r' || C == '\n' || C == '\t')
      Line += ' ';
    else
      Line += static_cast<unsigned char>(C) < ' ' || C == '\x7f' ? '?' : C;
  }
  Line += '\n';
  std::fwrite(Line.data(), 1, Line.size(), stderr);
}

bool FinishOutput() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  WriteDiagnostic(Concat({"fuzzy: cannot write the output: ", std::strerror(errno)}));
  return false;
}

void WriteFile(const std::string& Path, std::string_view Text) {
  if (Path == "-") return WriteOut(Text);
  const std::string Temporary = Concat({Path, ".", IntToStr(::getpid()), ".tmp"});
  std::FILE* File = std::fopen(Temporary.c_str(), "wb");
  bool Written = File && std::fwrite(Text.data(), 1, Text.size(), File) == Text.size();
  int Error = errno;
  if (File && std::fclose(File) != 0 && Written) {
    Written = false;
    Error = errno;
  }
  std::error_code Renamed;
  if (Written) std::filesystem::rename(Temporary, Path, Renamed);
  if (Written && !Renamed) return;
  if (File) std::remove(Temporary.c_str());
  const std::string Reason = Written ? Renamed.message() : std::strerror(Error);
  throw TInputError(Concat({Path, ": cannot write: ", Reason}));
}

}  // namespace fuzzy::cli
