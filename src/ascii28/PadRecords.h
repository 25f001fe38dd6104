// The pad record.
#pragma once

#include <cstdint>

#include "PcbApi.h"

class TPcbPad;

namespace ascii28 {

// The record of one pad: the free pad pass's callback (KindMask 4) and the
// pad pass of each component. Every pad written is numbered: Run.PadCounter
// is incremented and its low 16 bits stored in the host as the pad's Index.
void WritePadRecord(ObjectHandle pad);

// What a pad record holds beside the pad: values the host gives for it.
struct PadRecordValues {
  std::uint8_t PwrGnd = 0;
  std::uint16_t Net = 0;  // the net's number
  Coord SolderMaskExpansion = 0;
  Coord PasteMaskExpansion = 0;
  std::int32_t PlaneConnectB = 0;
  std::int32_t PlaneConnectD = 0;
  Coord PowerPlaneExpansion = 0;
  std::int32_t PlaneConnectC = 0;
};

// The lay-out half of WritePadRecord.
void LayOutPadRecord(const TPcbPad& pad, const PadRecordValues& values);

}  // namespace ascii28
