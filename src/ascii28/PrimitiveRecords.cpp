#include "ascii28/PrimitiveRecords.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPrimitives.h"

namespace ascii28 {

namespace {

// The net's number first, then the polygon's: the order of the record's
// fields, in which the host is asked.
template <typename TObject>
PrimitiveReferences LoadReferences(const TObject& object) {
  PrimitiveReferences refs;
  refs.Net = ObjectNumber(object.NetHandle);
  refs.Polygon = ObjectNumber(object.PolygonHandle);
  return refs;
}

}  // namespace

void WriteTrackRecord(ObjectHandle handle) {
  TPcbTrack track(handle);
  if (!BeginPassRecord(track)) return;
  if (!HasTrackRecord(track)) return;  // asks nothing more of the host
  LayOutTrackRecord(track, LoadReferences(track));
}

void WriteFillRecord(ObjectHandle handle) {
  TPcbFill fill(handle);
  if (!BeginPassRecord(fill)) return;
  LayOutFillRecord(fill, LoadReferences(fill));
}

void WriteArcRecord(ObjectHandle handle) {
  TPcbArc arc(handle);
  if (!BeginPassRecord(arc)) return;
  LayOutArcRecord(arc, LoadReferences(arc));
}

void WriteViaRecord(ObjectHandle handle) {
  TPcbVia via(handle);
  if (!BeginPassRecord(via)) return;
  LayOutViaRecord(via, ObjectNumber(via.NetHandle));
}

bool HasTrackRecord(const TPcbTrack& track) { return track.X != track.X2 || track.Y != track.Y2; }

void LayOutTrackRecord(const TPcbTrack& track, const PrimitiveReferences& refs) {
  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('T');
  WriteCommonFields(track.Handle);
  f.WriteCoord(track.X);
  WriteCoordField(track.Y);
  WriteCoordField(track.X2);
  WriteCoordField(track.Y2);
  WriteCoordField(track.Width);
  WriteLayerField(track.Layer);
  WriteNumberField(0);
  WriteNumberField(refs.Net);
  WriteNumberField(0);
  f.EndLine();
  WriteNumberField(refs.Polygon);  // the line starts with the blank
  WriteNumberField(0);
  WriteNumberField(track.Tag);
  WriteNumberField(0);
  WriteNumberField(0);
  f.EndLine();
}

void LayOutFillRecord(const TPcbFill& fill, const PrimitiveReferences& refs) {
  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('F');
  WriteCommonFields(fill.Handle);
  f.WriteCoord(fill.X);
  WriteCoordField(fill.Y);
  WriteCoordField(fill.X2);
  WriteCoordField(fill.Y2);
  WriteLayerField(fill.Layer);
  WriteNumberField(refs.Net);
  f.EndLine();
  WriteNumberField(refs.Polygon);
  WriteNumberField(fill.Tag);
  WriteRealField(fill.Rotation, 4);
  f.EndLine();
}

void LayOutArcRecord(const TPcbArc& arc, const PrimitiveReferences& refs) {
  WriteArcLines(arc.X, arc.Y, arc.Radius, arc.StartAngle, arc.EndAngle, arc.LineWidth, arc.Layer,
                refs.Net);
  WriteNumberField(refs.Polygon);
  WriteNumberField(arc.Tag);
  Run.OutputFile.EndLine();
}

void LayOutViaRecord(const TPcbVia& via, std::uint16_t net) {
  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('V');
  WriteCommonFields(via.Handle);
  f.WriteCoord(via.X);
  WriteCoordField(via.Y);
  WriteCoordField(via.Size);
  WriteCoordField(via.HoleSize);
  WriteNumberField(0);
  WriteNumberField(ViaLayerPairNumber(via.LowLayer, via.HighLayer));
  WriteNumberField(net);
  WriteNumberField(0);
  WriteNumberField(0);
  WriteNumberField(0);
  WriteNumberField(via.Tag);
  WriteNumberField(0);
  WriteNumberField(0);
  WriteLayerField(via.LowLayer);
  WriteLayerField(via.HighLayer);
  f.EndLine();
}

}  // namespace ascii28
