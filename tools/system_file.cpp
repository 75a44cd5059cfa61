#include "tools/system_file.h"

#include "fuzzy/rules/fuzzy_system_reader.h"
#include "tools/command_line.h"
#include "tools/definition_file.h"

namespace fuzzy::cli {

TSystemFile::TSystemFile(const std::string& Path) : FPath(Path) {
  const std::string Text = ReadTextFile(Path);
  try {
    FSystem = ReadFuzzySystem(Text);
  } catch (const EFzyParseException& E) {
    throw TInputError(Located(Path, E.Message(), E.LineNumber()));
  } catch (const Exception& E) {
    throw TInputError(Located(Path, E.Message()));
  }
  if (FSystem->Inputs().empty() && FSystem->Outputs().empty())
    throw TInputError(Located(Path, "holds no rules (a system file has \"(defrules ...)\" blocks)"));
}

TFuzzyNamedValues TSystemFile::Inputs(const std::vector<std::string>& Assignments) const {
  TFuzzyNamedValues Values;
  for (const std::string& Assignment : Assignments) {
    const std::size_t Equals = Assignment.find('=');
    if (Equals == std::string::npos || Equals == 0)
      throw TUsageError(Concat({"\"", Assignment, "\" is not NAME=VALUE"}));
    const std::string Name = Assignment.substr(0, Equals);
    if (FSystem->InputIndex(Name) < 0) {
      std::string Names;
      for (const TFuzzyVariable* Input : FSystem->Inputs()) Names += (Names.empty() ? "" : ", ") + Input->Name();
      throw TInputError(Located(FPath, Concat({"no input named \"", Name, "\" (the inputs are ", Names, ")"})));
    }
    Values.emplace_back(Name, ParseNumberArgument(Name, Assignment.substr(Equals + 1)));
  }
  return Values;
}

TFuzzyExplanation TSystemFile::Explain(const TFuzzyNamedValues& Values) const {
  try {
    return FSystem->Explain(Values);
  } catch (const Exception& E) {
    throw TInputError(Located(FPath, E.Message()));
  }
}

}  // namespace fuzzy::cli
