// ui_script_lexer.h - splits a UI script's text into tokens with their line
// numbers. It never fails: text it cannot read becomes an Invalid or
// BadString token, and the parser says what it expected there instead.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace viewerhost::ui {

struct Token {
  enum class Kind {
    Word,   // a name or keyword: a letter or '_', then letters, digits, '_'
    String, // "..." on one line; \" and \\ stand for " and '\'
    Number, // decimal digits
    LParen,
    RParen,
    LBracket,
    RBracket,
    Comma,
    EndOfFile,
    Invalid,   // a character that starts no token
    BadString, // a string not closed before the end of its line
  };

  Kind kind = Kind::EndOfFile;
  std::string text; // a word's or number's characters, a string's contents
  int line = 1;
};

std::vector<Token> tokenize(std::string_view source);

// How an error message names a token: a word as it stands, a string in
// quotes, "the end of the file", an invalid character in single quotes.
std::string describe(const Token &token);

} // namespace viewerhost::ui
