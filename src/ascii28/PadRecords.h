// The pad record.
#pragma once

#include "PcbApi.h"

namespace ascii28 {

// The record of one pad: the free pad pass's callback (KindMask 4) and the
// pad pass of each component. Every pad written is numbered: Run.PadCounter
// is incremented and its low 16 bits stored in the host as the pad's Index.
void WritePadRecord(ObjectHandle pad);

}  // namespace ascii28
