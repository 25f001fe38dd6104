#include "ascii28/PadRecords.h"

#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbPad.h"

namespace ascii28 {

namespace {

// One pad object serves every pad record (see TPcbPad::Renew).
TPcbPad g_Pad{0};

}  // namespace

void WritePadRecord(ObjectHandle handle) {
  TPcbPad& pad = g_Pad;
  pad.Renew(handle);
  if (!BeginPassRecord(pad)) return;

  // Number the pad and hand the number to the host before the record.
  ++Run.PadCounter;
  pad.Index = static_cast<std::uint16_t>(static_cast<std::uint32_t>(Run.PadCounter) & 0xFFFFu);
  pad.Load(kQuerySet);

  // The host is asked in the order of the record's fields.
  PadRecordValues values;
  values.PwrGnd = pad.PwrGnd();
  values.Net = ObjectNumber(pad.NetHandle);
  values.SolderMaskExpansion = pad.SolderMaskExpansion();
  values.PasteMaskExpansion = pad.PasteMaskExpansion();
  values.PlaneConnectB = pad.PlaneConnectB();
  values.PlaneConnectD = pad.PlaneConnectD();
  values.PowerPlaneExpansion = pad.PowerPlaneExpansion();
  values.PlaneConnectC = pad.PlaneConnectC();
  LayOutPadRecord(pad, values);
}

void LayOutPadRecord(const TPcbPad& pad, const PadRecordValues& values) {
  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('P');

  WriteCommonFields(pad.Handle);
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
  WriteNumberField(values.PwrGnd);
  WriteLayerField(pad.Layer);
  WriteNumberField(values.Net);
  WriteNumberField(0);
  WriteRealField(pad.Rotation, 4);
  WriteCoordField(values.SolderMaskExpansion);
  WriteCoordField(values.PasteMaskExpansion);
  WriteCoordField(values.PlaneConnectB);
  WriteCoordField(values.PlaneConnectD);
  WriteCoordField(values.PowerPlaneExpansion);
  WriteSignedField(values.PlaneConnectC);  // unscaled
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
