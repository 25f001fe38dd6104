#include "board/PcbGroups.h"

// ---- component

Status TPcbComponent::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  PCBProcs::PcbApi_QueryComponentChannelOffset(mode, Handle, &ChannelOffset);
  PCBProcs::PcbApi_QueryComponentKind(mode, Handle, &ComponentKind);
  const Status status = PCBProcs::PcbApi_QueryComponent(
      mode, Handle, &Flags, &Index, &Layer, &Tag, &NameTextHandle, &CommentTextHandle,
      Pattern.Buffer(), &ComponentByte1, &ComponentByte2, &X, &Y, &ComponentValue, &Rotation,
      &ComponentByte3);
  PCBProcs::PcbApi_QueryComponentEx(mode, Handle, &ExValue1, &ExByte1, &ExByte2, &ExValue2);
  PCBProcs::PcbApi_QueryComponentSourceLinks(mode, Handle, SourceLinks[0].Buffer(),
                                             SourceLinks[1].Buffer(), SourceLinks[2].Buffer(),
                                             SourceLinks[3].Buffer(), SourceLinks[4].Buffer(),
                                             SourceLinks[5].Buffer(), SourceLinks[6].Buffer());
  return status;
}

void TPcbComponent::GetName(LenString& out) const { out = ObjectName(NameTextHandle); }

void TPcbComponent::IterateMembers(ObjectCallback callback, KindMask kinds,
                                   const LayerSet& layers) const {
  board_detail::WalkOwner(Handle, kinds, layers, 0, hostbounds::kComponentWalk,
                          [callback](ObjectHandle h) { callback(h); });
}

void TPcbComponent::IterateMembers(ObjectContextCallback callback, void* context, KindMask kinds,
                                   const LayerSet& layers) const {
  board_detail::WalkOwner(Handle, kinds, layers, 0, hostbounds::kComponentWalk,
                          [callback, context](ObjectHandle h) { callback(context, h); });
}

// ---- polygon

Status TPcbPolygon::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  const Status status = PCBProcs::PcbApi_QueryPolygon(
      mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag, &PolygonByte1, &PolygonByte2,
      &PolygonByte3, &PolygonValue1, &TrackWidth, &PolygonByte4, &StyleCode, &PolygonValue3,
      &PolygonByte0, &SegmentCount, &Segments);
  if (mode == kQueryGet) {
    if (SegmentCount < 0) SegmentCount = 0;
    if (SegmentCount > kMaxSegmentCount) SegmentCount = kMaxSegmentCount;
  }
  return status;
}
