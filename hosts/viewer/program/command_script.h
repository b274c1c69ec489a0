// command_script.h - the viewer's command language, read into commands.
//
// A script holds one command a line: the command's name, its arguments and
// a closing ';'. Arguments are bare words (numbers, positions) or texts in
// double quotes, which run to the next double quote and are taken as they
// stand (there is no escape). Blank lines are skipped; '#' outside a quoted
// text starts a comment that runs to the end of the line. Command names are
// matched without regard to case. This is the form the plug-in's
// scriptCommandWrite slot writes:
//
//   	ADDFEATURELAYER "Mist" "valley.fog" ;
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fogviewer {

struct Token {
  std::string text;
  bool quoted = false; // written in double quotes
};

struct Command {
  int line = 0;     // 1 for the first line of the script
  std::string name; // upper case
  std::vector<Token> arguments;
};

struct ScriptError {
  int line = 0;
  std::string message;
};

// Reads a whole script. On the first line that is not a well-formed command
// gives false with the line and what is wrong in `error`; `commands` then
// holds the commands before that line.
bool parseScript(std::string_view text, std::vector<Command> &commands, ScriptError &error);

} // namespace fogviewer
