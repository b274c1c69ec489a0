// interrupt.h - Ctrl-C for fogrender: the first SIGINT only raises a flag
// that the long loops (the preview's abort test, the scene's rows) look at,
// so a picture stops cleanly and nothing half-made is written; a second
// SIGINT ends the program at once, as usual.
#pragma once

namespace fogrender {

// Installs the handler. Call once, before any long work.
void catchInterrupt();

// True once SIGINT has arrived.
bool interrupted();

} // namespace fogrender
