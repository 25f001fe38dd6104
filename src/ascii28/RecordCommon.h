// What every record writer shares: the prefix letter and the two constant
// fields that open a primitive record's data line.
#pragma once

#include "hostapi/PcbApi.h"

namespace ascii28 {

// 'C' inside a component, 'F' for a free object; the line is not ended.
void WriteRecordPrefix();
// "0 0 ", the line is not ended. The handle is not used.
void WriteCommonFields(ObjectHandle object);

}  // namespace ascii28
