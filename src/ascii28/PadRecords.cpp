#include "ascii28/PadRecords.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPad.h"
#include "hostapi/PCBProcs.h"

namespace ascii28 {

namespace {

void Blank() { Run.OutputFile.WriteChar(' '); }
void CoordField(Coord value) {
  Blank();
  Run.OutputFile.WriteCoord(value);
}
void NumberField(std::uint64_t value) {
  Blank();
  Run.OutputFile.WriteUnsigned(value);
}

}  // namespace

void WritePadRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbPad pad(handle);
  pad.Load(kQueryGet);
  if (!Run.InComponent && pad.ComponentHandle != 0) return;

  // Number the pad and hand the number to the host before the record.
  ++Run.PadCounter;
  pad.Index = static_cast<std::uint16_t>(static_cast<std::uint32_t>(Run.PadCounter) & 0xFFFFu);
  pad.Load(kQuerySet);

  BufferedTextFile& f = Run.OutputFile;
  WriteRecordPrefix();
  f.WriteChar('P');
  f.EndLine();

  WriteCommonFields(handle);
  f.WriteCoord(pad.X);
  CoordField(pad.Y);
  CoordField(pad.XSizeTop);
  CoordField(pad.YSizeTop);
  NumberField(pad.ShapeTop);
  CoordField(pad.XSizeMid);
  CoordField(pad.YSizeMid);
  NumberField(pad.ShapeMid);
  CoordField(pad.XSizeBottom);
  CoordField(pad.YSizeBottom);
  NumberField(pad.ShapeBottom);
  CoordField(pad.HoleSize);
  NumberField(pad.PwrGnd());  // asked of the host here, at field 15
  NumberField(HostToFileLayer(pad.Layer));
  NumberField(ObjectNumber(pad.NetHandle));
  NumberField(0);
  Blank();
  f.WriteFixed(pad.Rotation, 4);
  // The rule values, each asked of the host as its field is written.
  CoordField(pad.SolderMaskExpansion());
  CoordField(pad.PasteMaskExpansion());
  CoordField(pad.PlaneConnectB());
  CoordField(pad.PlaneConnectD());
  CoordField(pad.PowerPlaneExpansion());
  Blank();
  f.WriteInt(pad.PlaneConnectC());  // unscaled
  NumberField(pad.Tag);
  NumberField(pad.PadByte2);
  f.Write(" 1 1 1 1 1 1");
  f.EndLine();

  // At most the 20 characters the name buffer holds, whatever its length
  // byte claims.
  f.WriteShortString(pad.Name.Buffer(), pad.Name.kCapacity);
  f.EndLine();
}

}  // namespace ascii28
