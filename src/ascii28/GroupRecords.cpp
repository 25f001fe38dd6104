#include "ascii28/GroupRecords.h"

#include <algorithm>

#include "ascii28/FileLayers.h"
#include "ascii28/PadRecords.h"
#include "ascii28/PrimitiveRecords.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "ascii28/TextRecords.h"
#include "board/PcbGroups.h"

namespace ascii28 {

namespace {

// Flags A and B of the polygon's flags line from StyleCode 0 to 4. A code
// above 4 is written like 0 and 1, as "1 1": that is what a
// polygon gets when the host says nothing about its style (a missing or
// failing query leaves StyleCode 0), so an unknown style reads as the
// default one rather than as an arbitrary pick among the known variants,
// and the record stays a valid 0/1 pair.
struct StyleFlags {
  std::uint8_t A;
  std::uint8_t B;
};
StyleFlags FlagsOfStyle(std::uint8_t styleCode) {
  switch (styleCode) {
    case 2:
      return {0, 1};
    case 3:
      return {1, 0};
    case 4:
      return {0, 0};
    default:
      return {1, 1};  // 0, 1 and every code above 4
  }
}

constexpr bool IsArcEntry(const PolygonSegment& segment) { return segment.SegmentKind == 1; }

// Bounds: Segments holds entries 0 to 500, and the record reads entries 0
// to N. A count from the host below 0 is written as 0 (one vertex line,
// one flag, no arc record) and one above 500 as 500, and the count line
// holds that clamped N, so the record stays self-consistent (N + 1 vertex
// lines and flags) and nothing past the array is read. TPcbPolygon::Load
// already clamps the same way in get mode; this repeats it so the writer
// is safe on its own.
std::int32_t EntryCount(const TPcbPolygon& polygon) {
  return std::clamp<std::int32_t>(polygon.SegmentCount, 0, TPcbPolygon::kMaxSegmentCount);
}

// Reused by every polygon record: it is as large as the outline.
PolygonReferences g_PolygonReferences;

}  // namespace

void WriteComponentBlock(ObjectHandle handle) {
  TPcbComponent component(handle);
  BeginRecord(component);
  LayOutComponentStart(component);

  Run.ComponentNameText = component.NameTextHandle;
  Run.ComponentCommentText = component.CommentTextHandle;
  Run.InComponent = true;

  WriteTextRecord(component.NameTextHandle);
  WriteTextRecord(component.CommentTextHandle);

  const LayerSet everyLayer = LayerSet::NoLayerOnly();
  component.IterateMembers(&WriteArcRecord, MaskOf(ArcObject), everyLayer);
  component.IterateMembers(&WriteTrackRecord, MaskOf(TrackObject), everyLayer);
  Run.PadCounter = 0;
  component.IterateMembers(&WritePadRecord, MaskOf(PadObject), everyLayer);
  component.IterateMembers(&WriteFillRecord, MaskOf(FillObject), everyLayer);
  component.IterateMembers(&WriteViaRecord, MaskOf(ViaObject), everyLayer);
  component.IterateMembers(&WriteMemberText, MaskOf(TextObject), everyLayer);

  Run.InComponent = false;
  Run.ComponentNameText = 0;
  Run.ComponentCommentText = 0;
  LayOutComponentEnd();
  Run.PadCounter = 0;
}

void LayOutComponentStart(const TPcbComponent& component) {
  BufferedTextFile& f = Run.OutputFile;
  WriteLine("COMP");
  f.WriteShortString(component.Pattern.Buffer(), component.Pattern.kCapacity);
  f.EndLine();
  WriteCommonFields(component.Handle);
  f.WriteCoord(component.X);
  WriteCoordField(component.Y);
  WriteNumberField(component.ComponentByte1);
  WriteNumberField(component.ComponentByte2);
  f.Write(" 0 0 0 0 0");
  WriteRealField(component.Rotation, 6);
  WriteNumberField(component.Tag);
  WriteNumberField(component.ComponentByte3);
  WriteLayerField(component.Layer);
  f.EndLine();
}

void LayOutComponentEnd() { WriteLine("ENDCOMP"); }

void WritePolygonRecord(ObjectHandle handle) {
  TPcbPolygon polygon(handle);
  BeginRecord(polygon);

  // The net is asked for once for the record and once more for each arc
  // entry, in the order the record names it.
  PolygonReferences& refs = g_PolygonReferences;
  refs.Net = ObjectNumber(polygon.NetHandle);
  const std::int32_t n = EntryCount(polygon);
  for (std::int32_t k = 0; k < n; ++k)
    if (IsArcEntry(polygon.Segments[k])) refs.ArcNet[k] = ObjectNumber(polygon.NetHandle);
  LayOutPolygonRecord(polygon, refs);
}

void LayOutPolygonRecord(const TPcbPolygon& polygon, const PolygonReferences& refs) {
  const std::int32_t n = EntryCount(polygon);
  const PolygonSegment* segments = polygon.Segments;

  BufferedTextFile& f = Run.OutputFile;
  WriteLine("PG");
  f.WriteUnsigned(HostToFileLayer(polygon.Layer));
  f.EndLine();
  WriteNumberField(refs.Net);  // the line begins with the blank
  f.EndLine();

  const StyleFlags flags = FlagsOfStyle(polygon.StyleCode);
  f.WriteUnsigned(polygon.PolygonByte1);
  WriteNumberField(flags.A);
  WriteNumberField(flags.B);
  WriteNumberField(polygon.PolygonByte2);
  f.Write("  0 ");  // the blank after PolygonByte2, then blank, 0, blank
  f.WriteUnsigned(polygon.PolygonByte3);
  f.EndLine();

  f.WriteCoord(polygon.PolygonValue1);
  WriteCoordField(polygon.TrackWidth);
  WriteCoordField(polygon.PolygonValue3);
  WriteNumberField(0);
  f.EndLine();
  f.EndLine();  // the empty line

  f.WriteInt(n);
  f.EndLine();
  for (std::int32_t k = 0; k <= n; ++k) {
    f.WriteCoord(segments[k].X);
    WriteCoordField(segments[k].Y);
    f.EndLine();
  }

  // The arc flags: entry N first, then entries 0 to N - 1.
  WriteNumberField(IsArcEntry(segments[n]) ? 1 : 0);
  for (std::int32_t k = 0; k < n; ++k) WriteNumberField(IsArcEntry(segments[k]) ? 1 : 0);
  f.EndLine();

  for (std::int32_t k = 0; k < n; ++k) {
    const PolygonSegment& s = segments[k];
    if (!IsArcEntry(s)) continue;
    WriteArcLines(s.CenterX, s.CenterY, s.Radius, s.StartAngle, s.EndAngle, polygon.TrackWidth,
                  polygon.Layer, refs.ArcNet[k]);
    f.Write(" 0 ");
    f.WriteUnsigned(polygon.Tag);
    f.EndLine();
  }
}

}  // namespace ascii28
