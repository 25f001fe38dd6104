// The plug-in's load hook: binds the entry-point table once, while the host
// loads the library. Only the plug-in library is built with this file; test,
// fuzz and benchmark programs that link the plug-in's objects bind when they
// ask to.
#include "hostapi/PCBProcs.h"

namespace {

[[maybe_unused]] const bool g_BoundAtLoad = (PCBProcs::BindFromLoadedServer(), true);

}  // namespace
