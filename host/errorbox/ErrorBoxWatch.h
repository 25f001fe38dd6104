// How the stand-in host sees the plug-in's error box without showing it: on
// Windows the plug-in's MessageBoxA import is pointed at the observer; on
// POSIX systems the plug-in's own hook for the stand-in is used.
#pragma once

#include <string>

namespace errorbox {

struct Shown {
  std::string caption;
  std::string text;
  unsigned style = 0;     // MessageBoxA's style flags (Windows); 0 elsewhere
  bool ownerless = true;  // no owner window: modal to the calling thread only
};

using Observer = void (*)(const Shown& box);

// Routes every error box of the loaded `plugin` (a handle from dlopen or
// LoadLibrary) to `observer`, which replaces the box: the plug-in goes on
// as if OK had been clicked. False when the plug-in offers no way to do so.
bool Watch(void* plugin, Observer observer);

}  // namespace errorbox
