// interrupt.cpp - the SIGINT flag.
#include "interrupt.h"

#include <csignal>

namespace fogrender {
namespace {

volatile std::sig_atomic_t interruptFlag = 0;

void onInterrupt(int) {
  interruptFlag = 1;
}

} // namespace

void catchInterrupt() {
  struct sigaction action {};
  action.sa_handler = &onInterrupt;
  sigemptyset(&action.sa_mask);
  // The handler is used once; the next Ctrl-C gets the default action.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
}

bool interrupted() {
  return interruptFlag != 0;
}

} // namespace fogrender
