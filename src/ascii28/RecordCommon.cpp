#include "ascii28/RecordCommon.h"

#include "ascii28/RunState.h"

namespace ascii28 {

void WriteRecordPrefix() { Run.OutputFile.WriteChar(Run.InComponent ? 'C' : 'F'); }

void WriteCommonFields(ObjectHandle) { Run.OutputFile.Write("0 0 "); }

}  // namespace ascii28
