// command_script.cpp - splits a command script into lines and each line into
// a command name, its arguments and the closing ';', with a precise message
// for the first line that does not read.
#include "command_script.h"

#include <cctype>
#include <optional>

namespace fogviewer {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// Characters that end a bare word.
bool endsWord(char c) {
  return isBlank(c) || c == '"' || c == ';' || c == '#';
}

std::string upperCase(std::string text) {
  for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A control character (other than a tab) in a command is refused: it would
// be written back into files unseen, and a NUL would cut a name short.
std::optional<std::string> controlCharacterIn(std::string_view line) {
  for (char c : line) {
    const auto code = static_cast<unsigned char>(c);
    if ((code < 0x20 && c != '\t') || code == 0x7f)
      return "control character (code " + std::to_string(code) + ") in the line";
  }
  return std::nullopt;
}

// Reads one line. Returns false with `message` set when the line is not a
// command; a blank or comment line gives true with an empty `command.name`.
bool parseLine(std::string_view line, Command &command, std::string &message) {
  if (auto bad = controlCharacterIn(line)) {
    message = *bad;
    return false;
  }
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < line.size() && isBlank(line[i])) ++i;
  };
  skipBlanks();
  if (i == line.size() || line[i] == '#') return true;

  std::vector<Token> tokens;
  for (;;) {
    skipBlanks();
    if (i == line.size()) {
      message = "missing ';' at the end of the command";
      return false;
    }
    const char c = line[i];
    if (c == ';') {
      ++i;
      skipBlanks();
      if (i < line.size() && line[i] != '#') {
        message = "text after the ';' that ends the command";
        return false;
      }
      break;
    }
    if (c == '#') {
      message = "missing ';' before the comment";
      return false;
    }
    Token token;
    if (c == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        message = "unterminated text: no closing '\"'";
        return false;
      }
      token.text = std::string(line.substr(i + 1, close - i - 1));
      token.quoted = true;
      i = close + 1;
    } else {
      const std::size_t start = i;
      while (i < line.size() && !endsWord(line[i])) ++i;
      token.text = std::string(line.substr(start, i - start));
    }
    // Two arguments must be apart: "a"b or b"a" is a typing error, not two
    // arguments.
    if (i < line.size() && !isBlank(line[i]) && line[i] != ';') {
      message =
          "expected a blank or ';' after " + (token.quoted ? "\"" + token.text + "\"" : token.text);
      return false;
    }
    tokens.push_back(std::move(token));
  }
  if (tokens.empty()) {
    message = "a ';' without a command";
    return false;
  }
  if (tokens.front().quoted) {
    message = "a command starts with its name, not with a quoted text";
    return false;
  }
  command.name = upperCase(tokens.front().text);
  command.arguments.assign(std::make_move_iterator(tokens.begin() + 1),
                           std::make_move_iterator(tokens.end()));
  return true;
}

} // namespace

bool parseScript(std::string_view text, std::vector<Command> &commands, ScriptError &error) {
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    Command command;
    command.line = lineNumber;
    std::string message;
    if (!parseLine(line, command, message)) {
      error = ScriptError{lineNumber, std::move(message)};
      return false;
    }
    if (!command.name.empty()) commands.push_back(std::move(command));
    start = end + 1;
  }
  return true;
}

} // namespace fogviewer
