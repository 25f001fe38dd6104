#include "ascii28/RecordCommon.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RunState.h"
#include "board/PcbObject.h"
#include "hostapi/Progress.h"

namespace ascii28 {

void BeginRecord(TPCBObject& object) {
  hostprogress::Step();
  object.Load(kQueryGet);
}

bool BeginPassRecord(TPCBObject& object) {
  BeginRecord(object);
  return Run.InComponent || object.ComponentHandle == 0;
}

void WriteRecordPrefix() { Run.OutputFile.WriteChar(Run.InComponent ? 'C' : 'F'); }

void WriteCommonFields(ObjectHandle) { Run.OutputFile.Write("0 0 "); }

void WriteKeywordLine(char letter) {
  WriteRecordPrefix();
  Run.OutputFile.WriteChar(letter);
  Run.OutputFile.EndLine();
}

void WriteLine(std::string_view text) {
  Run.OutputFile.Write(text);
  Run.OutputFile.EndLine();
}

void WriteArcLines(Coord x, Coord y, Coord radius, double startAngle, double endAngle, Coord width,
                   HostLayer layer, std::uint16_t net) {
  WriteKeywordLine('A');
  WriteCommonFields(0);
  Run.OutputFile.WriteCoord(x);
  WriteCoordField(y);
  WriteCoordField(radius);
  WriteRealField(startAngle, 4);
  WriteRealField(endAngle, 4);
  WriteCoordField(width);
  WriteLayerField(layer);
  WriteNumberField(net);
  WriteNumberField(0);
  Run.OutputFile.EndLine();
}

void WriteCoordField(Coord value) {
  Run.OutputFile.WriteChar(' ');
  Run.OutputFile.WriteCoord(value);
}

void WriteNumberField(std::uint64_t value) {
  Run.OutputFile.WriteChar(' ');
  Run.OutputFile.WriteUnsigned(value);
}

void WriteSignedField(std::int64_t value) {
  Run.OutputFile.WriteChar(' ');
  Run.OutputFile.WriteInt(value);
}

void WriteLayerField(HostLayer layer) { WriteNumberField(HostToFileLayer(layer)); }

void WriteRealField(double value, int width) {
  Run.OutputFile.WriteChar(' ');
  Run.OutputFile.WriteFixed(value, width);
}

}  // namespace ascii28
