#include "fuzzy/rules/fuzzy_inference.h"

#include <algorithm>

#include "fuzzy/rules/json_writer.h"
#include "fuzzy/runtime/format.h"

namespace fuzzy {

namespace {

constexpr std::string_view SUnknownOutput = "Unknown output: \"%s\"";

std::string Number(TFzyFloat Value) { return FloatToStrF(Value, 4); }

std::string PointsText(const TFuzzyPoints& Points) {
  std::string Text;
  for (const TFuzzyPoint& P : Points)
    Text += (Text.empty() ? "(" : " (") + Number(P.X) + " " + Number(P.Y) + ")";
  return Text;
}

void WritePoints(TJsonWriter& Json, const TFuzzyPoints& Points) {
  Json.BeginArray();
  for (const TFuzzyPoint& P : Points) {
    Json.BeginArray();
    Json.Number(P.X);
    Json.Number(P.Y);
    Json.EndArray();
  }
  Json.EndArray();
}

}  // namespace

std::string_view OutputSourceText(TFuzzyOutputSource Source) {
  switch (Source) {
    case fosCenterOfGravity:
      return "centre of gravity";
    case fosMeanOfMaxima:
      return "mean of maxima";
    case fosNoRuleFired:
      break;
  }
  return "no rule fired";
}

const TFuzzyOutputReport* TFuzzyInference::FindOutput(std::string_view Name) const {
  const auto Found = std::find_if(Outputs.begin(), Outputs.end(),
                                  [Name](const TFuzzyOutputReport& O) { return O.Name == Name; });
  return Found == Outputs.end() ? nullptr : &*Found;
}

TFzyFloat TFuzzyInference::Output(std::string_view Name) const {
  const TFuzzyOutputReport* Report = FindOutput(Name);
  if (!Report) throw EFzyException(SUnknownOutput, {Name});
  return Report->Value;
}

bool TFuzzyRuleExplanation::Fired() const {
  return std::any_of(Conclusions.begin(), Conclusions.end(), [](const auto& C) { return C.Fired; });
}

namespace {

std::string InputLine(const TFuzzyInputReport& Input) {
  std::string Text = Input.Name + " = " + Number(Input.Value);
  if (Input.Clamped()) Text += " (given " + Number(Input.Given) + ", held within its range)";
  return Text;
}

std::string OutputLine(const TFuzzyOutputReport& Output) {
  return Output.Name + " = " + Number(Output.Value) + " (" + std::string(OutputSourceText(Output.Source)) + ")";
}

// The members of an input's (output's) JSON object that the result and the explanation share.
void WriteInput(TJsonWriter& Json, const TFuzzyInputReport& Input) {
  Json.Key("name");
  Json.String(Input.Name);
  Json.Key("given");
  Json.Number(Input.Given);
  Json.Key("value");
  Json.Number(Input.Value);
  Json.Key("clamped");
  Json.Bool(Input.Clamped());
}

void WriteOutput(TJsonWriter& Json, const TFuzzyOutputReport& Output) {
  Json.Key("name");
  Json.String(Output.Name);
  Json.Key("value");
  Json.Number(Output.Value);
  Json.Key("method");
  Json.String(OutputSourceText(Output.Source));
  Json.Key("fired");
  Json.Bool(Output.Fired());
}

}  // namespace

std::string TFuzzyInference::ToText() const {
  std::string Text;
  for (const TFuzzyInputReport& Input : Inputs) Text += InputLine(Input) + "\n";
  for (const TFuzzyOutputReport& Output : Outputs) Text += OutputLine(Output) + "\n";
  return Text;
}

std::string TFuzzyInference::ToJson() const {
  TJsonWriter Json;
  Json.BeginObject();
  Json.Key("inputs");
  Json.BeginArray();
  for (const TFuzzyInputReport& Input : Inputs) {
    Json.BeginObject();
    WriteInput(Json, Input);
    Json.EndObject();
  }
  Json.EndArray();
  Json.Key("outputs");
  Json.BeginArray();
  for (const TFuzzyOutputReport& Output : Outputs) {
    Json.BeginObject();
    WriteOutput(Json, Output);
    Json.EndObject();
  }
  Json.EndArray();
  Json.EndObject();
  return Json.Text();
}

std::string TFuzzyExplanation::ToText() const {
  std::string Text = "inputs\n";
  for (const TFuzzyInputExplanation& In : Inputs) {
    Text += "  " + InputLine(In.Input) + "\n";
    for (const TFuzzyTermDegree& D : In.Degrees) Text += "    " + D.Term + " " + Number(D.Degree) + "\n";
  }
  Text += "rules\n";
  for (const TFuzzyRuleExplanation& Rule : Rules) {
    Text += "  " + Rule.Block + " " + std::to_string(Rule.Number) + ": " + Rule.Text + "\n";
    for (const TFuzzyClauseExplanation& C : Rule.Clauses)
      Text += "    " + C.Variable + " is " + C.Term + ": " + Number(C.Degree) + "\n";
    Text += "    strength " + Number(Rule.Strength);
    if (Rule.Weight != 1)
      Text += ", weight " + Number(Rule.Weight) + ", firing " + Number(Rule.FiringStrength);
    Text += "\n";
    for (const TFuzzyConclusionExplanation& C : Rule.Conclusions)
      Text += "    " + C.Variable + " is " + C.Term +
              (C.Fired ? ": " + PointsText(C.Points) : std::string(": below the threshold")) + "\n";
  }
  Text += "not fired\n";
  bool AllFired = true;
  for (const TFuzzyRuleExplanation& Rule : Rules)
    if (!Rule.Fired()) {
      Text += "  " + Rule.Block + " " + std::to_string(Rule.Number) + ": " + Rule.Text + "\n";
      AllFired = false;
    }
  if (AllFired) Text += "  (none)\n";
  Text += "outputs\n";
  for (const TFuzzyOutputExplanation& Out : Outputs) {
    Text += "  " + OutputLine(Out.Output) + "\n";
    if (!Out.Accumulated.empty()) Text += "    " + PointsText(Out.Accumulated) + "\n";
  }
  return Text;
}

std::string TFuzzyExplanation::ToJson() const {
  TJsonWriter Json;
  Json.BeginObject();
  Json.Key("inputs");
  Json.BeginArray();
  for (const TFuzzyInputExplanation& In : Inputs) {
    Json.BeginObject();
    WriteInput(Json, In.Input);
    Json.Key("degrees");
    Json.BeginObject();
    for (const TFuzzyTermDegree& D : In.Degrees) {
      Json.Key(D.Term);
      Json.Number(D.Degree);
    }
    Json.EndObject();
    Json.EndObject();
  }
  Json.EndArray();
  Json.Key("rules");
  Json.BeginArray();
  for (const TFuzzyRuleExplanation& Rule : Rules) {
    Json.BeginObject();
    Json.Key("block");
    Json.String(Rule.Block);
    Json.Key("number");
    Json.Number(Rule.Number);
    Json.Key("text");
    Json.String(Rule.Text);
    Json.Key("clauses");
    Json.BeginArray();
    for (const TFuzzyClauseExplanation& C : Rule.Clauses) {
      Json.BeginObject();
      Json.Key("variable");
      Json.String(C.Variable);
      Json.Key("term");
      Json.String(C.Term);
      Json.Key("degree");
      Json.Number(C.Degree);
      Json.EndObject();
    }
    Json.EndArray();
    Json.Key("strength");
    Json.Number(Rule.Strength);
    Json.Key("weight");
    Json.Number(Rule.Weight);
    Json.Key("firing_strength");
    Json.Number(Rule.FiringStrength);
    Json.Key("fired");
    Json.Bool(Rule.Fired());
    Json.Key("conclusions");
    Json.BeginArray();
    for (const TFuzzyConclusionExplanation& C : Rule.Conclusions) {
      Json.BeginObject();
      Json.Key("variable");
      Json.String(C.Variable);
      Json.Key("term");
      Json.String(C.Term);
      Json.Key("fired");
      Json.Bool(C.Fired);
      Json.Key("points");
      WritePoints(Json, C.Points);
      Json.EndObject();
    }
    Json.EndArray();
    Json.EndObject();
  }
  Json.EndArray();
  Json.Key("outputs");
  Json.BeginArray();
  for (const TFuzzyOutputExplanation& Out : Outputs) {
    Json.BeginObject();
    WriteOutput(Json, Out.Output);
    Json.Key("accumulated");
    WritePoints(Json, Out.Accumulated);
    Json.EndObject();
  }
  Json.EndArray();
  Json.EndObject();
  return Json.Text();
}

}  // namespace fuzzy
