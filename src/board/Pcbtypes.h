// Basic types of the board object model: object kinds and kind sets and sets
// of layer codes. The length-prefixed strings exchanged with the host come
// from the contract (LenString.h).
#pragma once

#include <cstdint>

#include "HostLayers.h"
#include "LenString.h"
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

// The host's text buffers, each a ShortString of its own size.
static_assert(sizeof(ShortString<kTextBufferSize - 1>) == kTextBufferSize);
static_assert(sizeof(ShortString<kPatternBufferSize - 1>) == kPatternBufferSize);
static_assert(sizeof(ShortString<kPadNameBufferSize - 1>) == kPadNameBufferSize);
