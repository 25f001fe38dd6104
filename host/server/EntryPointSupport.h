// Shared by the sources that define the entry points.
#pragma once

#include "server/Exchange.h"
#include "server/Server.h"

namespace standin {

// The server of this process (Server.cpp), reached directly: inside the
// library no call goes through TheServer() or the symbol table.
extern Server g_server;
inline Server& S() { return g_server; }

}  // namespace standin

// Counts the call, and records it (the entry point's own name and its
// by-value arguments) when the recorder is on.
#define RECORD(...)                                                                 \
  do {                                                                              \
    ::standin::S().CountCall();                                                     \
    if (::standin::S().Recording()) ::standin::S().Record(__func__, {__VA_ARGS__}); \
  } while (0)
