#include "ascii28/PadRecords.h"

#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPad.h"

namespace ascii28 {

void WritePadRecord(ObjectHandle handle) {
  TPcbPad pad(handle);
  if (!BeginPassRecord(pad)) return;

  // Number the pad and hand the number to the host before the record.
  ++Run.PadCounter;
  pad.Index = static_cast<std::uint16_t>(static_cast<std::uint32_t>(Run.PadCounter) & 0xFFFFu);
  pad.Load(kQuerySet);

  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('P');

  WriteCommonFields(handle);
  f.WriteCoord(pad.X);
  WriteCoordField(pad.Y);
  WriteCoordField(pad.XSizeTop);
  WriteCoordField(pad.YSizeTop);
  WriteNumberField(pad.ShapeTop);
  WriteCoordField(pad.XSizeMid);
  WriteCoordField(pad.YSizeMid);
  WriteNumberField(pad.ShapeMid);
  WriteCoordField(pad.XSizeBottom);
  WriteCoordField(pad.YSizeBottom);
  WriteNumberField(pad.ShapeBottom);
  WriteCoordField(pad.HoleSize);
  WriteNumberField(pad.PwrGnd());  // asked of the host here, at field 15
  WriteLayerField(pad.Layer);
  WriteReferenceField(pad.NetHandle);
  WriteNumberField(0);
  WriteRealField(pad.Rotation, 4);
  // The rule values, each asked of the host as its field is written.
  WriteCoordField(pad.SolderMaskExpansion());
  WriteCoordField(pad.PasteMaskExpansion());
  WriteCoordField(pad.PlaneConnectB());
  WriteCoordField(pad.PlaneConnectD());
  WriteCoordField(pad.PowerPlaneExpansion());
  WriteSignedField(pad.PlaneConnectC());  // unscaled
  WriteNumberField(pad.Tag);
  WriteNumberField(pad.PadByte2);
  f.Write(" 1 1 1 1 1 1");
  f.EndLine();

  // At most the 20 characters the name buffer holds, whatever its length
  // byte claims.
  f.WriteShortString(pad.Name.Buffer(), pad.Name.kCapacity);
  f.EndLine();
}

}  // namespace ascii28
