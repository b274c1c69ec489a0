// questions.cpp - the answer callback behind hvis_QueryYesNo.
#include "questions.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "viewer_control.h"

namespace fogviewer {
namespace {

std::string lowerCase(std::string text) {
  for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string trimmed(const std::string &text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Asks until the answer names one of the two choices; an empty answer or the
// end of input is the safe choice, no.
bool askOnTerminal(const std::string &question, const std::string &noLabel,
                   const std::string &yesLabel) {
  const std::string yes = lowerCase(yesLabel.empty() ? "yes" : yesLabel);
  const std::string no = lowerCase(noLabel.empty() ? "no" : noLabel);
  for (;;) {
    std::fprintf(stderr, "%s [%s/%s] ", question.c_str(), yesLabel.c_str(), noLabel.c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    const std::string answer = lowerCase(trimmed(line));
    if (answer.empty() || answer == no || answer == no.substr(0, 1)) return false;
    if (answer == yes || answer == yes.substr(0, 1)) return true;
  }
}

} // namespace

void installAnswerPolicy(AnswerPolicy policy) {
  viewerhost::clearAnswers();
  viewerhost::setAnswerCallback([policy](const std::string &question, const std::string &noLabel,
                                         const std::string &yesLabel) {
    if (policy != AnswerPolicy::Ask) {
      const bool yes = policy == AnswerPolicy::Yes;
      std::fprintf(stderr, "fogviewer: \"%s\" answered %s (%s)\n", question.c_str(),
                   (yes ? yesLabel : noLabel).c_str(), yes ? "--yes" : "--no");
      return yes;
    }
    if (isatty(STDIN_FILENO) != 0) return askOnTerminal(question, noLabel, yesLabel);
    std::fprintf(stderr,
                 "fogviewer: \"%s\" answered %s: no terminal to ask on (--yes or --no "
                 "choose the answer)\n",
                 question.c_str(), noLabel.c_str());
    return false;
  });
}

} // namespace fogviewer
