// viewer_ui.cpp - the stand-in viewer's dialogs (hvis_): error reports are
// shown on stderr and kept in a log; yes/no questions are recorded and
// answered from a queue, then by a callback, else with no.
#include <cstdio>
#include <deque>

#include "error_report.h"
#include "viewer_control.h"

namespace {

struct Dialogs {
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  viewerhost::AnswerCallback callback;
};

Dialogs &dialogs() {
  static Dialogs state;
  return state;
}

} // namespace

void hvis_ProcessErrorReport(ErrorReport *error) {
  if (error == nullptr || *error == nullptr) return;
  std::string message = viewerhost::errorMessage(*error);
  viewerhost::clearError(error);
  std::fprintf(stderr, "viewer: error: %s\n", message.c_str());
  try {
    dialogs().errors.push_back(std::move(message));
  } catch (...) {
    // The message was shown; only the log misses it.
  }
}

int32_t hvis_QueryYesNo(const char *question, const char *noLabel, const char *yesLabel) {
  Dialogs &state = dialogs();
  std::string text = question != nullptr ? question : "";
  try {
    state.questions.push_back(text);
    if (!state.answers.empty()) {
      bool yes = state.answers.front();
      state.answers.pop_front();
      return yes ? 1 : 0;
    }
    if (state.callback) {
      return state.callback(text, noLabel != nullptr ? noLabel : "",
                            yesLabel != nullptr ? yesLabel : "")
                 ? 1
                 : 0;
    }
  } catch (...) {
    // Whatever went wrong, the safe answer is the one that changes nothing.
  }
  return 0;
}

namespace viewerhost {

void queueAnswer(bool yes) {
  dialogs().answers.push_back(yes);
}

void clearAnswers() {
  dialogs().answers.clear();
}

void setAnswerCallback(AnswerCallback callback) {
  dialogs().callback = std::move(callback);
}

std::vector<std::string> questionsAsked() {
  return dialogs().questions;
}

void clearQuestions() {
  dialogs().questions.clear();
}

std::vector<std::string> errorLog() {
  return dialogs().errors;
}

void clearErrorLog() {
  dialogs().errors.clear();
}

} // namespace viewerhost
