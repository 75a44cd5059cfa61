// fuzzy check FILE...: reads each file and reports its first error, or what it defines.

#include "fuzzy/runtime/format.h"
#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy check FILE...\n"
    "\n"
    "Reads each definition file. For a file that reads whole, prints one line on standard output:\n"
    "  FILE: 3 variables, 8 terms\n"
    "For a file that does not, prints its error on standard error, with the line where the reading\n"
    "stopped when the error is one of the language (a shape with impossible arguments, say, has no\n"
    "line):\n"
    "  FILE:LINE: message\n"
    "\n"
    "Exit status: 0 when every file reads, 1 when any does not, 2 for a usage error.\n";

std::string Plural(int Count, std::string_view Word) {
  return Concat({IntToStr(Count), " ", Word, Count == 1 ? "" : "s"});
}

int Run(const TCommandLine& Arguments) {
  if (Arguments.Positionals().empty()) throw TUsageError("check needs at least one FILE");
  int Status = 0;
  for (const std::string& Path : Arguments.Positionals()) {
    try {
      const TDefinitionFile File(Path);
      int Terms = 0;
      for (const TFuzzyVariable* Variable : File.Logic().Items()) Terms += DefinedTermCount(*Variable);
      WriteOut(Concat(
          {Path, ": ", Plural(File.Logic().Items().Count(), "variable"), ", ", Plural(Terms, "term"), "\n"}));
    } catch (const TInputError& E) {
      WriteDiagnostic(E.what());
      Status = 1;
    }
  }
  return Status;
}

}  // namespace

const TCommand CheckCommand = {"check", "FILE...", "read each file: its first error, or what it defines",
                               Help,    {},        &Run};

}  // namespace fuzzy::cli
