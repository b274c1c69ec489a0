// recording_gl.h - a stand-in for libGL and libGLU that records every call
// the layer's drawing makes, with its arguments, instead of drawing. Linked
// into a test build of the layer code so that tests can check the exact
// sequence of GL calls a frame issues.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace recordinggl {

// One call: the entry point's name and its arguments in order, each widened
// to double (enums and integers exactly, floats exactly as passed).
struct Call {
  std::string name;
  std::vector<double> args;

  bool operator==(const Call &other) const = default;
};

// Everything recorded since the last clear, oldest first.
const std::vector<Call> &calls();
void clear();

// Appends a call to the same log; lets a test interleave the host calls it
// answers (scene queries) with the GL calls.
void record(std::string name, std::vector<double> args = {});

// Prints a call as name(arg, arg, ...) with enough digits to tell doubles
// apart, for readable test failures.
void PrintTo(const Call &call, std::ostream *out);

} // namespace recordinggl
