// The version resources of the plug-in, the stand-in server and the host
// program, read the way Windows reads them for a file's properties: the
// file and product version of the project, the product name, the file's own
// name and a description.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct VersionInfo {
  unsigned Numbers[4] = {};  // the fixed file version, most significant first
  unsigned ProductNumbers[4] = {};
  std::string Description, FileVersion, ProductVersion, ProductName, OriginalName;
};

std::string StringValue(const std::vector<char>& block, const char* name) {
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  char* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
      length == 0)
    return "(none)";
  return std::string(text, length - 1);
}

bool Read(const char* path, VersionInfo& info) {
  const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
  if (size == 0) return false;
  std::vector<char> block(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path, 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof *fixed)
    return false;
  const DWORD words[4] = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                          fixed->dwProductVersionLS};
  for (int i = 0; i < 2; ++i) {
    info.Numbers[2 * i] = HIWORD(words[i]), info.Numbers[2 * i + 1] = LOWORD(words[i]);
    info.ProductNumbers[2 * i] = HIWORD(words[2 + i]);
    info.ProductNumbers[2 * i + 1] = LOWORD(words[2 + i]);
  }
  info.Description = StringValue(block, "FileDescription");
  info.FileVersion = StringValue(block, "FileVersion");
  info.ProductVersion = StringValue(block, "ProductVersion");
  info.ProductName = StringValue(block, "ProductName");
  info.OriginalName = StringValue(block, "OriginalFilename");
  return true;
}

TEST(VersionResource, EachFileCarriesTheProjectVersionAndItsOwnName) {
  // "1.2.3" from project(): the fixed version is 1.2.3.0.
  unsigned expected[4] = {};
  std::istringstream version(PCB28_VERSION);
  for (unsigned& number : expected) {
    version >> number;
    version.ignore(1);
  }
  const struct {
    const char* Path;
    const char* Name;
  } files[] = {{PCB28_PLUGIN_PATH, "pcb28.dll"},
               {PCB28_SERVER_PATH, "QelPcb.dll"},
               {PCB28_EXPORT_PROGRAM, "pcb28-export.exe"}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.Name);
    VersionInfo info;
    ASSERT_TRUE(Read(file.Path, info)) << "no version resource in " << file.Path;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(info.Numbers[i], expected[i]) << "file version part " << i;
      EXPECT_EQ(info.ProductNumbers[i], expected[i]) << "product version part " << i;
    }
    EXPECT_EQ(info.FileVersion, PCB28_VERSION);
    EXPECT_EQ(info.ProductVersion, PCB28_VERSION);
    EXPECT_EQ(info.ProductName, "pcb28");
    EXPECT_EQ(info.OriginalName, file.Name);
    EXPECT_GE(info.Description.size(), 20u) << info.Description;
  }
}

}  // namespace
