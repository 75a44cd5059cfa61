#pragma once
// Where the program writes: results to standard output, diagnostics to standard error, files
// whole or not at all.

#include <string>
#include <string_view>

namespace fuzzy::cli {

void WriteOut(std::string_view Text);
// Message on one line of standard error: each line break in it becomes a space and each other
// control character a "?", so that a quoted piece of a file cannot break the line or drive the
// terminal.
void WriteDiagnostic(std::string_view Message);
// Flushes standard output; when anything written to it was lost (a full disk, a closed pipe),
// reports that and returns false, so that the program does not report success.
bool FinishOutput();
// Writes Text to the file at Path through a temporary file beside it, so that Path holds either
// its old contents or all of Text; "-" is standard output. TInputError when that fails.
void WriteFile(const std::string& Path, std::string_view Text);

}  // namespace fuzzy::cli
