// A host that has no PCB server loaded when it loads the plug-in. This test
// program does not link the stand-in server; it loads the plug-in by path.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "LenString.h"
#include "PluginExports.h"
#include "support/Platform.h"

namespace {

using testsupport::LibrarySymbol;
// The boolean read as the whole 32-bit result, as a host reading a BOOL does.
using ExportWholeResultFn = std::uint32_t(PCBAPI_CALL*)(const std::uint8_t*, const std::uint8_t*);

std::string Export(void* plugin, const std::string& path) {
  auto describe = reinterpret_cast<GetPcbExporterDescriptionFn>(
      LibrarySymbol(plugin, "GetPcbExporterDescription"));
  auto exportFile =
      reinterpret_cast<ExportWholeResultFn>(LibrarySymbol(plugin, "ExportFileFromPcb"));
  EXPECT_NE(exportFile, nullptr);
  if (exportFile == nullptr || describe == nullptr) return {};
  EXPECT_EQ(exportFile(LenString(path).Buffer(), LenString(describe()).Buffer()), 1u);
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

TEST(WithoutServer, ThePluginLoadsSilentlyAndStillWritesAFile) {
  ASSERT_FALSE(testsupport::IsLibraryLoaded(PCB28_SERVER_FILE));
  void* plugin = testsupport::LoadLibraryFile(PCB28_PLUGIN_PATH);
  ASSERT_NE(plugin, nullptr) << testsupport::LastLibraryError();

  const auto folder = std::filesystem::temp_directory_path() /
                      ("pcb28-noserver-" + std::to_string(testsupport::ProcessId()));
  std::filesystem::create_directories(folder);
  const std::string content = Export(plugin, (folder / "first.pcb").string());
  EXPECT_EQ(content.rfind("PCB FILE 6 VERSION 2.80\r\n", 0), 0u);
  EXPECT_GE(content.size(), 8u);
  EXPECT_EQ(content.substr(content.size() - 8), "ENDPCB\r\n");

  // A server loaded after the plug-in is never seen: it receives no call.
  void* server = testsupport::LoadLibraryFile(PCB28_SERVER_PATH);
  ASSERT_NE(server, nullptr) << testsupport::LastLibraryError();
  using CountFn = std::uint64_t (*)();
  auto callsReceived = reinterpret_cast<CountFn>(LibrarySymbol(server, "StandIn_CallsReceived"));
  ASSERT_NE(callsReceived, nullptr);
  const std::uint64_t before = callsReceived();
  EXPECT_EQ(Export(plugin, (folder / "second.pcb").string()), content);
  EXPECT_EQ(callsReceived(), before);
  std::filesystem::remove_all(folder);
}
