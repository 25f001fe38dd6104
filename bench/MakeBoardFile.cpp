// Writes one generated board file, the end-to-end benchmark's kind, scaled
// from its full size (380,000 tracks at scale 1):
//   pcb28_make_board_file PATH SCALE
#include <cstdio>
#include <cstdlib>

#include "BoardFileWriter.h"

int main(int argc, char** argv) {
  char* end = nullptr;
  const double scale = argc == 3 ? std::strtod(argv[2], &end) : 0;
  if (argc != 3 || *end != '\0' || !(scale > 0 && scale <= 10)) {
    std::fprintf(stderr, "usage: pcb28_make_board_file PATH SCALE (0 < SCALE <= 10)\n");
    return 2;
  }
  const pcb28bench::BoardSize size =
      pcb28bench::BoardSize::Scaled(scale, pcb28bench::kFullBoardFile);
  if (!pcb28bench::WriteBoardFile(argv[1], size)) {
    std::perror(argv[1]);
    return 1;
  }
  std::printf("%s: %zu components, %zu tracks, %zu vias, %zu nets\n", argv[1], size.components,
              size.tracks, size.vias, size.nets);
  return 0;
}
