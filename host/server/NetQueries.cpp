// Entry points of nets, classes, rules, from-tos, coordinates and dimensions.
#include "server/QuerySupport.h"

using namespace standin;

namespace {

// The values that open the coordinate and dimension queries.
void Placement(const Exchange& xc, Primitive& p, std::uint16_t* flags, std::uint16_t* index,
               std::uint8_t* tag, Coord* x, Coord* y) {
  xc(flags, p.flags);
  xc(index, p.index);
  xc(tag, p.tag);
  xc(x, p.x);
  xc(y, p.y);
}

}  // namespace

extern "C" {

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryNet(QueryMode mode, ObjectHandle object,
                                                 std::uint16_t* index, std::uint8_t* name,
                                                 std::uint8_t* netByte, std::uint32_t* netValue) {
  RECORD(mode, object);
  return Query<Net>(mode, object, [&](const Exchange& xc, Net& n) {
    xc(index, n.index);
    xc.Text(name, kNameBufferSize, n.name);
    xc(netByte, n.netByte);
    xc(netValue, n.netValue);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryClass(QueryMode mode, ObjectHandle object,
                                                   std::uint16_t* index, std::uint8_t* byte1,
                                                   std::uint8_t* byte2, std::uint8_t* name) {
  RECORD(mode, object);
  return Query<ObjectClass>(mode, object, [&](const Exchange& xc, ObjectClass& c) {
    xc(index, c.index);
    xc(byte1, c.byte1);
    xc(byte2, c.byte2);
    xc.Text(name, kNameBufferSize, c.name);
  });
}

PCBAPI_EXPORT std::int32_t PCBAPI_CALL PcbApi_GetMemberFromClassAt(ObjectHandle classObject,
                                                                   std::int32_t index,
                                                                   std::uint8_t* name) {
  RECORD(classObject, index);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  const std::string* member = c != nullptr ? EntryAt(c->members, index) : nullptr;
  if (member == nullptr) return 1;
  PutString(name, kNameBufferSize, *member);
  return 0;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_AddMemberToClass(ObjectHandle classObject,
                                                         std::uint8_t* memberName) {
  RECORD(classObject);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  if (c == nullptr) return kBadHandle;
  c->members.push_back(TakeString(memberName, kNameBufferSize));
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_RemoveAllMembersFromClass(ObjectHandle classObject) {
  RECORD(classObject);
  ObjectClass* c = S().Get<ObjectClass>(classObject);
  if (c == nullptr) return kBadHandle;
  c->members.clear();
  return kOk;
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryRule(
    QueryMode mode, ObjectHandle object, std::uint8_t* ruleKind, std::uint8_t* byte1,
    std::uint8_t* byte2, std::uint8_t* byte3, std::uint8_t* byte4, std::uint8_t* byte5,
    std::uint8_t* byte6, std::uint8_t* text1a, std::uint8_t* text1b, std::uint8_t* text1c,
    std::uint8_t* text1d, std::uint8_t* byte7, std::uint8_t* byte8, std::int32_t* value1,
    std::int32_t* value2, std::int32_t* value3, std::int32_t* value4, std::uint8_t* text2a,
    std::uint8_t* text2b, std::uint8_t* text2c, std::uint8_t* text2d, std::uint8_t* text2e,
    std::uint8_t* text2f) {
  RECORD(mode, object);
  return Query<Rule>(mode, object, [&](const Exchange& xc, Rule& r) {
    xc(ruleKind, r.ruleKind);
    xc.Each(r.bytes, byte1, byte2, byte3, byte4, byte5, byte6);
    xc.EachText(r.texts1, kNameBufferSize, text1a, text1b, text1c, text1d);
    xc(byte7, r.bytes[6]);
    xc(byte8, r.bytes[7]);
    xc.Each(r.numbers, value1, value2, value3, value4);
    xc.EachText(r.texts2, kNameBufferSize, text2a, text2b, text2c, text2d, text2e, text2f);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryFromTo(QueryMode mode, ObjectHandle object,
                                                    std::uint16_t* index, Coord* x, Coord* y,
                                                    std::uint8_t* fromByte, Coord* x2, Coord* y2,
                                                    std::uint8_t* toByte, ObjectHandle* net) {
  RECORD(mode, object);
  return Query<FromTo>(mode, object, [&](const Exchange& xc, FromTo& f) {
    if (!xc.get() && BadNet(f, net)) return kBadLink;
    xc(index, f.index);
    xc(x, f.x);
    xc(y, f.y);
    xc(fromByte, f.fromByte);
    xc(x2, f.x2);
    xc(y2, f.y2);
    xc(toByte, f.toByte);
    if (!xc.get() && net != nullptr && *net != f.net) S().InvalidateNetMembers();
    xc(net, f.net);
    return kOk;
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryManualFromTo(QueryMode mode, ObjectHandle object,
                                                          std::uint16_t* index, std::uint8_t* text1,
                                                          std::uint8_t* text2, std::uint8_t* text3,
                                                          std::int32_t* value) {
  RECORD(mode, object);
  return Query<ManualFromTo>(mode, object, [&](const Exchange& xc, ManualFromTo& m) {
    xc(index, m.index);
    xc.EachText(m.texts, kNameBufferSize, text1, text2, text3);
    xc(value, m.value);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryCoordinate(QueryMode mode, ObjectHandle object,
                                                        std::uint16_t* flags, std::uint16_t* index,
                                                        std::uint8_t* tag, Coord* x, Coord* y,
                                                        HostLayer* layer, Coord* value1,
                                                        Coord* value2, Coord* value3, Coord* value4,
                                                        Coord* value5, Coord* value6) {
  RECORD(mode, object);
  return Query<Coordinate>(mode, object, [&](const Exchange& xc, Coordinate& c) {
    Placement(xc, c, flags, index, tag, x, y);
    xc(layer, c.layer);
    xc.Each(c.values, value1, value2, value3, value4, value5, value6);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryDimension(
    QueryMode mode, ObjectHandle object, std::uint16_t* flags, std::uint16_t* index,
    std::uint8_t* tag, Coord* x, Coord* y, std::int32_t* value1, std::int32_t* value2,
    HostLayer* layer, std::int32_t* value3, std::int32_t* value4, std::int32_t* value5,
    std::int32_t* value6, std::int32_t* value7, std::uint8_t* byte1) {
  RECORD(mode, object);
  return Query<Dimension>(mode, object, [&](const Exchange& xc, Dimension& d) {
    Placement(xc, d, flags, index, tag, x, y);
    xc(value1, d.value1);
    xc(value2, d.value2);
    xc(layer, d.layer);
    xc(value3, d.value3);
    xc(value4, d.value4);
    xc(value5, d.value5);
    xc(value6, d.value6);
    xc(value7, d.value7);
    xc(byte1, d.byte1);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_QueryExtDimension(
    QueryMode mode, ObjectHandle object, std::uint8_t* dimensionCode, std::int32_t* value1,
    std::int32_t* value2, std::int32_t* ext1, std::uint8_t* extByte1, std::int32_t* ext2,
    std::uint8_t* extText1, std::uint8_t* extByte2, std::int32_t* ext3, std::uint8_t* extText2,
    std::uint8_t* extText3, double* ext8Bytes, std::int32_t* ext4, std::int32_t* ext5,
    std::int32_t* ext6, std::uint8_t* extByte3, std::int32_t* ext7, std::int32_t* ext8,
    std::int32_t* ext9) {
  RECORD(mode, object);
  return Query<Dimension>(mode, object, [&](const Exchange& xc, Dimension& d) {
    xc(dimensionCode, d.dimensionCode);
    xc(value1, d.extValue1);
    xc(value2, d.extValue2);
    xc(ext1, d.ext1);
    xc(extByte1, d.extByte1);
    xc(ext2, d.ext2);
    xc.Text(extText1, kNameBufferSize, d.extText1);
    xc(extByte2, d.extByte2);
    xc(ext3, d.ext3);
    xc.Text(extText2, kNameBufferSize, d.extText2);
    xc.Text(extText3, kNameBufferSize, d.extText3);
    xc(ext8Bytes, d.ext8Bytes);
    xc(ext4, d.ext4);
    xc(ext5, d.ext5);
    xc(ext6, d.ext6);
    xc(extByte3, d.extByte3);
    xc(ext7, d.ext7);
    xc(ext8, d.ext8);
    xc(ext9, d.ext9);
  });
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_References_Count(ObjectHandle object, std::int32_t* count) {
  RECORD(object);
  return AnswerCount(object, count, &Dimension::references);
}

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_References_At(QueryMode mode, ObjectHandle object,
                                                      std::int32_t index, std::int32_t* value1,
                                                      std::int32_t* value2, std::int32_t* value3,
                                                      std::int32_t* value4) {
  RECORD(mode, object, index);
  return Query<Dimension>(mode, object, [&](const Exchange& xc, Dimension& d) {
    auto* reference = EntryAt(d.references, index);
    if (reference == nullptr) return kBadArgument;
    xc.Each(*reference, value1, value2, value3, value4);
    return kOk;
  });
}

}  // extern "C"
