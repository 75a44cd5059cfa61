#pragma once
// The program's own small argument parser: positional arguments and long options, each option
// either a flag or taking one value ("--at 3" or "--at=3"), some with a one-letter form ("-o").
// "--" ends the options; a lone "-" and words like "-5" or "-.5" are positional.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzy::cli {

// A mistake in the command line: the program exits with status 2 and the message.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TOptionSpec {
  std::string_view Name;  // without the leading "--"
  bool TakesValue = false;
  char Short = 0;  // the one-letter form, 0 for none
};

class TCommandLine {
 public:
  // Raises TUsageError for an unknown option, a value missing or given to a flag.
  TCommandLine(std::span<const std::string> Args, std::span<const TOptionSpec> Options);

  const std::vector<std::string>& Positionals() const { return FPositionals; }
  bool Has(std::string_view Option) const;
  // Every value given to Option, in order.
  std::vector<std::string> Values(std::string_view Option) const;

 private:
  struct TGiven {
    std::string_view Name;
    std::string Value;
  };
  std::vector<std::string> FPositionals;
  std::vector<TGiven> FGiven;
};

// The number that Text spells (as the definition language reads numbers); TUsageError naming
// What otherwise, also for NaN and the infinities.
double ParseNumberArgument(std::string_view What, const std::string& Text);

}  // namespace fuzzy::cli
