#include "hostapi/PCBProcs.h"

#include <cmath>

#include "hostapi/ServerModule.h"

namespace PCBProcs {

namespace detail {
EntryAddress g_Slots[kEntryPointCount] = {};
}  // namespace detail

namespace {

constexpr const char* kEntryPointNames[kEntryPointCount] = {
#define PCBPROCS_NAME_CALLED(name, absent, wrap) #name,
#define PCBPROCS_NAME_BOUND(name) #name,
    PCBAPI_ENTRY_POINTS(PCBPROCS_NAME_CALLED, PCBPROCS_NAME_BOUND)
#undef PCBPROCS_NAME_CALLED
#undef PCBPROCS_NAME_BOUND
};

void* g_Module = nullptr;

void* ExportOfModule(const char* name) { return ServerModuleExport(g_Module, name); }

void BindModule(void* module) {
  g_Module = module;
  BindEntryPoints(&ExportOfModule);
  g_Module = nullptr;
}

}  // namespace

const char* EntryPointName(EntryPoint slot) {
  return kEntryPointNames[static_cast<std::size_t>(slot)];
}

bool IsBound(EntryPoint slot) { return detail::g_Slots[static_cast<std::size_t>(slot)] != nullptr; }

void UnbindEntryPoints() {
  for (auto& slot : detail::g_Slots) slot = nullptr;
}

void BindEntryPoints(EntryPointProvider provider) {
  UnbindEntryPoints();
  if (provider == nullptr) return;
  for (std::size_t i = 0; i < kEntryPointCount; ++i)
    detail::g_Slots[i] = reinterpret_cast<detail::EntryAddress>(provider(kEntryPointNames[i]));
}

void BindFromLoadedServer() {
  if (!WithLoadedServerModule(&BindModule)) UnbindEntryPoints();
}

double DegreesToRadians(double degrees) {
  return static_cast<double>(static_cast<long double>(degrees) * 0.017453292519943295769L);
}

Coord MilsToCoord(double mils) {
  const double product = mils * 10000.0;
  if (!std::isfinite(product)) return 0;
  // nearbyint rounds halves to even in the default rounding mode; fmod of an
  // integral value by 2^32 is exact, which gives the low 32 bits.
  double low = std::fmod(std::nearbyint(product), 4294967296.0);
  if (low < 0) low += 4294967296.0;
  return static_cast<Coord>(static_cast<std::uint32_t>(low));
}

}  // namespace PCBProcs
