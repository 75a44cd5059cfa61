#include "tools/command_line.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "fuzzy/runtime/format.h"

namespace fuzzy::cli {

namespace {

bool LooksLikeNumber(std::string_view Arg) {
  return Arg.size() > 1 && (std::isdigit(static_cast<unsigned char>(Arg[1])) || Arg[1] == '.');
}

const TOptionSpec* Find(std::span<const TOptionSpec> Options, std::string_view Name, char Short) {
  const auto Match = [&](const TOptionSpec& Option) { return Short ? Option.Short == Short : Option.Name == Name; };
  const auto It = std::find_if(Options.begin(), Options.end(), Match);
  return It == Options.end() ? nullptr : &*It;
}

}  // namespace

TCommandLine::TCommandLine(std::span<const std::string> Args, std::span<const TOptionSpec> Options) {
  bool OptionsEnded = false;
  for (std::size_t I = 0; I < Args.size(); ++I) {
    const std::string& Arg = Args[I];
    if (OptionsEnded || Arg.size() < 2 || Arg[0] != '-' || LooksLikeNumber(Arg)) {
      FPositionals.push_back(Arg);
      continue;
    }
    if (Arg == "--") {
      OptionsEnded = true;
      continue;
    }
    const bool Long = Arg[1] == '-';
    if (!Long && Arg.size() != 2) throw TUsageError("unknown option " + Arg);
    std::string_view Name = Long ? std::string_view(Arg).substr(2) : std::string_view(Arg).substr(1);
    std::string Value;
    bool HasValue = false;
    if (const std::size_t Equals = Name.find('='); Long && Equals != std::string_view::npos) {
      Value = Name.substr(Equals + 1);
      Name = Name.substr(0, Equals);
      HasValue = true;
    }
    const TOptionSpec* Option = Find(Options, Name, Long ? 0 : Name[0]);
    if (!Option) throw TUsageError("unknown option " + Arg);
    if (!Option->TakesValue && HasValue) throw TUsageError("--" + std::string(Option->Name) + " takes no value");
    if (Option->TakesValue && !HasValue) {
      if (I + 1 == Args.size()) throw TUsageError(Arg + " needs a value");
      Value = Args[++I];
    }
    FGiven.push_back({Option->Name, std::move(Value)});
  }
}

bool TCommandLine::Has(std::string_view Option) const {
  return std::any_of(FGiven.begin(), FGiven.end(), [&](const TGiven& Given) { return Given.Name == Option; });
}

std::vector<std::string> TCommandLine::Values(std::string_view Option) const {
  std::vector<std::string> Result;
  for (const TGiven& Given : FGiven)
    if (Given.Name == Option) Result.push_back(Given.Value);
  return Result;
}

double ParseNumberArgument(std::string_view What, const std::string& Text) {
  double Value = 0;
  if (!TryStrToFloat(Text, Value) || !std::isfinite(Value))
    throw TUsageError(std::string(What) + ": not a number: \"" + Text + "\"");
  return Value;
}

}  // namespace fuzzy::cli
