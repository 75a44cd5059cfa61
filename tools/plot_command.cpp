// fuzzy plot FILE [VARIABLE...] [--expr EXPRESSION]... -o OUT.svg: an SVG picture of variables'
// terms and of sets computed from expressions.

#include <algorithm>

#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"
#include "tools/plot.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy plot FILE [VARIABLE...] [--expr EXPRESSION]... -o OUT.svg\n"
    "\n"
    "Reads the definition file and draws each VARIABLE (every variable when none is named) in a\n"
    "panel of its own: its range along the X axis, the degree 0..1 up the Y axis, one coloured\n"
    "line per term and a legend. Each expression is evaluated and its set drawn, shaded, over its\n"
    "variable's terms, with its centre of gravity marked:\n"
    "  fuzzy plot tipping.fzl --expr \"tip is very cheap or average\" -o tip.svg\n"
    "An expression is \"VARIABLE is EXPRESSION\"; when one VARIABLE is named, \"EXPRESSION\" alone\n"
    "is over that variable. See \"fuzzy eval --help\" for what an expression holds.\n"
    "\n"
    "Options:\n"
    "  --expr EXPRESSION  also draw the set of EXPRESSION (repeatable)\n"
    "  -o, --output FILE  where to write the SVG document (\"-\": standard output); required\n"
    "\n"
    "Exit status: 0 on success, 1 when the file does not read, an expression does not evaluate or\n"
    "the output cannot be written (the output file is then left as it was), 2 for a usage error.\n";

constexpr TOptionSpec Options[] = {{"expr", true}, {"output", true, 'o'}};

struct TExpression {
  TFuzzyVariable* Variable;
  std::string Text;
};

// "VARIABLE is EXPRESSION", or EXPRESSION over the one variable named on the command line.
TExpression SplitExpression(const TDefinitionFile& File, const std::string& Text,
                            const std::vector<std::string>& Named) {
  const std::size_t Space = Text.find(' ');
  if (Space != std::string::npos && Text.compare(Space, 4, " is ") == 0)
    if (TFuzzyVariable* Variable = File.FindVariable(Text.substr(0, Space)))
      return {Variable, Text.substr(Space + 4)};
  if (Named.size() != 1)
    throw TUsageError(Concat({"--expr \"", Text, "\": say which variable, as \"VARIABLE is ", Text, "\""}));
  return {&File.Variable(Named[0]), Text};
}

int Run(const TCommandLine& Arguments) {
  const std::vector<std::string>& Words = Arguments.Positionals();
  if (Words.empty()) throw TUsageError("plot needs a FILE");
  const std::vector<std::string> Outputs = Arguments.Values("output");
  if (Outputs.size() != 1) throw TUsageError("plot needs one -o OUT.svg");
  const std::vector<std::string> Named(Words.begin() + 1, Words.end());

  const TDefinitionFile File(Words[0]);
  std::vector<TPlotPanel> Panels;
  const auto PanelOf = [&Panels](const TFuzzyVariable* Variable) -> TPlotPanel& {
    const auto Found = std::find_if(Panels.begin(), Panels.end(),
                                    [&](const TPlotPanel& P) { return P.Variable == Variable; });
    return Found != Panels.end() ? *Found : Panels.emplace_back(TPlotPanel{Variable, {}});
  };
  for (const std::string& Name : Named) PanelOf(&File.Variable(Name));
  if (Named.empty())
    for (const TFuzzyVariable* Variable : File.Logic().Items()) PanelOf(Variable);
  for (const std::string& Text : Arguments.Values("expr")) {
    const TExpression Expression = SplitExpression(File, Text, Named);
    const TFuzzySet& Set = File.Evaluate(*Expression.Variable, Expression.Text);
    PanelOf(Expression.Variable).Results.push_back({Expression.Text, &Set});
  }
  if (Panels.empty()) throw TInputError(File.Diagnostic("defines no variables to plot"));
  WriteFile(Outputs[0], PlotSvg(Panels));
  return 0;
}

}  // namespace

const TCommand PlotCommand = {
    "plot", "FILE [VARIABLE...] -o OUT.svg", "an SVG picture of the variables' terms", Help, Options, &Run};

}  // namespace fuzzy::cli
