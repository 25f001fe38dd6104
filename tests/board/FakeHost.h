// A small fake server for the board tests: entry points registered by name
// (captureless lambdas, each called through a function of the entry point's
// exact type and calling convention), a record of the calls they make, and
// binding of the plug-in's table from them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
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

// A lambda cannot become a pointer to a function of the boundary's calling
// convention (stdcall on 32-bit Windows), so each fake is called through a
// function of that convention made for its lambda type: captureless lambdas
// are default-constructible.
template <typename Lambda, typename Result, typename... Args>
Result PCBAPI_CALL CallFake(Args... args) {
  return Lambda{}(args...);
}

template <typename Lambda, typename Result, typename... Args>
void* FakeEntry(Result(PCBAPI_CALL*)(Args...)) {
  // What a lambda converts to takes exactly its parameters and result.
  static_assert(std::is_convertible_v<Lambda, Result (*)(Args...)>,
                "a fake takes exactly its entry point's parameters and result");
  return reinterpret_cast<void*>(&CallFake<Lambda, Result, Args...>);
}

template <typename EntryPointer, typename Lambda>
void* AddressOf(Lambda) {
  return FakeEntry<Lambda>(EntryPointer{});
}

// Test fixture: every test starts and ends with an unbound, empty fake host.
class FakeHostTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

}  // namespace fake

// FAKE_ENTRY(PcbApi_Xxx, [](...) -> R { ... }): the lambda must take the entry
// point's exact parameters and result, so a fake with a drifted signature
// fails to compile.
#define FAKE_ENTRY(name, ...) \
  ::fake::Register(#name, ::fake::AddressOf<decltype(&::name)>(__VA_ARGS__))
