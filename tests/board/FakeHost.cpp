#include "FakeHost.h"

#include <map>

namespace fake {

std::vector<Call> g_Calls;

namespace {
std::map<std::string, void*, std::less<>> g_Registered;

void* Provide(const char* name) {
  const auto it = g_Registered.find(std::string_view{name});
  return it == g_Registered.end() ? nullptr : it->second;
}
}  // namespace

void Record(const char* name, std::initializer_list<long long> args) {
  g_Calls.push_back({name, args});
}

void Register(const char* name, void* address) { g_Registered[name] = address; }

void Bind() { PCBProcs::BindEntryPoints(&Provide); }

void Reset() {
  PCBProcs::UnbindEntryPoints();
  g_Registered.clear();
  g_Calls.clear();
}

std::string CallSummary() {
  std::string out;
  for (std::size_t i = 0; i < g_Calls.size();) {
    std::size_t j = i;
    while (j < g_Calls.size() && g_Calls[j].Name == g_Calls[i].Name) ++j;
    if (!out.empty()) out += ' ';
    out += g_Calls[i].Name;
    if (j - i > 1) out += '*' + std::to_string(j - i);
    i = j;
  }
  return out;
}

std::vector<Call> CallsOf(std::string_view name) {
  std::vector<Call> out;
  for (const Call& c : g_Calls)
    if (c.Name == name) out.push_back(c);
  return out;
}

}  // namespace fake
