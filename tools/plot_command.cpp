// fuzzy plot FILE [VARIABLE...] [--expr EXPRESSION]... -o OUT.svg: an SVG picture of variables'
// terms and of sets computed from expressions.

#include <algorithm>

#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"
#include "tools/plot.h"
#include "tools/system_file.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy plot FILE [VARIABLE...] [--expr EXPRESSION]... -o OUT.svg\n"
    "       fuzzy plot SYSTEM [VARIABLE...] --run NAME=VALUE... -o OUT.svg\n"
    "\n"
    "Reads the definition file and draws each VARIABLE (every variable when none is named) in a\n"
    "panel of its own: its range along the X axis, the degree 0..1 up the Y axis, one coloured\n"
    "line per term and a legend. Each expression is evaluated and its set drawn, shaded, over its\n"
    "variable's terms, with its centre of gravity marked:\n"
    "  fuzzy plot tipping.fzl --expr \"tip is very cheap or average\" -o tip.svg\n"
    "An expression is \"VARIABLE is EXPRESSION\"; when one VARIABLE is named, \"EXPRESSION\" alone\n"
    "is over that variable. See \"fuzzy eval --help\" for what an expression holds.\n"
    "\n"
    "With --run, the file is a system of variables and rules (see \"fuzzy run --help\"): the rules\n"
    "fire on the inputs given, and the picture shows each input's value, each fired conclusion and\n"
    "each output's accumulated set with its crisp value marked:\n"
    "  fuzzy plot tipping_system.fzs --run service=3 --run food=8 -o tip.svg\n"
    "\n"
    "Options:\n"
    "  --expr EXPRESSION  also draw the set of EXPRESSION (repeatable)\n"
    "  --run NAME=VALUE   run the system's rules with input NAME at VALUE (repeatable)\n"
    "  -o, --output FILE  where to write the SVG document (\"-\": standard output); required\n"
    "\n"
    "Exit status: 0 on success, 1 when the file does not read, an expression does not evaluate or\n"
    "the output cannot be written (the output file is then left as it was), 2 for a usage error.\n";

constexpr TOptionSpec Options[] = {{"expr", true}, {"output", true, 'o'}, {"run", true}};

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

// The panels of the variables named (Lookup(Name) finds each, or raises), or of all of Logic's
// variables when none is.
class TPanels {
 public:
  template <typename TLookup>
  TPanels(const TFuzzyLogic& Logic, const std::vector<std::string>& Named, TLookup&& Lookup) {
    for (const std::string& Name : Named) Of(&Lookup(Name));
    if (Named.empty())
      for (const TFuzzyVariable* Variable : Logic.Items()) Of(Variable);
  }
  // The panel of Variable, made at the end when there is none yet.
  TPlotPanel& Of(const TFuzzyVariable* Variable) {
    const auto Found = std::find_if(FPanels.begin(), FPanels.end(),
                                    [&](const TPlotPanel& P) { return P.Variable == Variable; });
    return Found != FPanels.end() ? *Found : FPanels.emplace_back(TPlotPanel{Variable, {}});
  }
  // Of(Variable) when Variable has a panel, else nullptr.
  TPlotPanel* Find(const TFuzzyVariable* Variable) {
    const auto Found = std::find_if(FPanels.begin(), FPanels.end(),
                                    [&](const TPlotPanel& P) { return P.Variable == Variable; });
    return Found != FPanels.end() ? &*Found : nullptr;
  }
  const std::vector<TPlotPanel>& All() const { return FPanels; }

 private:
  std::vector<TPlotPanel> FPanels;
};

// A set of Variable (not a defined term, so not drawn as one) with Points.
TFuzzySet& SetOf(TFuzzyVariable& Variable, const TFuzzyPoints& Points) {
  TFuzzySet& Set = *Variable.Items().Add();
  TUpdateBracket Bracket(Set.Values());
  for (const TFuzzyPoint& Point : Points) Set.Values().Add(Point.X, Point.Y);
  return Set;
}

