// Host answers at the edge of what the plug-in can hold, which the stand-in
// server's model cannot give: a class member walk that never ends, a polygon
// segment count far outside the outline array, a dimension reference count
// beyond the reference array. Small fakes chained in front of the server;
// shared by the hardening tests and the export fuzz target.
#pragma once

#include <cstdint>
#include <string_view>

#include "PcbApi.h"
#include "server/StandInBoard.h"

namespace edgeanswers {

// Which fakes answer, what they answer, and how often the member walk asked.
struct Answers {
  bool endlessMembers = false;
  bool forceSegmentCount = false;
  std::int32_t segmentCount = 0;
  bool forceReferenceCount = false;
  std::int32_t referenceCount = 0;
  std::int64_t memberCalls = 0;
};
inline Answers g_Answers;

// Every index has a member: the walk never hears 1.
inline std::int32_t PCBAPI_CALL EndlessMembers(ObjectHandle, std::int32_t, std::uint8_t* name) {
  ++g_Answers.memberCalls;
  if (name != nullptr) {
    name[0] = 1;
    name[1] = 'M';
  }
  return 0;
}

// The server's polygon, with the segment count replaced in get mode.
inline Status PCBAPI_CALL
ForcedSegmentCount(QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
                   HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, std::uint8_t* byte1,
                   std::uint8_t* byte2, std::uint8_t* byte3, Coord* value1, Coord* trackWidth,
                   std::uint8_t* byte4, std::uint8_t* styleCode, Coord* value3, std::uint8_t* byte0,
                   std::int32_t* segmentCount, PolygonSegments* segments) {
  const Status status =
      PcbApi_QueryPolygon(mode, object, flags, index, layer, net, tag, byte1, byte2, byte3, value1,
                          trackWidth, byte4, styleCode, value3, byte0, segmentCount, segments);
  if (mode == kQueryGet && segmentCount != nullptr) *segmentCount = g_Answers.segmentCount;
  return status;
}

inline Status PCBAPI_CALL ForcedReferenceCount(ObjectHandle, std::int32_t* count) {
  if (count != nullptr) *count = g_Answers.referenceCount;
  return 0;
}

// The server's own entry points, with the chosen fakes in front; a hidden
// name stays absent.
inline void* Provider(const char* name) {
  void* real = StandIn_EntryPoint(name);
  if (real == nullptr) return nullptr;
  const std::string_view n(name);
  if (g_Answers.endlessMembers && n == "PcbApi_GetMemberFromClassAt")
    return reinterpret_cast<void*>(&EndlessMembers);
  if (g_Answers.forceSegmentCount && n == "PcbApi_QueryPolygon")
    return reinterpret_cast<void*>(&ForcedSegmentCount);
  if (g_Answers.forceReferenceCount && n == "PcbApi_References_Count")
    return reinterpret_cast<void*>(&ForcedReferenceCount);
  return real;
}

}  // namespace edgeanswers
