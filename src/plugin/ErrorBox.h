// The one message box the export shows: a modal error box on Windows, a
// replaceable handler elsewhere (the default writes to standard error).
#pragma once

#include "PluginExports.h"

namespace plugin {

inline constexpr const char* kErrorBoxCaption = "Orvane Error";

// Shows the box and returns when it has been closed.
void ShowErrorBox(const char* text);

// Replaces the handler (nullptr restores the default); returns the previous one.
ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler);

}  // namespace plugin
