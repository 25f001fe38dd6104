// Finding the host's server module among the modules already loaded in the
// process, and the addresses it exports. One small file per platform.
#pragma once

namespace PCBProcs {

// The file name under which the host loads its PCB server.
extern const char* const kServerModuleName;

// Calls `bind` with the server module if the host has already loaded it;
// calls nothing and returns false when it is not loaded. The module is
// neither loaded nor kept loaded by this call.
bool WithLoadedServerModule(void (*bind)(void* module));

// The address the module exports under exactly `name`, or nullptr.
void* ServerModuleExport(void* module, const char* name);

}  // namespace PCBProcs
