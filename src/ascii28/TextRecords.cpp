#include "ascii28/TextRecords.h"

#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbText.h"

namespace ascii28 {

void WriteTextRecord(ObjectHandle handle) {
  TPcbText text(handle);
  if (BeginPassRecord(text)) LayOutTextRecord(text);
}

void LayOutTextRecord(const TPcbText& text) {
  BufferedTextFile& f = Run.OutputFile;
  WriteKeywordLine('S');
  WriteCommonFields(text.Handle);
  f.WriteCoord(text.X);
  WriteCoordField(text.Y);
  WriteCoordField(text.Height);
  WriteRealField(text.Rotation, 4);
  WriteNumberField(text.TextFlag);
  WriteSignedField(text.Style);  // unscaled
  WriteLayerField(text.Layer);
  f.Write(" 0 0 0 0");
  WriteCoordField(text.LineWidth);
  WriteNumberField(text.Tag);
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
