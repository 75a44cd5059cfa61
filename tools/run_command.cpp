// fuzzy run SYSTEM NAME=VALUE... [--explain] [--json]: one inference cycle of a system of variables
// and rules on crisp inputs.

#include "tools/command.h"
#include "tools/output.h"
#include "tools/system_file.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy run SYSTEM NAME=VALUE... [--explain] [--json]\n"
    "\n"
    "Reads the system file (variable definitions and \"(defrules NAME (rule \\\"if ... then ...\\\") ...)\"\n"
    "blocks), gives each input NAME its VALUE, fires the rules and prints every output's crisp value\n"
    "and how it was found, for example\n"
    "  fuzzy run tipping_system.fzs service=3 food=8\n"
    "An input outside its variable's range is held within it (and said so); an output no rule\n"
    "fires is reported as such, with the value NAN.\n"
    "\n"
    "Options:\n"
    "  --explain  also print each input's degree in the terms the rules use, each rule's clause\n"
    "             degrees, strength and conclusions, the rules that did not fire and each output's\n"
    "             accumulated set\n"
    "  --json     print the result (or the explanation) as JSON\n"
    "\n"
    "Exit status: 0 on success, 1 when the file does not read or an input is missing or unknown, 2\n"
    "for a usage error.\n";

constexpr TOptionSpec Options[] = {{"explain", false}, {"json", false}};

int Run(const TCommandLine& Arguments) {
  const std::vector<std::string>& Words = Arguments.Positionals();
  if (Words.empty()) throw TUsageError("run needs a SYSTEM file");
  const TSystemFile File(Words[0]);
  const TFuzzyNamedValues Inputs = File.Inputs({Words.begin() + 1, Words.end()});
  const TFuzzyExplanation Explained = File.Explain(Inputs);
  const bool Json = Arguments.Has("json");
  if (Arguments.Has("explain"))
    WriteOut(Json ? Explained.ToJson() + "\n" : Explained.ToText());
  else
    WriteOut(Json ? Explained.Result.ToJson() + "\n" : Explained.Result.ToText());
  return 0;
}

}  // namespace

const TCommand RunCommand = {"run", "SYSTEM NAME=VALUE...", "the outputs of a system of rules for crisp inputs",
                             Help, Options, &Run};

}  // namespace fuzzy::cli
