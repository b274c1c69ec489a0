// ui_script_parser.cpp - uik_ParseVa: reads a UI script (frames with fields
// and buttons, menus and popups with items; the language is described in
// ui_control.h) into a part tree the toolkit keeps. A script that does not
// parse gives no parts at all and an error report naming the file, the line
// and what was expected there.
#include <charconv>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "error_report.h"
#include "ui_parts.h"
#include "ui_script_lexer.h"

namespace {

using viewerhost::ui::Token;
using FunctionTable = std::map<std::string, ScriptFunction>;

// Thrown inside the parser only; uik_ParseVa turns it into the report.
struct ParseError {
  std::string message;
};

// The argument kind of a ScriptFunctionEntry table after the error report.
constexpr int kFunctionTableArgument = 1;

class Parser {
 public:
  Parser(std::string fileName, std::vector<Token> tokens, const FunctionTable &functions,
         UikScript &script)
      : fileName_(std::move(fileName)),
        tokens_(std::move(tokens)),
        functions_(functions),
        script_(script) {}

  void parseScript() {
    while (peek().kind != Token::Kind::EndOfFile) {
      const Token &start = peek();
      if (isWord(start, "frame")) {
        parseFrame();
      } else if (isWord(start, "menu")) {
        parseList(UikPart::Kind::Menu);
      } else if (isWord(start, "popup")) {
        parseList(UikPart::Kind::Popup);
      } else {
        fail(start, "\"frame\", \"menu\" or \"popup\"");
      }
    }
  }

 private:
  static bool isWord(const Token &token, const char *word) {
    return token.kind == Token::Kind::Word && token.text == word;
  }

  const Token &peek() const { return tokens_[position_]; }

  // The lexer always ends the list with EndOfFile, and nothing moves past it.
  Token take() {
    Token token = tokens_[position_];
    if (token.kind != Token::Kind::EndOfFile) ++position_;
    return token;
  }

  [[noreturn]] void fail(int line, const std::string &expected, const std::string &found) const {
    throw ParseError{fileName_ + ":" + std::to_string(line) + ": expected " + expected +
                     ", found " + found};
  }
  [[noreturn]] void fail(const Token &at, const std::string &expected) const {
    fail(at.line, expected, describe(at));
  }

  Token expect(Token::Kind kind, const std::string &what) {
    if (peek().kind != kind) fail(peek(), what);
    return take();
  }

  void expectKeyword(const char *keyword) {
    if (!isWord(peek(), keyword)) fail(peek(), std::string("\"") + keyword + "\"");
    take();
  }

  // A function name the script may call: one registered with the parse.
  std::string functionName() {
    const Token name = expect(Token::Kind::Word, "the name of a script function");
    if (functions_.find(name.text) == functions_.end())
      fail(name.line, "the name of a registered script function", "\"" + name.text + "\"");
    return name.text;
  }

  std::unique_ptr<UikPart> newPart(UikPart::Kind kind, UikPart *parent, int line) {
    auto part = std::make_unique<UikPart>();
    part->kind = kind;
    part->parent = parent;
    part->script = &script_;
    part->line = line;
    return part;
  }

  // The name and title every frame, menu and popup starts with.
  std::unique_ptr<UikPart> topLevelHeader(UikPart::Kind kind, const char *what) {
    const Token keyword = take();
    auto part = newPart(kind, script_.parent, keyword.line);
    const Token name = expect(Token::Kind::Word, std::string("the name of the ") + what);
    for (const auto &other : script_.parts)
      if (other->name == name.text)
        fail(name.line, "a part name not used before (line " + std::to_string(other->line) + ")",
             "\"" + name.text + "\"");
    part->name = name.text;
    part->label =
        expect(Token::Kind::String, std::string("the title of the ") + what + " in quotes").text;
    return part;
  }

  void parseFrame() {
    auto frame = topLevelHeader(UikPart::Kind::Frame, "frame");
    while (true) {
      const Token &next = peek();
      if (isWord(next, "field")) {
        parseField(*frame);
      } else if (isWord(next, "button")) {
        parseButton(*frame);
      } else if (isWord(next, "end")) {
        take();
        break;
      } else {
        fail(next, "\"field\", \"button\" or \"end\"");
      }
    }
    // Buttons may name fields defined after them; check once the frame is whole.
    for (const auto &child : frame->children) {
      if (child->kind != UikPart::Kind::Button) continue;
      for (const auto &argument : child->arguments)
        if (viewerhost::ui::childNamed(frame.get(), UikPart::Kind::Field, argument) == nullptr)
          fail(child->line, "the name of a field of frame \"" + frame->name + "\"",
               "\"" + argument + "\"");
    }
    script_.parts.push_back(std::move(frame));
  }

  // A field or button name, unique among the frame's fields and buttons.
  std::string memberName(const UikPart &frame, const char *what) {
    const Token name = expect(Token::Kind::Word, std::string("the name of the ") + what);
    for (const auto &other : frame.children)
      if (other->name == name.text)
        fail(name.line,
             "a name not used before in frame \"" + frame.name + "\" (line " +
                 std::to_string(other->line) + ")",
             "\"" + name.text + "\"");
    return name.text;
  }

  void parseField(UikPart &frame) {
    const Token keyword = take();
    auto field = newPart(UikPart::Kind::Field, &frame, keyword.line);
    field->name = memberName(frame, "field");
    field->label = expect(Token::Kind::String, "the field's label in quotes").text;
    if (isWord(peek(), "from")) {
      take();
      field->function = functionName();
      if (peek().kind == Token::Kind::LBracket) {
        take();
        const Token index = expect(Token::Kind::Number, "the index of the getter's entry");
        int value = 0;
        const char *end = index.text.data() + index.text.size();
        const auto [stop, problem] = std::from_chars(index.text.data(), end, value);
        if (problem != std::errc() || stop != end) fail(index, "an index from 0 to 2147483647");
        field->valueIndex = value;
        expect(Token::Kind::RBracket, "']'");
      }
    }
    frame.children.push_back(std::move(field));
  }

