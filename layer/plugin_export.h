// plugin_export.h - marks the functions the viewer finds by name. Everything
// else in the plug-in stays hidden (the build hides symbols by default and
// a version script lists the exports).
#pragma once

#define FOG_EXPORT extern "C" __attribute__((visibility("default")))
