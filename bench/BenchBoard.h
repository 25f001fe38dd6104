// Large boards for the export benchmark, built straight into the stand-in
// server.
#pragma once

#include <cstddef>

namespace pcb28bench {

struct BoardSize {
  std::size_t components = 10000;
  std::size_t padsPerComponent = 10;
  std::size_t tracks = 300000;
  std::size_t vias = 50000;
  std::size_t nets = 3000;
  std::size_t polygons = 50;
  std::size_t polygonSegments = 500;

  // The full size (this one's defaults, or `full`) scaled down, at least one
  // of each.
  static BoardSize Scaled(double factor);
  static BoardSize Scaled(double factor, const BoardSize& full);
  // Records the export writes for such a board: components, their two
  // texts, pads, tracks, vias, polygons and net definitions.
  std::size_t Records() const;
};

// Resets the server and builds the board.
void BuildBoard(const BoardSize& size);

}  // namespace pcb28bench