  void parseButton(UikPart &frame) {
    const Token keyword = take();
    auto button = newPart(UikPart::Kind::Button, &frame, keyword.line);
    button->name = memberName(frame, "button");
    button->label = expect(Token::Kind::String, "the button's label in quotes").text;
    expectKeyword("calls");
    button->function = functionName();
    button->arguments = parenthesised(Token::Kind::Word, "the name of a field");
    frame.children.push_back(std::move(button));
  }

  void parseList(UikPart::Kind kind) {
    auto list = topLevelHeader(kind, kind == UikPart::Kind::Menu ? "menu" : "popup");
    while (true) {
      const Token &next = peek();
      if (isWord(next, "item")) {
        parseItem(*list);
      } else if (isWord(next, "end")) {
        take();
        break;
      } else {
        fail(next, "\"item\" or \"end\"");
      }
    }
    script_.parts.push_back(std::move(list));
  }

  void parseItem(UikPart &list) {
    const Token keyword = take();
    auto item = newPart(UikPart::Kind::Item, &list, keyword.line);
    const Token label = expect(Token::Kind::String, "the item's label in quotes");
    for (const auto &other : list.children)
      if (other->label == label.text)
        fail(label.line,
             "a label not used before in \"" + list.name + "\" (line " +
                 std::to_string(other->line) + ")",
             "\"" + label.text + "\"");
    item->name = label.text;
    item->label = label.text;
    expectKeyword("calls");
    item->function = functionName();
    item->arguments = parenthesised(Token::Kind::String, "a prompt in quotes");
    list.children.push_back(std::move(item));
  }

  // An optional "(" a, b, ... ")" list of tokens of one kind.
  std::vector<std::string> parenthesised(Token::Kind kind, const std::string &what) {
    std::vector<std::string> values;
    if (peek().kind != Token::Kind::LParen) return values;
    take();
    if (peek().kind == Token::Kind::RParen) {
      take();
      return values;
    }
    while (true) {
      values.push_back(expect(kind, what).text);
      if (peek().kind == Token::Kind::Comma) {
        take();
        continue;
      }
      expect(Token::Kind::RParen, "',' or ')'");
      return values;
    }
  }

  std::string fileName_;
  std::vector<Token> tokens_;
  size_t position_ = 0;
  const FunctionTable &functions_;
  UikScript &script_;
};

// Reads the (kind, value) pairs after the error report up to the closing 0.
// A kind the toolkit does not know ends the reading with an error: its value
// could be of any type, so nothing after it can be read safely.
bool readFunctionTables(va_list arguments, FunctionTable &functions, std::string &problem) {
  while (true) {
    const int kind = va_arg(arguments, int);
    if (kind == 0) return true;
    if (kind != kFunctionTableArgument) {
      problem =
          "uik_ParseVa: expected argument kind 1 or the closing 0, found " + std::to_string(kind);
      return false;
    }
    const auto *table = va_arg(arguments, const ScriptFunctionEntry *);
    if (table == nullptr) {
      problem = "uik_ParseVa: expected a script function table, found null";
      return false;
    }
    for (const ScriptFunctionEntry *entry = table; entry->name != nullptr; ++entry) {
      if (entry->function == nullptr) {
        problem = std::string("uik_ParseVa: expected a function for the script function \"") +
                  entry->name + "\", found null";
        return false;
      }
      // The first table naming a function wins.
      functions.emplace(entry->name, entry->function);
    }
  }
}

bool readFile(const std::string &path, std::string &text) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) return false;
  text = contents.str();
  return true;
}

UikScript *parseFile(const char *fileName, UikPart *parent, const FunctionTable &functions,
                     ErrorReport *error) {
  if (fileName == nullptr || *fileName == '\0') {
    viewerhost::setError(error, "uik_ParseVa: expected a file name");
    return nullptr;
  }
  const std::string path = viewerhost::findResource(fileName);
  if (path.empty()) {
    viewerhost::setError(error, std::string(fileName) + ": not found on the resource search path");
    return nullptr;
  }
  std::string text;
  if (!readFile(path, text)) {
    viewerhost::setError(error, path + ": cannot be read");
    return nullptr;
  }

  auto script = std::make_unique<UikScript>();
  script->fileName = path;
  script->parent = parent;
  script->functions = functions;
  try {
    Parser(path, viewerhost::ui::tokenize(text), functions, *script).parseScript();
  } catch (const ParseError &failure) {
    viewerhost::setError(error, failure.message);
    return nullptr;
  }
  return viewerhost::ui::adoptScript(std::move(script));
}

} // namespace

UikScript *uik_ParseVa(void *reserved, const char *fileName, UikPart *parent, ErrorReport *error,
                       ...) {
  (void)reserved;
  FunctionTable functions;
  std::string problem;
  va_list arguments;
  va_start(arguments, error);
  bool tablesRead = false;
  try {
    tablesRead = readFunctionTables(arguments, functions, problem);
  } catch (...) {
    problem = "uik_ParseVa: out of memory";
  }
  va_end(arguments);

  try {
    if (!tablesRead) {
      viewerhost::setError(error, problem);
      return nullptr;
    }
    return parseFile(fileName, parent, functions, error);
  } catch (...) {
    viewerhost::setError(error, "uik_ParseVa: out of memory");
    return nullptr;
  }
}
