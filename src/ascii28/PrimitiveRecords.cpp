#include "ascii28/PrimitiveRecords.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPrimitives.h"
namespace ascii28 {

void WriteTrackRecord(ObjectHandle handle) {
  TPcbTrack track(handle);
  if (!BeginPassRecord(track)) return;
  if (track.X == track.X2 && track.Y == track.Y2) return;  // zero length, host units

  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('T');
  WriteCommonFields(handle);
  f.WriteCoord(track.X);
  WriteCoordField(track.Y);
  WriteCoordField(track.X2);
  WriteCoordField(track.Y2);
  WriteCoordField(track.Width);
  WriteLayerField(track.Layer);
  WriteNumberField(0);
  WriteReferenceField(track.NetHandle);
  WriteNumberField(0);
  f.EndLine();
  WriteReferenceField(track.PolygonHandle);  // the line starts with the blank
  WriteNumberField(0);
  WriteNumberField(track.Tag);
  WriteNumberField(0);
  WriteNumberField(0);
  f.EndLine();
}

void WriteFillRecord(ObjectHandle handle) {
  TPcbFill fill(handle);
  if (!BeginPassRecord(fill)) return;

  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('F');
  WriteCommonFields(handle);
  f.WriteCoord(fill.X);
  WriteCoordField(fill.Y);
  WriteCoordField(fill.X2);
  WriteCoordField(fill.Y2);
  WriteLayerField(fill.Layer);
  WriteReferenceField(fill.NetHandle);
  f.EndLine();
  WriteReferenceField(fill.PolygonHandle);
  WriteNumberField(fill.Tag);
  WriteRealField(fill.Rotation, 4);
  f.EndLine();
}

void WriteArcRecord(ObjectHandle handle) {
  TPcbArc arc(handle);
  if (!BeginPassRecord(arc)) return;

  BufferedTextFile& f = Run.OutputFile;
  WriteArcLines(handle, arc.X, arc.Y, arc.Radius, arc.StartAngle, arc.EndAngle, arc.LineWidth,
                arc.Layer, arc.NetHandle);
  WriteReferenceField(arc.PolygonHandle);
  WriteNumberField(arc.Tag);
  f.EndLine();
}

void WriteViaRecord(ObjectHandle handle) {
  TPcbVia via(handle);
  if (!BeginPassRecord(via)) return;

  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('V');
  WriteCommonFields(handle);
  f.WriteCoord(via.X);
  WriteCoordField(via.Y);
  WriteCoordField(via.Size);
  WriteCoordField(via.HoleSize);
  WriteNumberField(0);
  WriteNumberField(ViaLayerPairNumber(via.LowLayer, via.HighLayer));
  WriteReferenceField(via.NetHandle);
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
