// The first and last lines of every file.
#pragma once

namespace ascii28 {

void WriteFileHeader();  // "PCB FILE 6 VERSION 2.80"
void WriteFileEnd();     // "ENDPCB"

}  // namespace ascii28
