// Entry points of components and polygons (board outlines answer as
// polygons).
#include <algorithm>
#include <utility>

#include "server/QuerySupport.h"

using namespace standin;

extern "C" {

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponent(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    HostLayer* layer, std::uint8_t* tag, ObjectHandle* nameText, ObjectHandle* commentText,
    std::uint8_t* pattern, std::uint8_t* byte1, std::uint8_t* byte2, Coord* x, Coord* y,
    std::int32_t* value, double* rotation, std::uint8_t* byte3) {
  RECORD(mode, object);
  return Query<Component>(mode, object, [&](const Exchange& xc, Component& c) {
    // The designator and comment texts belong to the component: set mode
    // takes them back unchanged only.
    if (!xc.get() && ((nameText != nullptr && *nameText != c.nameText) ||
                      (commentText != nullptr && *commentText != c.commentText)))
      return kBadLink;
    xc(flags, c.flags);
    xc(index, c.index);
    xc(layer, c.layer);
    xc(tag, c.tag);
    xc(nameText, c.nameText);
    xc(commentText, c.commentText);
    xc.Text(pattern, kPatternBufferSize, c.pattern);
    xc(byte1, c.byte1);
    xc(byte2, c.byte2);
    xc(x, c.x);
    xc(y, c.y);
    xc(value, c.value);
    xc(rotation, c.rotation);
    xc(byte3, c.byte3);
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentEx(QueryMode mode, ObjectHandle object,
                                                         std::int32_t* value1, std::uint8_t* byte1,
                                                         std::uint8_t* byte2,
                                                         std::int32_t* value2) {
  RECORD(mode, object);
  return Query<Component>(mode, object, [&](const Exchange& xc, Component& c) {
    xc(value1, c.exValue1);
    xc(byte1, c.exByte1);
    xc(byte2, c.exByte2);
    xc(value2, c.exValue2);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL
PcbApi_QueryComponentSourceLinks(QueryMode mode, ObjectHandle object, std::uint8_t* link1,
                                 std::uint8_t* link2, std::uint8_t* link3, std::uint8_t* link4,
                                 std::uint8_t* link5, std::uint8_t* link6, std::uint8_t* link7) {
  RECORD(mode, object);
  return Query<Component>(mode, object, [&](const Exchange& xc, Component& c) {
    std::uint8_t* links[7] = {link1, link2, link3, link4, link5, link6, link7};
    // The links are held out of line only once one is not empty: reading
    // them, or writing back empty ones, leaves a component without links as
    // it is.
    for (int i = 0; i < 7; ++i) {
      if (links[i] == nullptr) continue;
      if (xc.get()) {
        PutString(links[i], kNameBufferSize, std::as_const(c.sourceLinks)[i]);
      } else if (std::string link = TakeString(links[i], kNameBufferSize);
                 !link.empty() || c.sourceLinks.Held()) {
        c.sourceLinks[i] = std::move(link);
      }
    }
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentChannelOffset(QueryMode mode,
                                                                    ObjectHandle object,
                                                                    std::int32_t* channelOffset) {
  RECORD(mode, object);
  return QueryField(mode, object, channelOffset, &Component::channelOffset);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryComponentKind(QueryMode mode, ObjectHandle object,
                                                           std::uint8_t* componentKind) {
  RECORD(mode, object);
  return QueryField(mode, object, componentKind, &Component::componentKind);
}

PCBAPI_EXPORT Status PCBAPI_CALL
PcbApi_QueryPolygon(QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
                    HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, std::uint8_t* byte1,
                    std::uint8_t* byte2, std::uint8_t* byte3, Coord* value1, Coord* trackWidth,
                    std::uint8_t* byte4, std::uint8_t* styleCode, Coord* value3,
                    std::uint8_t* byte0, std::int32_t* segmentCount, PolygonSegments* segments) {
  RECORD(mode, object);
  return Query<Polygon>(mode, object, [&](const Exchange& xc, Polygon& p) {
    if (!xc.get()) {
      if (BadNet(p, net)) return kBadLink;
      // Entries 0 to count are read from the caller's array of 501.
      if (segmentCount != nullptr &&
          (*segmentCount < 0 || *segmentCount >= kPolygonSegmentCapacity))
        return kBadArgument;
    }
    Common(xc, p, {flags, index, layer, net, tag});
    xc(byte1, p.byte1);
    xc(byte2, p.byte2);
    xc(byte3, p.byte3);
    xc(value1, p.value1);
    xc(trackWidth, p.trackWidth);
    xc(byte4, p.byte4);
    xc(styleCode, p.styleCode);
    xc(value3, p.value3);
    xc(byte0, p.byte0);
    if (xc.get()) {
      // An outline longer than the caller's array is cut to its 501 entries.
      const std::size_t entries = std::min<std::size_t>(p.outline.size(), kPolygonSegmentCapacity);
      if (segmentCount != nullptr) {
        *segmentCount = entries == 0 ? 0 : static_cast<std::int32_t>(entries - 1);
      }
      // The whole array is written, zeros past the outline, as the host
      // does: a caller that reuses its array must not see another polygon's
      // entries.
      if (segments != nullptr) {
        std::copy_n(p.outline.begin(), entries, *segments);
        std::fill(*segments + entries, *segments + kPolygonSegmentCapacity, PolygonSegment{});
      }
    } else if (segmentCount != nullptr && segments != nullptr) {
      p.outline.assign(*segments, *segments + *segmentCount + 1);
    }
    return kOk;
  });
}

}  // extern "C"
