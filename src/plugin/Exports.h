// The functions the plug-in exports to the host, and on POSIX systems the
// stand-in host's error box hook (all declared in the contract's
// PluginExports.h).
#pragma once

#include "PluginExports.h"
#include "plugin/ErrorBox.h"
