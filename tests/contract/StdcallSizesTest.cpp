// The bytes of arguments of every function of the host boundary on 32-bit
// Windows (the N of its stdcall name Name@N), worked out from the declared
// parameter types, against a table worked out by hand from the parameter
// lists. The plug-in and the server compile from the same declarations, so
// only an independent table shows a parameter gone missing or a value
// passed in the wrong width. The 32-bit build also holds the linked DLLs
// against the same table (windows.StdcallSizes).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>

#include "PcbApi.h"
#include "PcbApiEntryPoints.h"
#include "PluginExports.h"

namespace {

// What one argument of type T takes on the 32-bit stack: a reference or a
// value of up to 32 bits 4 bytes, a 64-bit value 8.
template <typename T>
constexpr int StackBytes() {
  static_assert(std::is_pointer_v<T> || std::is_arithmetic_v<T>,
                "arguments of the boundary are references or numbers");
  return std::is_pointer_v<T> || sizeof(T) <= 4 ? 4 : 8;
}

template <typename Result, typename... Args>
constexpr int StdcallBytes(Result(PCBAPI_CALL*)(Args...)) {
  return (0 + ... + StackBytes<Args>());
}

// Every called entry point and export with its bytes, from the declarations.
std::map<std::string, int> Declared() {
  std::map<std::string, int> bytes;
#define PCB28_DECLARED(name, absent, wrap) bytes[#name] = StdcallBytes(decltype(&name){});
  PCBAPI_ENTRY_POINTS(PCB28_DECLARED, PCBAPI_NOT_COUNTED)
#undef PCB28_DECLARED
  bytes["GetPcbExporterDescription"] = StdcallBytes(GetPcbExporterDescriptionFn{});
  bytes["RecognisedPcbFormat"] = StdcallBytes(RecognisedPcbFormatFn{});
  bytes["ExportFileFromPcb"] = StdcallBytes(ExportFileFromPcbFn{});
  return bytes;
}

// The table: "Name N" lines; blank lines and lines from # on are left out.
std::map<std::string, int> Table() {
  std::ifstream in(PCB28_TEST_DATA "/stdcall-argument-sizes.txt");
  EXPECT_TRUE(in) << "cannot read the table";
  std::map<std::string, int> bytes;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string name, rest;
    int n = -1;
    if (!(fields >> name)) continue;
    EXPECT_TRUE(fields >> n && n >= 0 && n % 4 == 0 && !(fields >> rest))
        << "line " << number << " is not \"Name N\": " << line;
    EXPECT_TRUE(bytes.emplace(name, n).second) << name << " twice in the table";
  }
  return bytes;
}

TEST(StdcallSizesTest, DeclaredArgumentBytesAreTheTables) {
  const std::map<std::string, int> table = Table();
  const std::map<std::string, int> declared = Declared();
  ASSERT_EQ(declared.size(), 74u + 3u);
  EXPECT_EQ(table.size(), 74u + 3u);
  for (const auto& [name, bytes] : declared) {
    const auto it = table.find(name);
    if (it == table.end())
      ADD_FAILURE() << name << " is missing from the table";
    else
      EXPECT_EQ(bytes, it->second) << name << "@N: N from the declaration, then the table's";
  }
  for (const auto& [name, bytes] : table)
    EXPECT_TRUE(declared.count(name)) << name << " is in the table but declared nowhere";
}

}  // namespace
