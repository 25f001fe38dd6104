#if defined(_WIN32)

#include <windows.h>

#include "hostapi/ServerModule.h"

namespace PCBProcs {

const char* const kServerModuleName = "QelPcb.dll";

bool WithLoadedServerModule(void (*bind)(void* module)) {
  // GetModuleHandleA neither loads the module nor takes a reference.
  HMODULE module = GetModuleHandleA(kServerModuleName);
  if (module == nullptr) return false;
  bind(module);
  return true;
}

void* ServerModuleExport(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace PCBProcs

#endif
