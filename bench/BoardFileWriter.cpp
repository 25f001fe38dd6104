#include "BoardFileWriter.h"

#include <cstdio>

namespace pcb28bench {

bool WriteBoardFile(const std::string& path, const BoardSize& size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fputs(
      "{\"pcb28_board\": 1,\n\"stack\": [\"TopLayer\", \"MidLayer1\", \"MidLayer2\", "
      "\"BottomLayer\"],\n\"rules\": [{\"kind\": \"Clearance\", \"values\": [\"10mil\"]}, "
      "{\"kind\": \"Width\", \"values\": [\"12mil\", \"8mil\"]}],\n\"nets\": [\n",
      f);
  for (std::size_t i = 0; i < size.nets; ++i) {
    std::fprintf(f, "%s{\"name\": \"NET%zu\"}\n", i == 0 ? "" : ",", i);
  }
  std::fputs("],\n\"components\": [\n", f);
  std::size_t padNumber = 0;
  for (std::size_t c = 0; c < size.components; ++c) {
    const long x = static_cast<long>(c * 25000 % 80000000),
               y = static_cast<long>(c * 37000 % 60000000);
    std::fprintf(f,
                 "%s{\"layer\": \"%s\", \"x\": %ld, \"y\": %ld, \"pattern\": \"%s\", "
                 "\"designator\": \"U%zu\", \"comment\": \"10k\", \"pads\": [\n",
                 c == 0 ? "" : ",", c % 2 == 0 ? "TopLayer" : "BottomLayer", x, y,
                 c % 3 == 0 ? "SOIC-8" : "0603", c + 1);
    for (std::size_t p = 0; p < size.padsPerComponent; ++p, ++padNumber) {
      std::fprintf(
          f,
          "  %s{\"name\": \"%zu\", \"x\": %ld, \"y\": %ld, \"hole\": %d, \"net\": "
          "\"NET%zu\", \"size\": {\"x_size\": 600000, \"y_size\": 800000, \"shape\": 2}}\n",
          p == 0 ? "" : ",", p + 1, x + static_cast<long>(p) * 500000, y, p % 2 == 0 ? 0 : 300000,
          padNumber % size.nets);
    }
    std::fputs("]}\n", f);
  }
  std::fputs("],\n\"tracks\": [\n", f);
  for (std::size_t i = 0; i < size.tracks; ++i) {
    const long x = static_cast<long>(i * 13 % 90000000), y = static_cast<long>(i * 29 % 70000000);
    std::fprintf(f,
                 "%s{\"layer\": \"%s\", \"net\": \"NET%zu\", \"x\": %ld, \"y\": %ld, \"x2\": %ld, "
                 "\"y2\": %ld, \"width\": \"10mil\"}\n",
                 i == 0 ? "" : ",", i % 2 == 0 ? "TopLayer" : "BottomLayer", i % size.nets, x, y,
                 x + 1000000, y + static_cast<long>(i % 7) * 10000);
  }
  std::fputs("],\n\"vias\": [\n", f);
  for (std::size_t i = 0; i < size.vias; ++i) {
    std::fprintf(f,
                 "%s{\"net\": \"NET%zu\", \"x\": %zu, \"y\": %zu, \"size\": 500000, \"hole\": "
                 "280000}\n",
                 i == 0 ? "" : ",", i % size.nets, i * 17 % 90000000, i * 31 % 70000000);
  }
  std::fputs("]}\n", f);
  return std::fclose(f) == 0;
}

}  // namespace pcb28bench
