// fuzzy: checks, prints, evaluates and plots definition files of the fuzzylingo library.
//
// Results go to standard output, diagnostics to standard error. Exit status: 0 success, 1 an input
// that cannot be read or evaluated, 2 a mistake in the command line.

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "fuzzy/runtime/exception.h"
#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"

namespace fuzzy::cli {

namespace {

const TCommand* const Commands[] = {&CheckCommand, &PrintCommand, &EvalCommand, &PlotCommand, &RunCommand};

std::string ProgramHelp() {
  std::string Text =
      Concat({"Usage: fuzzy COMMAND [ARGUMENTS]\n"
              "\n"
              "Reads definition files of linguistic variables and their fuzzy terms, written in the\n"
              "fuzzylingo definition language, and checks, prints, evaluates and plots them; runs systems of\n"
              "such variables and rules (\"fuzzy run --help\"). A file is text\n"
              "in UTF-8, or in UTF-16 with a byte order mark, of at most ",
              IntToStr(MaxFileSize >> 20),
              " MiB; its variables hold exactly\n"
              "the terms it gives them.\n"
              "\n"
              "Commands:\n"});
  std::size_t Width = 0;
  for (const TCommand* Command : Commands)
    Width = std::max(Width, Command->Name.size() + 1 + Command->Arguments.size());
  for (const TCommand* Command : Commands) {
    const std::size_t Length = Command->Name.size() + 1 + Command->Arguments.size();
    Text += Concat({"  ", Command->Name, " ", Command->Arguments, std::string(Width - Length + 2, ' '),
                    Command->Summary, "\n"});
  }
  return Text +
         "\n"
         "Options:\n"
         "  --help     this text; \"fuzzy COMMAND --help\" describes a command\n"
         "  --version  the version\n"
         "\n"
         "Exit status: 0 on success, 1 when an input cannot be read or evaluated, 2 for a usage error.\n";
}

const TCommand* FindCommand(std::string_view Name) {
  for (const TCommand* Command : Commands)
    if (Command->Name == Name) return Command;
  return nullptr;
}

// --help (or -h) before any "--".
bool AsksForHelp(const std::vector<std::string>& Args) {
  for (const std::string& Arg : Args) {
    if (Arg == "--") return false;
    if (Arg == "--help" || Arg == "-h") return true;
  }
  return false;
}

int Usage(std::string_view Message, std::string_view Command) {
  const std::string Help = Command.empty() ? "fuzzy --help" : Concat({"fuzzy ", Command, " --help"});
  WriteDiagnostic(Concat({"fuzzy: ", Message}));
  WriteDiagnostic(Concat({"Try '", Help, "'."}));
  return 2;
}

int Run(const std::vector<std::string>& Args) {
  if (Args.empty()) return Usage("missing COMMAND", "");
  const std::string& Name = Args[0];
  if (Name == "--help" || Name == "-h") {
    WriteOut(ProgramHelp());
    return 0;
  }
  if (Name == "--version") {
    WriteOut("fuzzy " FUZZY_VERSION "\n");
    return 0;
  }
  const TCommand* Command = FindCommand(Name);
  if (!Command) return Usage(Concat({"unknown command \"", Name, "\""}), "");
  const std::vector<std::string> Rest(Args.begin() + 1, Args.end());
  if (AsksForHelp(Rest)) {
    WriteOut(Command->Help);
    return 0;
  }
  try {
    return Command->Run(TCommandLine(Rest, Command->Options));
  } catch (const TUsageError& E) {
    return Usage(E.what(), Command->Name);
  }
}

}  // namespace

}  // namespace fuzzy::cli

int main(int argc, char** argv) {
  using namespace fuzzy::cli;
  int Status;
  try {
    Status = Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const TInputError& E) {
    WriteDiagnostic(E.what());
    Status = 1;
  } catch (const fuzzy::Exception& E) {
    WriteDiagnostic(fuzzy::Concat({"fuzzy: ", E.Message()}));
    Status = 1;
  } catch (const std::bad_alloc&) {
    WriteDiagnostic("fuzzy: out of memory");
    Status = 1;
  } catch (const std::exception& E) {
    WriteDiagnostic(fuzzy::Concat({"fuzzy: ", E.what()}));
    Status = 1;
  }
  return FinishOutput() ? Status : 1;
}
