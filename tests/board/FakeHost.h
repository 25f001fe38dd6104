// A small fake server for the board tests: entry points registered by name
// (captureless lambdas converted to the exact entry-point type), a record of
// the calls they make, and binding of the plug-in's table from them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/PCBProcs.h"

namespace fake {

struct Call {
  std::string Name;
  std::vector<long long> Args;
};

// Calls recorded by the fakes, in order.
extern std::vector<Call> g_Calls;

void Record(const char* name, std::initializer_list<long long> args = {});
void Register(const char* name, void* address);
// Binds the plug-in's table: registered names get their fake, all others none.
void Bind();
// Forgets every registered fake and recorded call and unbinds the table.
void Reset();

// The recorded names with runs of the same name folded: "A B*82 C".
std::string CallSummary();
// The calls of one name.
std::vector<Call> CallsOf(std::string_view name);

// Writes a length-prefixed string into a host buffer.
inline void WriteLenString(std::uint8_t* buffer, std::string_view text) {
  buffer[0] = static_cast<std::uint8_t>(text.size());
  std::memcpy(buffer + 1, text.data(), text.size());
}

template <typename EntryPointer>
void* AddressOf(EntryPointer fn) {
  return reinterpret_cast<void*>(fn);
}

// Test fixture: every test starts and ends with an unbound, empty fake host.
class FakeHostTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

}  // namespace fake

// FAKE_ENTRY(PcbApi_Xxx, [](...) { ... }): the lambda must convert to the
// entry point's exact type, so a fake with a drifted signature fails to compile.
#define FAKE_ENTRY(name, ...) \
  ::fake::Register(#name, ::fake::AddressOf<decltype(&::name)>(__VA_ARGS__))
