// Basic types of the board object model: object kinds and kind sets, sets of
// layer codes, and the length-prefixed strings exchanged with the host.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "HostLayers.h"
#include "PcbApi.h"

// The host's object id of a handle. Kinds 16 to 20 and 22 and above have no
// class of their own.
enum ObjectKind : std::uint8_t {
  NoObject = 0,
  ArcObject = 1,
  PadObject = 2,
  ViaObject = 3,
  TrackObject = 4,
  TextObject = 5,
  FillObject = 6,
  FromToObject = 7,
  NetObject = 8,
  ComponentObject = 9,
  PolygonObject = 10,
  DimensionObject = 11,
  CoordinateObject = 12,
  ClassObject = 13,
  RuleObject = 14,
  ManualFromToObject = 15,
  BoardOutlineObject = 21,
};

// A set of kinds: bit n stands for kind n.
using KindMask = std::uint32_t;

constexpr KindMask MaskOf(ObjectKind kind) { return kind < 32 ? KindMask{1} << kind : KindMask{0}; }

// Kinds above this one are never iterated, whatever the mask holds.
inline constexpr int kLastIteratedKind = 20;

// A set over the layer codes 0 to 87, bit n for code n, eleven bytes.
struct LayerSet {
  static constexpr int kCodeCount = 88;
  std::uint8_t Bits[kCodeCount / 8] = {};

  constexpr bool Contains(int code) const {
    if (code < 0 || code >= kCodeCount) return false;
    return (Bits[code / 8] >> (code % 8)) & 1u;
  }
  constexpr LayerSet& Add(int code) {
    if (code >= 0 && code < kCodeCount)
      Bits[code / 8] |= static_cast<std::uint8_t>(1u << (code % 8));
    return *this;
  }
  constexpr LayerSet& AddRange(int first, int last) {
    for (int code = first; code <= last; ++code) Add(code);
    return *this;
  }

  static constexpr LayerSet Of(int code) { return LayerSet{}.Add(code); }
  // {0}: one host iterator per kind that yields every object of the kind.
  static constexpr LayerSet NoLayerOnly() { return Of(kNoLayer); }
  // {1 to 82}: one host iterator per board layer.
  static constexpr LayerSet BoardLayers() { return LayerSet{}.AddRange(kTopLayer, kLastHostLayer); }
};
static_assert(sizeof(LayerSet) == 11);

// A length byte followed by room for N 8-bit characters, no terminator, the
// layout the host reads and writes. A length byte above N (from a host that
// overstates it) is read as N, so nothing past the buffer is ever read.
template <std::size_t N>
struct ShortString {
  static_assert(N >= 1 && N <= 255);
  static constexpr std::size_t kCapacity = N;

  std::uint8_t Length = 0;
  std::uint8_t Chars[N] = {};

  // The whole buffer (length byte first), as handed to a host query.
  std::uint8_t* Buffer() { return &Length; }
  const std::uint8_t* Buffer() const { return &Length; }

  std::size_t Size() const { return std::min<std::size_t>(Length, N); }
  bool Empty() const { return Size() == 0; }
  std::string_view View() const { return {reinterpret_cast<const char*>(Chars), Size()}; }

  void Clear() { Length = 0; }
  // Stores at most the first N characters of text.
  void Assign(std::string_view text) {
    const std::size_t n = std::min(text.size(), N);
    if (n != 0) std::memcpy(Chars, text.data(), n);
    Length = static_cast<std::uint8_t>(n);
  }
  // Appends as much of text as still fits.
  void Append(std::string_view text) {
    const std::size_t used = Size();
    const std::size_t n = std::min(text.size(), N - used);
    if (n != 0) std::memcpy(Chars + used, text.data(), n);
    Length = static_cast<std::uint8_t>(used + n);
  }

  friend bool operator==(const ShortString& a, std::string_view b) { return a.View() == b; }
};

using LenString = ShortString<255>;
static_assert(sizeof(LenString) == 256);
static_assert(sizeof(ShortString<20>) == 21);
static_assert(sizeof(ShortString<254>) == 255);
static_assert(sizeof(ShortString<250>) == 251);
