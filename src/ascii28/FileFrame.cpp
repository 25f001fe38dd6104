#include "ascii28/FileFrame.h"

#include "ascii28/RunState.h"

namespace ascii28 {

void WriteFileHeader() {
  Run.OutputFile.Write("PCB FILE 6 VERSION 2.80");
  Run.OutputFile.EndLine();
}

void WriteFileEnd() {
  Run.OutputFile.Write("ENDPCB");
  Run.OutputFile.EndLine();
}

}  // namespace ascii28
