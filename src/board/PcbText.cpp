#include "board/PcbText.h"

Status TPcbText::Load(QueryMode mode) {
  ExchangeBitFields(mode);
  return PCBProcs::PcbApi_QueryText(mode, Handle, &Flags, &Index, &Layer, &NetHandle, &Tag,
                                    &ComponentHandle, &X, &Y, &Height, &Style, &Rotation, &TextFlag,
                                    Text.Buffer(), &LineWidth, &Extra1, &Extra2);
}
