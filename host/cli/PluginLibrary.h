// Loading the plug-in library, the one thing of the host program that
// differs between POSIX systems (dlopen) and Windows (LoadLibrary).
#pragma once

#include <string>

namespace cli {

// The folder of this program, or an empty path when it cannot be told.
std::string ProgramFolder();

// Loads the library at `path`; nullptr and the reason in `error` on failure.
void* LoadPlugin(const std::string& path, std::string& error);

// The address the library exports under `name`, or nullptr.
void* PluginExport(void* plugin, const char* name);

}  // namespace cli
