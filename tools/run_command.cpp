// fuzzy run SYSTEM NAME=VALUE... [--explain] [--json]: one inference cycle of a system of variables
// and rules on crisp inputs.

#include "fuzzy/rules/json_writer.h"
#include "fuzzy/runtime/format.h"
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

std::string Number(double Value) { return FloatToStrF(Value, 4); }

std::string AsText(const TFuzzyInference& Result) {
  std::string Text;
  for (const TFuzzyInputReport& Input : Result.Inputs) {
    Text += Concat({Input.Name, " = ", Number(Input.Value)});
    if (Input.Clamped()) Text += Concat({" (given ", Number(Input.Given), ", held within its range)"});
    Text += "\n";
  }
  for (const TFuzzyOutputReport& Output : Result.Outputs)
    Text += Concat({Output.Name, " = ", Number(Output.Value), " (", OutputSourceText(Output.Source), ")\n"});
  return Text;
}

std::string AsJson(const TFuzzyInference& Result) {
  TJsonWriter Json;
  Json.BeginObject();
  Json.Key("inputs");
  Json.BeginArray();
  for (const TFuzzyInputReport& Input : Result.Inputs) {
    Json.BeginObject();
    Json.Key("name");
    Json.String(Input.Name);
    Json.Key("given");
    Json.Number(Input.Given);
    Json.Key("value");
    Json.Number(Input.Value);
    Json.EndObject();
  }
  Json.EndArray();
  Json.Key("outputs");
  Json.BeginArray();
  for (const TFuzzyOutputReport& Output : Result.Outputs) {
    Json.BeginObject();
    Json.Key("name");
    Json.String(Output.Name);
    Json.Key("value");
    Json.Number(Output.Value);
    Json.Key("source");
    Json.String(std::string(OutputSourceText(Output.Source)));
    Json.EndObject();
  }
  Json.EndArray();
  Json.EndObject();
  return Json.Text() + "\n";
}

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
    WriteOut(Json ? AsJson(Explained.Result) : AsText(Explained.Result));
  return 0;
}

}  // namespace

const TCommand RunCommand = {"run", "SYSTEM NAME=VALUE...", "the outputs of a system of rules for crisp inputs",
                             Help, Options, &Run};

}  // namespace fuzzy::cli
