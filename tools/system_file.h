#pragma once
// System files: variable definitions and rule blocks ("(defrules NAME (rule "if ... then ...")
// ...)"), read from disk into a fuzzy system, the way definition files are read (see
// definition_file.h for the encodings and the size limit).

#include <string>

#include "fuzzy/rules/fuzzy_system.h"

namespace fuzzy::cli {

class TSystemFile {
 public:
  // Reads Path; TInputError "FILE:LINE: message" when it does not read.
  explicit TSystemFile(const std::string& Path);

  const std::string& Path() const { return FPath; }
  TFuzzySystem& System() const { return *FSystem; }
  // The values of NAME=VALUE arguments for the system's inputs, by name; TUsageError for an
  // argument of another form, TInputError naming the inputs for a name that is none of them.
  TFuzzyNamedValues Inputs(const std::vector<std::string>& Assignments) const;
  // One cycle on Values; TInputError with the library's message when it cannot run (an input
  // missing).
  TFuzzyExplanation Explain(const TFuzzyNamedValues& Values) const;

 private:
  std::string FPath;
  TOwned<TFuzzySystem> FSystem;
};

}  // namespace fuzzy::cli
