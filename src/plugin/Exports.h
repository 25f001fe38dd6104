// The functions the plug-in exports to the host (declared in the contract's
// PluginExports.h), and on POSIX systems the stand-in host's error box hook.
#pragma once

#include "PluginExports.h"
#include "plugin/ErrorBox.h"

#if !defined(_WIN32)
extern "C" {
// For the stand-in host: replaces the error box handler (nullptr: default).
// On Windows the host sees the box through the plug-in's MessageBoxA import,
// and the plug-in exports its three functions only.
PCBAPI_EXPORT plugin::ErrorBoxHandler Pcb28_SetErrorBoxHandler(plugin::ErrorBoxHandler handler);
}
#endif
