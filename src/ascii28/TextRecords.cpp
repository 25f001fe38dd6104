#include "ascii28/TextRecords.h"

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbText.h"
#include "hostapi/PCBProcs.h"

namespace ascii28 {

namespace {

void Blank() { Run.OutputFile.WriteChar(' '); }
void NumberField(std::uint64_t value) {
  Blank();
  Run.OutputFile.WriteUnsigned(value);
}

}  // namespace

void WriteTextRecord(ObjectHandle handle) {
  PCBProcs::PcbApi_Percent_Update();
  TPcbText text(handle);
  text.Load(kQueryGet);
  if (!Run.InComponent && text.ComponentHandle != 0) return;

  BufferedTextFile& f = Run.OutputFile;
  WriteRecordPrefix();
  f.WriteChar('S');
  f.EndLine();

  WriteCommonFields(handle);
  f.WriteCoord(text.X);
  Blank();
  f.WriteCoord(text.Y);
  Blank();
  f.WriteCoord(text.Height);
  Blank();
  f.WriteFixed(text.Rotation, 4);
  NumberField(text.TextFlag);
  Blank();
  f.WriteInt(text.Style);  // signed, unscaled
  NumberField(HostToFileLayer(text.Layer));
  f.Write(" 0 0 0 0");
  Blank();
  f.WriteCoord(text.LineWidth);
  NumberField(text.Tag);
  f.Write(" 0 0");
  f.EndLine();

  // The string byte for byte; never more than the buffer holds, whatever
  // its length byte claims.
  f.WriteShortString(text.Text.Buffer(), text.Text.kCapacity);
  f.EndLine();
}

void WriteMemberText(ObjectHandle handle) {
  if (handle == Run.ComponentNameText || handle == Run.ComponentCommentText) return;
  WriteTextRecord(handle);
}

}  // namespace ascii28
