// demo_session.h - the session fogviewer runs when it is given no script: a
// Mist layer made through the plug-in's menu, edited in its properties frame
// and saved, a second one hidden in the stack, the valley seen from above
// the fog and from inside it, the layer stack, and the session written back
// as a script.
#pragma once

namespace fogviewer {

// The name the demo session goes by in messages.
extern const char kDemoSessionName[];
extern const char kDemoSession[];

} // namespace fogviewer