// plot --run: the inputs, the fired conclusions and the accumulated sets of one cycle.
int PlotRun(const std::vector<std::string>& Words, const std::vector<std::string>& Assignments,
            const std::string& Output) {
  const TSystemFile File(Words[0]);
  const TFuzzyLogic& Logic = File.System().Logic();
  TPanels Panels(Logic, {Words.begin() + 1, Words.end()}, [&](const std::string& Name) -> TFuzzyVariable& {
    const int Index = Logic.Items().IndexOf(Name);
    if (Index < 0) throw TInputError(Located(File.Path(), Concat({"no variable named \"", Name, "\""})));
    return *Logic.Items().Items(Index);
  });
  const TFuzzyExplanation Explained = File.Explain(File.Inputs(Assignments));
  auto VariableNamed = [&](const std::string& Name) { return Logic.Items().GetItemByName(Name); };
  for (const TFuzzyInputReport& Input : Explained.Result.Inputs) {
    TFuzzyVariable* Variable = VariableNamed(Input.Name);
    TPlotPanel* Panel = Panels.Find(Variable);
    if (!Panel) continue;
    TFuzzySet& Crisp = *Variable->Items().Add();
    Crisp.CreateCrispValue(Input.Value);
    Panel->Results.push_back({Concat({Input.Name, " = ", FloatToStrF(Input.Value, 4)}), &Crisp, "", Input.Value});
  }
  for (const TFuzzyRuleExplanation& Rule : Explained.Rules)
    for (const TFuzzyConclusionExplanation& Conclusion : Rule.Conclusions) {
      TFuzzyVariable* Variable = VariableNamed(Conclusion.Variable);
      TPlotPanel* Panel = Panels.Find(Variable);
      if (!Panel || !Conclusion.Fired) continue;
      Panel->Results.push_back({Concat({Conclusion.Variable, " is ", Conclusion.Term}), &SetOf(*Variable, Conclusion.Points),
                                "strength " + FloatToStrF(Rule.FiringStrength, 4), std::nan("")});
    }
  for (const TFuzzyOutputExplanation& Out : Explained.Outputs) {
    TFuzzyVariable* Variable = VariableNamed(Out.Output.Name);
    TPlotPanel* Panel = Panels.Find(Variable);
    if (!Panel || !Out.Output.Fired()) continue;
    Panel->Results.push_back({Concat({Out.Output.Name, ": every rule"}), &SetOf(*Variable, Out.Accumulated),
                              Concat({Out.Output.Name, " = ", FloatToStrF(Out.Output.Value, 4), " (",
                                      OutputSourceText(Out.Output.Source), ")"}),
                              Out.Output.Value});
  }
  WriteFile(Output, PlotSvg(Panels.All()));
  return 0;
}

int Run(const TCommandLine& Arguments) {
  const std::vector<std::string>& Words = Arguments.Positionals();
  if (Words.empty()) throw TUsageError("plot needs a FILE");
  const std::vector<std::string> Outputs = Arguments.Values("output");
  if (Outputs.size() != 1) throw TUsageError("plot needs one -o OUT.svg");
  if (Arguments.Has("run")) {
    if (Arguments.Has("expr")) throw TUsageError("plot takes --expr or --run, not both");
    return PlotRun(Words, Arguments.Values("run"), Outputs[0]);
  }
  const std::vector<std::string> Named(Words.begin() + 1, Words.end());

  const TDefinitionFile File(Words[0]);
  TPanels Panels(File.Logic(), Named, [&](const std::string& Name) -> TFuzzyVariable& { return File.Variable(Name); });
  for (const std::string& Text : Arguments.Values("expr")) {
    const TExpression Expression = SplitExpression(File, Text, Named);
    const TFuzzySet& Set = File.Evaluate(*Expression.Variable, Expression.Text);
    Panels.Of(Expression.Variable).Results.push_back(ExpressionResult(Expression.Text, Set));
  }
  if (Panels.All().empty()) throw TInputError(File.Diagnostic("defines no variables to plot"));
  WriteFile(Outputs[0], PlotSvg(Panels.All()));
  return 0;
}

}  // namespace

const TCommand PlotCommand = {
    "plot", "FILE [VARIABLE...] -o OUT.svg", "an SVG picture of the variables' terms", Help, Options, &Run};

}  // namespace fuzzy::cli
