#include "cli/PluginLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>

namespace cli {

#if defined(_WIN32)

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n == sizeof path) return {};
  return std::filesystem::path(std::string(path, n)).parent_path().string();
}

void* LoadPlugin(const std::string& path, std::string& error) {
  HMODULE plugin = LoadLibraryA(path.c_str());
  if (plugin == nullptr) error = "Windows error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(plugin);
}

void* PluginExport(void* plugin, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(plugin), name));
}

#else

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

void* LoadPlugin(const std::string& path, std::string& error) {
  void* plugin = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) error = dlerror();
  return plugin;
}

void* PluginExport(void* plugin, const char* name) { return dlsym(plugin, name); }

#endif

}  // namespace cli
