// fuzzy print FILE: the definitions of a file in their canonical written form.

#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy print FILE\n"
    "\n"
    "Reads the definition file and prints its definitions as the library writes them: one\n"
    "definition per variable, numbers with four decimals, comments dropped. Printing the output\n"
    "again gives the same text.\n"
    "\n"
    "Exit status: 0 on success, 1 when the file does not read (nothing is printed), 2 for a usage\n"
    "error.\n";

int Run(const TCommandLine& Arguments) {
  if (Arguments.Positionals().size() != 1) throw TUsageError("print needs exactly one FILE");
  const TDefinitionFile File(Arguments.Positionals()[0]);
  std::string Text;
  for (const TFuzzyVariable* Variable : File.Logic().Items())
    Text += File.Parser().PrettyPrint(Variable) + "\n";
  WriteOut(Text);
  return 0;
}

}  // namespace

const TCommand PrintCommand = {"print", "FILE", "the definitions in their canonical written form",
                               Help,    {},     &Run};

}  // namespace fuzzy::cli
