// questions.h - how the viewer answers the yes/no questions layers ask
// through hvis_QueryYesNo (such as whether to save a changed layer as it is
// closed): always yes, always no, or asking on the terminal.
#pragma once

namespace fogviewer {

enum class AnswerPolicy {
  Yes,
  No,
  // On the terminal when standard input is one; otherwise the answer is no,
  // which leaves every file as it is, and a note says so.
  Ask,
};

// Makes the viewer answer every question from now on by `policy`.
void installAnswerPolicy(AnswerPolicy policy);

} // namespace fogviewer
