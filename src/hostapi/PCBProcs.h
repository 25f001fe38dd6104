// The entry-point table of the host PCB server, its binding and the wrappers
// through which every other part of the plug-in reaches the server.
//
// A wrapper takes the parameters of its entry point in the same order and
// widths. When the slot is bound it calls the server and returns what the
// server returns; when it is absent it calls nothing, touches no referenced
// storage and returns the fixed default of the entry-point list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "LenString.h"
#include "PcbApi.h"
#include "PcbApiEntryPoints.h"

namespace PCBProcs {

enum class EntryPoint : std::uint16_t {
#define PCBPROCS_ENUM_CALLED(name, absent, wrap) name,
#define PCBPROCS_ENUM_BOUND(name) name,
  PCBAPI_ENTRY_POINTS(PCBPROCS_ENUM_CALLED, PCBPROCS_ENUM_BOUND)
#undef PCBPROCS_ENUM_CALLED
#undef PCBPROCS_ENUM_BOUND
      Count
};

inline constexpr std::size_t kEntryPointCount = static_cast<std::size_t>(EntryPoint::Count);
static_assert(kEntryPointCount == 238, "the server exports 238 names the plug-in binds");

// The exact, case-sensitive name the server exports for a slot.
const char* EntryPointName(EntryPoint slot);
// True when the slot holds an address.
bool IsBound(EntryPoint slot);

// A name -> address lookup; nullptr means the name is not exported.
using EntryPointProvider = void* (*)(const char* name);

// Marks every slot absent, then fills each from the provider, one name after
// the other; a name the provider lacks leaves its slot absent.
void BindEntryPoints(EntryPointProvider provider);
// Binds from the server module that the host has already loaded, without
// loading it and without keeping a reference to it. No server: all absent.
void BindFromLoadedServer();
// Marks every slot absent.
void UnbindEntryPoints();

namespace detail {

using EntryAddress = void (*)();
extern EntryAddress g_Slots[kEntryPointCount];

// The arguments of a wrapper that copies its string (kWrapCopiesString): the
// string goes to the server as a copy of its own, every other argument as is.
template <typename T>
T PassArgument(T value, LenString&) {
  return value;
}
inline std::uint8_t* PassArgument(std::uint8_t* text, LenString& copy) {
  copy = LenString::CopyOf(text);
  return copy.Buffer();
}

template <EntryPoint E, auto Absent, unsigned Wrap, typename Fn>
struct Wrapper;

template <EntryPoint E, auto Absent, unsigned Wrap, typename R, typename... A>
struct Wrapper<E, Absent, Wrap, R(PCBAPI_CALL*)(A...)> {
  using Result = std::conditional_t<(Wrap & kWrapNoResult) != 0, void, R>;

  static Result Call(A... args) {
    auto entry = reinterpret_cast<R(PCBAPI_CALL*)(A...)>(g_Slots[static_cast<std::size_t>(E)]);
    if (entry == nullptr) {
      if constexpr (std::is_void_v<Result>) {
        return;
      } else {
        return static_cast<R>(Absent);
      }
    }
    if constexpr ((Wrap & kWrapCopiesString) != 0) {
      LenString copy;
      return static_cast<Result>(entry(PassArgument(args, copy)...));
    } else {
      return static_cast<Result>(entry(args...));
    }
  }
};

}  // namespace detail

// One wrapper per called entry point, under the entry point's own name:
// PCBProcs::PcbApi_QueryTrack(...) and so on.
#define PCBPROCS_WRAPPER(name, absent, wrap) \
  inline constexpr auto& name =              \
      detail::Wrapper<EntryPoint::name, absent, (wrap), decltype(&::name)>::Call;
#define PCBPROCS_NO_WRAPPER(name)
PCBAPI_ENTRY_POINTS(PCBPROCS_WRAPPER, PCBPROCS_NO_WRAPPER)
#undef PCBPROCS_WRAPPER
#undef PCBPROCS_NO_WRAPPER

// Degrees to radians: the factor pi/180 in extended precision, the product
// rounded to a 64-bit float.
double DegreesToRadians(double degrees);
// Mils to host units: mils * 10000.0 rounded to a 64-bit float, then to the
// nearest integer with halves to even; the low 32 bits are the result.
Coord MilsToCoord(double mils);

}  // namespace PCBProcs
