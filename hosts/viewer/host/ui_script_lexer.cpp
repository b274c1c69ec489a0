// ui_script_lexer.cpp - the UI script's tokens: words, strings, numbers,
// brackets and commas; '#' starts a comment that runs to the end of the line.
#include "ui_script_lexer.h"

#include <cstdio>

namespace viewerhost::ui {

namespace {

bool isWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
  return isWordStart(c) || isDigit(c);
}
bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

std::vector<Token> tokenize(std::string_view source) {
  std::vector<Token> tokens;
  int line = 1;
  size_t i = 0;
  const size_t n = source.size();

  auto single = [&](Token::Kind kind) {
    tokens.push_back({kind, std::string(1, source[i]), line});
    ++i;
  };

  while (i < n) {
    const char c = source[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (isBlank(c)) {
      ++i;
    } else if (c == '#') {
      while (i < n && source[i] != '\n') ++i;
    } else if (isWordStart(c)) {
      const size_t start = i;
      while (i < n && isWordChar(source[i])) ++i;
      tokens.push_back({Token::Kind::Word, std::string(source.substr(start, i - start)), line});
    } else if (isDigit(c)) {
      const size_t start = i;
      while (i < n && isDigit(source[i])) ++i;
      tokens.push_back({Token::Kind::Number, std::string(source.substr(start, i - start)), line});
    } else if (c == '"') {
      Token token{Token::Kind::BadString, {}, line};
      ++i;
      while (i < n && source[i] != '\n') {
        char ch = source[i];
        if (ch == '"') {
          token.kind = Token::Kind::String;
          ++i;
          break;
        }
        if (ch == '\\' && i + 1 < n && (source[i + 1] == '"' || source[i + 1] == '\\')) {
          ch = source[i + 1];
          ++i;
        }
        token.text.push_back(ch);
        ++i;
      }
      tokens.push_back(std::move(token));
      // An unclosed string ends the useful text: the parser stops there.
      if (tokens.back().kind == Token::Kind::BadString) break;
    } else if (c == '(') {
      single(Token::Kind::LParen);
    } else if (c == ')') {
      single(Token::Kind::RParen);
    } else if (c == '[') {
      single(Token::Kind::LBracket);
    } else if (c == ']') {
      single(Token::Kind::RBracket);
    } else if (c == ',') {
      single(Token::Kind::Comma);
    } else {
      single(Token::Kind::Invalid);
    }
  }
  // The end of the file belongs to its last line, not to the empty one a
  // final line break starts.
  const int lastLine = (!source.empty() && source.back() == '\n' && line > 1) ? line - 1 : line;
  tokens.push_back({Token::Kind::EndOfFile, {}, lastLine});
  return tokens;
}

std::string describe(const Token &token) {
  switch (token.kind) {
    case Token::Kind::Word:
    case Token::Kind::Number:
      return token.text;
    case Token::Kind::String:
      return "\"" + token.text + "\"";
    case Token::Kind::EndOfFile:
      return "the end of the file";
    case Token::Kind::BadString:
      return "a string without its closing quote";
    case Token::Kind::LParen:
    case Token::Kind::RParen:
    case Token::Kind::LBracket:
    case Token::Kind::RBracket:
    case Token::Kind::Comma:
      return "'" + token.text + "'";
    case Token::Kind::Invalid: {
      const unsigned char c = static_cast<unsigned char>(token.text.empty() ? 0 : token.text[0]);
      if (c >= 0x20 && c < 0x7f) return "'" + token.text + "'";
      char code[8];
      std::snprintf(code, sizeof code, "0x%02x", c);
      return std::string("the byte ") + code;
    }
  }
  return {};
}

} // namespace viewerhost::ui
