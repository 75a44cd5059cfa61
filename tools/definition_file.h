#pragma once
// Definition files: read from disk as text and into a logic component of the class model.
//
// A file is read whole into memory. Text is UTF-8, with or without a byte order mark, or UTF-16
// with one; a file holding a NUL byte in any other encoding is refused as binary data, and so is
// anything but a regular file or a pipe, and a file larger than MaxFileSize. (The variables and
// terms of a file take some 20 to 50 times its size, so the limit keeps a stray file from taking
// the machine's memory.)

#include <stdexcept>
#include <string>

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy::cli {

// A file that cannot be read, or definitions that are wrong: the program exits with status 1. The
// message names the file ("FILE: ..." or, for a parse error, "FILE:LINE: ...").
class TInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;

// The text of the file at Path as UTF-8; TInputError when it cannot be read or is not text.
std::string ReadTextFile(const std::string& Path);
// "PATH: message" or, with a line, "PATH:LINE: message": the form of every error about a file.
std::string Located(const std::string& Path, const std::string& Message, int Line = 0);

// The definitions of one file. Variables hold exactly the terms the file gives them (no
// automatic terms).
class TDefinitionFile {
 public:
  // Reads and parses Path; TInputError when that fails, so that nothing partly read is used.
  explicit TDefinitionFile(const std::string& Path);

  const std::string& Path() const { return FPath; }
  TFuzzyLogic& Logic() const { return *FLogic; }
  TAQFuzzyLogicParser& Parser() const { return *FParser; }
  // The variable named Name; TInputError naming the file's variables when there is none.
  TFuzzyVariable& Variable(const std::string& Name) const;
  // The variable named Name, or nullptr.
  TFuzzyVariable* FindVariable(const std::string& Name) const;
  // The set Expression gives over Variable's terms; it belongs to Variable (not a defined term).
  // TInputError with the parser's message when the expression is wrong.
  TFuzzySet& Evaluate(TFuzzyVariable& Variable, const std::string& Expression) const;
  // "FILE: message" or "FILE:LINE: message", the form of every error about the file.
  std::string Diagnostic(const std::string& Message, int Line = 0) const;

 private:
  std::string FPath;
  TOwned<TFuzzyLogic> FLogic;
  TOwned<TAQFuzzyLogicParser> FParser;
};

// Only the defined terms of Variable count (sets made while evaluating expressions do not).
int DefinedTermCount(const TFuzzyVariable& Variable);

}  // namespace fuzzy::cli
