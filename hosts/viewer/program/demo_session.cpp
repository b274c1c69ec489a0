// demo_session.cpp - the built-in demo session, in the viewer's own command
// language (fogviewer --print-demo shows it).
#include "demo_session.h"

namespace fogviewer {

const char kDemoSessionName[] = "<built-in demo>";

const char kDemoSession[] = R"(# The built-in demo: morning mist in the built-in valley.
TERRAIN PROCEDURAL 4000 4000 100 900 ;

# A new Mist layer through the plug-in's menu, edited in its properties frame.
MENU "New Mist Layer..." "valley.fog" ;
POPUP 1 "Properties..." ;
FIELD 1 "density" "0.12" ;
FIELD 1 "planes" "16" ;
FIELD 1 "top" "380" ;
FIELD 1 "bottom" "100" ;
FIELD 1 "red" "0.86" ;
FIELD 1 "green" "0.89" ;
FIELD 1 "blue" "0.95" ;
PRESS 1 "Apply" ;
PRESS 1 "Close" ;
SAVE 1 ;

# A second layer: high haze, saved and then hidden in the stack.
MENU "New Mist Layer..." "haze.fog" ;
POPUP 1 "Properties..." ;
FIELD 1 "density" "0.05" ;
FIELD 1 "planes" "6" ;
FIELD 1 "top" "900" ;
FIELD 1 "bottom" "700" ;
FIELD 1 "red" "0.95" ;
FIELD 1 "green" "0.85" ;
FIELD 1 "blue" "0.75" ;
PRESS 1 "Apply" ;
PRESS 1 "Close" ;
SAVE 1 ;
POPUP 1 "Show/Hide" ;

# From above the fog, then from inside it (the eye at 250, the slab 100..380).
VIEW 2600 -1700 1700 -12 -27 800 600 ;
RENDER "viewer_outside.png" ;
VIEW 2350 150 250 -20 4 800 600 ;
RENDER "viewer_inside.png" ;

STACK "viewer_stack.png" ;
WRITESESSION "viewer_session.fvs" ;
)";

} // namespace fogviewer
