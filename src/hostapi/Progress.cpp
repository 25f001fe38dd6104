#include "hostapi/Progress.h"

#include "hostapi/PCBProcs.h"

namespace hostprogress {

// The wrapper hands the host its own copy of the caption, never this storage.
void Start(const LenString& caption, std::int32_t total) {
  PCBProcs::PcbApi_Percent_Init(const_cast<std::uint8_t*>(caption.Buffer()), total);
}

void Step() { PCBProcs::PcbApi_Percent_Update(); }

void Finish() { PCBProcs::PcbApi_Percent_Finish(); }

}  // namespace hostprogress
