#include "ascii28/PrimitiveRecords.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPrimitives.h"
#include "hostapi/PCBProcs.h"

namespace ascii28 {

namespace {

// Fields of a data line: each one after the first is preceded by one blank.
void Blank() { Run.OutputFile.WriteChar(' '); }
void CoordField(Coord value) {
  Blank();
  Run.OutputFile.WriteCoord(value);
}
void NumberField(std::uint64_t value) {
  Blank();
  Run.OutputFile.WriteUnsigned(value);
}
void LayerField(HostLayer layer) { NumberField(HostToFileLayer(layer)); }
void ReferenceField(ObjectHandle handle) { NumberField(ObjectNumber(handle)); }
void AngleField(double degrees) {
  Blank();
  Run.OutputFile.WriteFixed(degrees, 4);
}

// The keyword line: prefix letter, record letter.
void KeywordLine(char letter) {
  WriteRecordPrefix();
  Run.OutputFile.WriteChar(letter);
  Run.OutputFile.EndLine();
}

// Written in the component pass only: in the free pass a component's own
// primitives are left out.
bool SkippedInFreePass(const TPCBObject& object) {
  return !Run.InComponent && object.ComponentHandle != 0;
}

}  // namespace

void WriteTrackRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbTrack track(handle);
  track.Load(kQueryGet);
  if (SkippedInFreePass(track)) return;
  if (track.X == track.X2 && track.Y == track.Y2) return;  // zero length, host units

  BufferedTextFile& f = Run.OutputFile;
  KeywordLine('T');
  WriteCommonFields(handle);
  f.WriteCoord(track.X);
  CoordField(track.Y);
  CoordField(track.X2);
  CoordField(track.Y2);
  CoordField(track.Width);
  LayerField(track.Layer);
  NumberField(0);
  ReferenceField(track.NetHandle);
  NumberField(0);
  f.EndLine();
  ReferenceField(track.PolygonHandle);  // the line starts with the blank
  NumberField(0);
  NumberField(track.Tag);
  NumberField(0);
  NumberField(0);
  f.EndLine();
}

void WriteFillRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbFill fill(handle);
  fill.Load(kQueryGet);
  if (SkippedInFreePass(fill)) return;

  BufferedTextFile& f = Run.OutputFile;
  KeywordLine('F');
  WriteCommonFields(handle);
  f.WriteCoord(fill.X);
  CoordField(fill.Y);
  CoordField(fill.X2);
  CoordField(fill.Y2);
  LayerField(fill.Layer);
  ReferenceField(fill.NetHandle);
  f.EndLine();
  ReferenceField(fill.PolygonHandle);
  NumberField(fill.Tag);
  AngleField(fill.Rotation);
  f.EndLine();
}

void WriteArcRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbArc arc(handle);
  arc.Load(kQueryGet);
  if (SkippedInFreePass(arc)) return;

  BufferedTextFile& f = Run.OutputFile;
  KeywordLine('A');
  WriteCommonFields(handle);
  f.WriteCoord(arc.X);
  CoordField(arc.Y);
  CoordField(arc.Radius);
  AngleField(arc.StartAngle);
  AngleField(arc.EndAngle);
  CoordField(arc.LineWidth);
  LayerField(arc.Layer);
  ReferenceField(arc.NetHandle);
  NumberField(0);
  f.EndLine();
  ReferenceField(arc.PolygonHandle);
  NumberField(arc.Tag);
  f.EndLine();
}

void WriteViaRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbVia via(handle);
  via.Load(kQueryGet);
  if (SkippedInFreePass(via)) return;

  BufferedTextFile& f = Run.OutputFile;
  KeywordLine('V');
  WriteCommonFields(handle);
  f.WriteCoord(via.X);
  CoordField(via.Y);
  CoordField(via.Size);
  CoordField(via.HoleSize);
  NumberField(0);
  NumberField(ViaLayerPairNumber(via.LowLayer, via.HighLayer));
  ReferenceField(via.NetHandle);
  NumberField(0);
  NumberField(0);
  NumberField(0);
  NumberField(via.Tag);
  NumberField(0);
  NumberField(0);
  LayerField(via.LowLayer);
  LayerField(via.HighLayer);
  f.EndLine();
}

}  // namespace ascii28
