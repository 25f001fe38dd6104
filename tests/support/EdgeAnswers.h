// Host answers that break what a host promises or sit at the edge of what
// the plug-in can hold, which the stand-in server's model cannot give: a
// class member walk that never ends, a polygon segment count far outside the
// outline array, a dimension reference count beyond the reference array,
// length bytes beyond their buffers, a failing or absurd layer pair count, a
// kind query that names another kind, iterators that never end. Small fakes
// chained in front of the server; shared by the hardening tests and the
// export fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>

#include "PcbApi.h"
#include "server/StandInBoard.h"

namespace edgeanswers {

// How a walk goes on after the server's last object: it ends (0), yields
// its last handle again for ever (an empty walk stays empty), or yields
// handles never seen for ever.
enum class Endless : std::uint8_t { No, Repeating, Fresh };

// How the kind query answers: truly, one kind for every handle, or the true
// kind shifted by kindValue (mod 23).
enum class KindLie : std::uint8_t { No, Fixed, Shifted };

// Which fakes answer, what they answer, and what they saw.
struct Answers {
  bool endlessMembers = false;
  bool forceSegmentCount = false;
  std::int32_t segmentCount = 0;
  bool forceReferenceCount = false;
  std::int32_t referenceCount = 0;
  // Length bytes of the pad name, text and component pattern buffers.
  bool forceLengthByte = false;
  std::uint8_t lengthByte = 255;
  bool forcePairCount = false;
  Status pairCountStatus = 0;
  std::int32_t pairCount = 0;
  KindLie kindLie = KindLie::No;
  std::uint8_t kindValue = 0;
  // Walks over the board, a component and a net.
  Endless boardWalks = Endless::No;
  Endless componentWalks = Endless::No;
  Endless netWalks = Endless::No;

  std::int64_t memberCalls = 0;
  std::int64_t endlessYields = 0;  // handles the endless walks made up

  struct Walk {
    Endless mode = Endless::No;
    ObjectHandle last = 0;
  };
  std::unordered_map<ObjectHandle, Walk> walks;  // by open iterator
  ObjectHandle nextFresh = 0x40000000;           // above the server's object handles
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

// The server's query Real, whose argument Buffer is a text buffer: in get
// mode its length byte is replaced, whatever the buffer's size (only that
// byte is written).
template <auto Real, std::size_t Buffer>
struct LongLength;
template <typename... Args, Status(PCBAPI_CALL* Real)(Args...), std::size_t Buffer>
struct LongLength<Real, Buffer> {
  static_assert(std::is_same_v<std::tuple_element_t<Buffer, std::tuple<Args...>>, std::uint8_t*>);
  static Status PCBAPI_CALL Call(Args... args) {
    const Status status = Real(args...);
    std::uint8_t* buffer = std::get<Buffer>(std::tie(args...));
    if (std::get<0>(std::tie(args...)) == kQueryGet && buffer != nullptr)
      buffer[0] = g_Answers.lengthByte;
    return status;
  }
};

inline Status PCBAPI_CALL ForcedPairCount(ObjectHandle, std::int32_t* count) {
  if (count != nullptr) *count = g_Answers.pairCount;
  return g_Answers.pairCountStatus;
}

inline ObjectKindCode PCBAPI_CALL LyingKind(ObjectHandle object) {
  if (g_Answers.kindLie == KindLie::Fixed) return g_Answers.kindValue;
  const int truth = PcbApi_GetObjectIdFromObjectHandle(object);
  return static_cast<ObjectKindCode>((truth + g_Answers.kindValue) % 23);
}

// ---- iterators that never end: the server's walk first, then made-up handles.

inline ObjectHandle PCBAPI_CALL EndlessCreate(ObjectHandle owner, ObjectKindCode kind,
                                              IterationMethod method, HostLayer layer) {
  const ObjectHandle it = PcbApi_CreateIterator(owner, kind, method, layer);
  standin::Server& server = standin::TheServer();
  Endless mode = Endless::No;
  if (server.Get<standin::Board>(owner) != nullptr)
    mode = g_Answers.boardWalks;
  else if (server.Get<standin::Component>(owner) != nullptr)
    mode = g_Answers.componentWalks;
  else if (server.Get<standin::Net>(owner) != nullptr)
    mode = g_Answers.netWalks;
  if (it != 0) g_Answers.walks[it] = {mode, 0};
  return it;
}

inline ObjectHandle GoOn(ObjectHandle it, ObjectHandle fromServer) {
  const auto found = g_Answers.walks.find(it);
  if (found == g_Answers.walks.end()) return fromServer;
  Answers::Walk& walk = found->second;
  if (fromServer != 0 || walk.mode == Endless::No) return walk.last = fromServer;
  if (walk.mode == Endless::Repeating) {
    if (walk.last != 0) ++g_Answers.endlessYields;
    return walk.last;
  }
  ++g_Answers.endlessYields;
  if (g_Answers.nextFresh == 0x7FFFFFFF) g_Answers.nextFresh = 0x40000000;
  return g_Answers.nextFresh++;
}

inline ObjectHandle PCBAPI_CALL EndlessFirst(ObjectHandle it) {
  return GoOn(it, PcbApi_GetFirstObject(it));
}

inline ObjectHandle PCBAPI_CALL EndlessNext(ObjectHandle it) {
  return GoOn(it, PcbApi_GetNextObject(it));
}

inline Status PCBAPI_CALL EndlessDestroy(ObjectHandle it) {
  g_Answers.walks.erase(it);
  return PcbApi_DestroyIterator(it);
}

// The server's own entry points, with the chosen fakes in front; a hidden
// name stays absent.
inline void* Provider(const char* name) {
  void* real = StandIn_EntryPoint(name);
  if (real == nullptr) return nullptr;
  const Answers& a = g_Answers;
  const std::string_view n(name);
  auto fake = [](auto* function) { return reinterpret_cast<void*>(function); };
  if (a.endlessMembers && n == "PcbApi_GetMemberFromClassAt") return fake(&EndlessMembers);
  if (a.forceSegmentCount && n == "PcbApi_QueryPolygon") return fake(&ForcedSegmentCount);
  if (a.forceReferenceCount && n == "PcbApi_References_Count") return fake(&ForcedReferenceCount);
  if (a.forceLengthByte) {
    if (n == "PcbApi_QueryPad") return fake(&LongLength<&PcbApi_QueryPad, 20>::Call);
    if (n == "PcbApi_QueryText") return fake(&LongLength<&PcbApi_QueryText, 14>::Call);
    if (n == "PcbApi_QueryComponent") return fake(&LongLength<&PcbApi_QueryComponent, 8>::Call);
  }
  if (a.forcePairCount && n == "PcbApi_QueryBoardLayerPairsCount") return fake(&ForcedPairCount);
  if (a.kindLie != KindLie::No && n == "PcbApi_GetObjectIdFromObjectHandle")
    return fake(&LyingKind);
  if (a.boardWalks != Endless::No || a.componentWalks != Endless::No || a.netWalks != Endless::No) {
    if (n == "PcbApi_CreateIterator") return fake(&EndlessCreate);
    if (n == "PcbApi_GetFirstObject") return fake(&EndlessFirst);
    if (n == "PcbApi_GetNextObject") return fake(&EndlessNext);
    if (n == "PcbApi_DestroyIterator") return fake(&EndlessDestroy);
  }
  return real;
}

}  // namespace edgeanswers
