// A host that has no PCB server loaded when it loads the plug-in. This test
// program does not link the stand-in server; it loads the plug-in by path.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "LenString.h"

namespace {

using ExportFn = bool (*)(const std::uint8_t*, const std::uint8_t*);
using DescriptionFn = const char* (*)();

std::string Export(void* plugin, const std::string& path) {
  auto describe = reinterpret_cast<DescriptionFn>(dlsym(plugin, "GetPcbExporterDescription"));
  auto exportFile = reinterpret_cast<ExportFn>(dlsym(plugin, "ExportFileFromPcb"));
  EXPECT_NE(exportFile, nullptr);
  if (exportFile == nullptr || describe == nullptr) return {};
  EXPECT_TRUE(exportFile(LenString(path).Buffer(), LenString(describe()).Buffer()));
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

TEST(WithoutServer, ThePluginLoadsSilentlyAndStillWritesAFile) {
  ASSERT_EQ(dlopen("libQelPcb.so", RTLD_NOLOAD | RTLD_NOW), nullptr);
  void* plugin = dlopen(PCB28_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(plugin, nullptr) << dlerror();

  const auto folder =
      std::filesystem::temp_directory_path() / ("pcb28-noserver-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string content = Export(plugin, (folder / "first.pcb").string());
  EXPECT_EQ(content.rfind("PCB FILE 6 VERSION 2.80\r\n", 0), 0u);
  EXPECT_GE(content.size(), 8u);
  EXPECT_EQ(content.substr(content.size() - 8), "ENDPCB\r\n");

  // A server loaded after the plug-in is never seen: it receives no call.
  void* server = dlopen(PCB28_SERVER_PATH, RTLD_NOW | RTLD_GLOBAL);
  ASSERT_NE(server, nullptr) << dlerror();
  using CountFn = std::uint64_t (*)();
  auto callsReceived = reinterpret_cast<CountFn>(dlsym(server, "StandIn_CallsReceived"));
  ASSERT_NE(callsReceived, nullptr);
  const std::uint64_t before = callsReceived();
  EXPECT_EQ(Export(plugin, (folder / "second.pcb").string()), content);
  EXPECT_EQ(callsReceived(), before);
  std::filesystem::remove_all(folder);
}
