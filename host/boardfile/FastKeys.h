// The keys the streaming reader knows, one set a kind of object. A key's
// number is its position in its set; the enums name the positions the
// reader refers to by name.
#pragma once

#include "boardfile/FastFields.h"

namespace boardfile::fast {

// The common block of the primitives, the first keys of their sets.
enum CommonKey { kLayer, kNet, kTag, kFlags, kIndex, kBits2, kBits3, kCommonCount };

// Positions in kTopKeys.
enum TopKey {
  kVersion,
  kBoard,
  kLayers,
  kStack,
  kLayerPairs,
  kNets,
  kClasses,
  kRules,
  kComponents,
  kPolygons,
  kOutlines,
  kTracks,
  kArcs,
  kVias,
  kFills,
  kTexts,
  kPads,
  kFromTos,
  kManualFromTos,
  kCoordinates,
  kDimensions
};
// Positions in kComponentKeys past the common block.
enum ComponentKey {
  kCX = kCommonCount,
  kCY,
  kPattern,
  kCRotation,
  kCBytes,
  kValue,
  kChannelOffset,
  kComponentKind,
  kEx,
  kSourceLinks,
  kDesignator,
  kComment,
  kCTracks,
  kCArcs,
  kCPads,
  kCFills,
  kCVias,
  kCTexts
};
// Positions in kRuleKeys.
enum RuleKey {
  kKind,
  kPriority,
  kScope,
  kValues,
  kRLayers,
  kRBytes,
  kTexts1,
  kNumbers,
  kTexts2,
  kRBits2,
  kRBits3
};

extern const KeySet kTopKeys;
extern const KeySet kTrackKeys;
extern const KeySet kArcKeys;
extern const KeySet kViaKeys;
extern const KeySet kFillKeys;
extern const KeySet kTextKeys;
extern const KeySet kPadKeys;
extern const KeySet kLevelKeys;
extern const KeySet kComponentKeys;
extern const KeySet kAreaKeys;
extern const KeySet kOutlineEntryKeys;
extern const KeySet kOutlineArcKeys;
extern const KeySet kNetKeys;
extern const KeySet kClassKeys;
extern const KeySet kRuleKeys;
extern const KeySet kScopeKeys;
extern const KeySet kFromToKeys;
extern const KeySet kManualFromToKeys;
extern const KeySet kCoordinateKeys;
extern const KeySet kDimensionKeys;
extern const KeySet kBoardKeys;
extern const KeySet kDielectricKeys;
extern const KeySet kLayerKeys;
extern const KeySet kLayerPairKeys;

}  // namespace boardfile::fast
