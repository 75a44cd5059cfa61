#pragma once
// One subcommand of the program: its name, its help and what it does. The program's table of
// commands is in main.cpp; each command lives in a file of its own.

#include <span>
#include <string_view>

#include "tools/command_line.h"

namespace fuzzy::cli {

struct TCommand {
  std::string_view Name;
  // The arguments, as the program's list of commands shows them after the name.
  std::string_view Arguments;
  // What the command does, in a few words for that list.
  std::string_view Summary;
  // The whole help text ("Usage: ..." and what it does), ending with a line break.
  std::string_view Help;
  // Every option but --help, which each command has.
  std::span<const TOptionSpec> Options;
  // Runs the command and returns the exit status; raises TUsageError or TInputError.
  int (*Run)(const TCommandLine& Arguments);
};

extern const TCommand CheckCommand;
extern const TCommand PrintCommand;
extern const TCommand EvalCommand;
extern const TCommand PlotCommand;
extern const TCommand RunCommand;

}  // namespace fuzzy::cli
