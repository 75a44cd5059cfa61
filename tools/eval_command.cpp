// fuzzy eval FILE VARIABLE EXPRESSION [--at X]... [--json]: the set an expression gives over a
// variable's terms, its crisp values and its degrees at chosen places.

#include "fuzzy/rules/json_writer.h"
#include "fuzzy/runtime/format.h"
#include "tools/command.h"
#include "tools/definition_file.h"
#include "tools/output.h"

namespace fuzzy::cli {

namespace {

constexpr std::string_view Help =
    "Usage: fuzzy eval FILE VARIABLE EXPRESSION [--at X]... [--json]\n"
    "\n"
    "Reads the definition file and evaluates EXPRESSION over the terms of VARIABLE, for example\n"
    "  fuzzy eval tipping.fzl tip \"very cheap or average\" --at 7.5\n"
    "Words after VARIABLE are joined with spaces into the expression. Prints the points of the\n"
    "resulting set, its centre of gravity and mean of maxima, and its degree at each X given.\n"
    "\n"
    "An expression is made of term names, hedges (very, somewhat, not, ...), connectives (and, or,\n"
    "and-product, or-sum, ...), [brackets], numbers (a crisp set), sets of points ((X Y) ...),\n"
    "function calls such as (tri 0 5 10), and hedge operators that change the degree of each point\n"
    "by a number (+ - * / ^ < <= > >=: \"cheap * 0.5\" halves them). \"cheap and ((0 0.4))\" cuts\n"
    "cheap at 0.4: ((0 0.4)) is a set of one point, of degree 0.4 everywhere.\n"
    "\n"
    "Options:\n"
    "  --at X    also print the set's degree of membership at X (repeatable)\n"
    "  --json    print the result as JSON\n"
    "\n"
    "Exit status: 0 on success, 1 when the file does not read or the expression does not evaluate,\n"
    "2 for a usage error.\n";

constexpr TOptionSpec Options[] = {{"at", true}, {"json", false}};

std::string Number(double Value) { return FloatToStrF(Value, 4); }

std::string AsText(const std::string& Variable, const std::string& Expression, const TFuzzySet& Set,
                   const std::vector<double>& Places) {
  std::string Text = Concat({Variable, " is ", Expression, "\npoints:\n"});
  for (const TFuzzySetValue* Point : Set.Values())
    Text += Concat({"  ", Number(Point->X()), " ", Number(Point->Y()), "\n"});
  Text += Concat({"centre of gravity: ", Number(Set.CenterOfGravity()), "\n"});
  Text += Concat({"mean of maxima: ", Number(Set.MeanOfMaxima()), "\n"});
  for (const double X : Places)
    Text += Concat({"degree at ", Number(X), ": ", Number(Set.DegreeOfMembership(X)), "\n"});
  return Text;
}

std::string AsJson(const std::string& Variable, const std::string& Expression, const TFuzzySet& Set,
                   const std::vector<double>& Places) {
  TJsonWriter Json;
  Json.BeginObject();
  Json.Key("variable");
  Json.String(Variable);
  Json.Key("expression");
  Json.String(Expression);
  Json.Key("points");
  Json.BeginArray();
  for (const TFuzzySetValue* Point : Set.Values()) {
    Json.BeginArray();
    Json.Number(Point->X());
    Json.Number(Point->Y());
    Json.EndArray();
  }
  Json.EndArray();
  Json.Key("centre_of_gravity");
  Json.Number(Set.CenterOfGravity());
  Json.Key("mean_of_maxima");
  Json.Number(Set.MeanOfMaxima());
  Json.Key("degrees");
  Json.BeginArray();
  for (const double X : Places) {
    Json.BeginObject();
    Json.Key("x");
    Json.Number(X);
    Json.Key("degree");
    Json.Number(Set.DegreeOfMembership(X));
    Json.EndObject();
  }
  Json.EndArray();
  Json.EndObject();
  return Json.Text() + "\n";
}

int Run(const TCommandLine& Arguments) {
  const std::vector<std::string>& Words = Arguments.Positionals();
  if (Words.size() < 3) throw TUsageError("eval needs FILE, VARIABLE and EXPRESSION");
  std::vector<double> Places;
  for (const std::string& Place : Arguments.Values("at"))
    Places.push_back(ParseNumberArgument("--at", Place));
  std::string Expression = Words[2];
  for (std::size_t I = 3; I < Words.size(); ++I) Expression += " " + Words[I];

  const TDefinitionFile File(Words[0]);
  TFuzzyVariable& Variable = File.Variable(Words[1]);
  const TFuzzySet& Result = File.Evaluate(Variable, Expression);
  WriteOut(Arguments.Has("json") ? AsJson(Variable.Name(), Expression, Result, Places)
                                 : AsText(Variable.Name(), Expression, Result, Places));
  return 0;
}

}  // namespace

const TCommand EvalCommand = {
    "eval", "FILE VARIABLE EXPRESSION", "the set an expression gives, its crisp values", Help, Options, &Run};

}  // namespace fuzzy::cli
