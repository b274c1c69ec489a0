// dialogs.cpp - the host's user-abort switch and command queue, both kept
// as logs so that a program or test can see what a module asked for.
#include "host_state.h"

namespace cadhost {
namespace {

struct DialogState {
  bool userAbortEnabled = true;
  std::vector<int32_t> userAbortLog;
  std::vector<QueuedCommand> commands;
};

DialogState &state() {
  static auto *s = new DialogState;
  return *s;
}

} // namespace

std::vector<int32_t> userAbortLog() {
  return state().userAbortLog;
}
bool userAbortEnabled() {
  return state().userAbortEnabled;
}
std::vector<QueuedCommand> commandLog() {
  return state().commands;
}

void detail::resetDialogs() {
  state() = DialogState{};
}

} // namespace cadhost

using cadhost::state;

extern "C" {

int32_t xelSystem_userAbortEnable(int32_t enable) {
  cadhost::detail::countCall("xelSystem_userAbortEnable");
  const int32_t previous = state().userAbortEnabled ? 1 : 0;
  state().userAbortEnabled = enable != 0;
  try {
    state().userAbortLog.push_back(enable);
  } catch (...) {
    // The switch itself has taken effect; only the log entry is lost.
  }
  return previous;
}

int32_t xelDialog_cmdNumberQueue(int32_t queue, uint32_t commandNumber, const char *argumentText,
                                 int32_t flags) {
  cadhost::detail::countCall("xelDialog_cmdNumberQueue");
  try {
    state().commands.push_back(
        {queue, commandNumber, argumentText != nullptr ? argumentText : "", flags});
  } catch (...) {
    return 1;
  }
  return 0;
}

} // extern "C"
