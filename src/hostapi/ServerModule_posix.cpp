#if !defined(_WIN32)

#include <dlfcn.h>

#include "hostapi/ServerModule.h"

namespace PCBProcs {

const char* const kServerModuleName = "libQelPcb.so";

bool WithLoadedServerModule(void (*bind)(void* module)) {
  // RTLD_NOLOAD finds the module only if the host has loaded it already. It
  // takes a reference, which is given back at once: the host keeps the module.
  void* module = dlopen(kServerModuleName, RTLD_NOLOAD | RTLD_NOW);
  if (module == nullptr) return false;
  bind(module);
  dlclose(module);
  return true;
}

void* ServerModuleExport(void* module, const char* name) { return dlsym(module, name); }

}  // namespace PCBProcs

#endif
