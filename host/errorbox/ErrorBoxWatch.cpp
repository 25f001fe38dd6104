#include "errorbox/ErrorBoxWatch.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstring>
#else
#include <dlfcn.h>
#endif

#include "PluginExports.h"

namespace errorbox {

namespace {

Observer g_Observer = nullptr;

}  // namespace

#if defined(_WIN32)

namespace {

int WINAPI ObservedMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  if (g_Observer != nullptr)
    g_Observer(Shown{caption != nullptr ? caption : "", text != nullptr ? text : "", style,
                     owner == nullptr});
  return IDOK;
}

// The import address slot through which `module` calls `function` of `dll`,
// or nullptr when it imports no such function by name.
void** ImportSlot(HMODULE module, const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
        base + (entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

}  // namespace

bool Watch(void* plugin, Observer observer) {
  void** slot = ImportSlot(static_cast<HMODULE>(plugin), "user32.dll", "MessageBoxA");
  if (slot == nullptr) return false;
  DWORD protection = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
  g_Observer = observer;
  *slot = reinterpret_cast<void*>(&ObservedMessageBox);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return true;
}

#else

namespace {

void ObservedHandler(const char* caption, const char* text) {
  if (g_Observer != nullptr)
    g_Observer(Shown{caption != nullptr ? caption : "", text != nullptr ? text : "", 0, true});
}

}  // namespace

bool Watch(void* plugin, Observer observer) {
  auto setHandler = reinterpret_cast<SetErrorBoxHandlerFn>(dlsym(plugin, kSetErrorBoxHandlerName));
  if (setHandler == nullptr) return false;
  g_Observer = observer;
  setHandler(&ObservedHandler);
  return true;
}

#endif

}  // namespace errorbox
