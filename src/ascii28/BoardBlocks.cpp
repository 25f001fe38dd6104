#include "ascii28/BoardBlocks.h"

#include <cstdint>
#include <string_view>

#include "ascii28/FileLayers.h"
#include "ascii28/RecordCommon.h"
#include "ascii28/RunState.h"
#include "board/PcbBoard.h"
#include "board/PcbNets.h"

namespace ascii28 {

namespace {

// ---- counting pass

void CountOne(void* counter, ObjectHandle) { ++*static_cast<std::int32_t*>(counter); }

void CountNetPads(void* counter, ObjectHandle handle) {
  TPcbNet net(handle);
  net.Load(kQueryGet);
  net.IterateMembers(&CountOne, counter, MaskOf(PadObject), 0, LayerSet::NoLayerOnly());
}

void CountKind(CountIndex slot, ObjectKind kind, IterationMethod method) {
  Run.CurrentBoard->Iterate(&CountOne, &Run.ObjectCounts[slot], MaskOf(kind),
                            LayerSet::NoLayerOnly(), method);
}

// ---- blocks

// "v v v"
void Triple(unsigned v1, unsigned v2, unsigned v3) {
  BufferedTextFile& out = Run.OutputFile;
  out.WriteUnsigned(v1);
  out.WriteChar(' ');
  out.WriteUnsigned(v2);
  out.WriteChar(' ');
  out.WriteUnsigned(v3);
  out.EndLine();
}

// 51 layer flags, each followed by a blank; the flags at the given positions
// (1-based) are 1.
void FlagLine(int first, int second) {
  for (int n = 1; n <= 51; ++n) Run.OutputFile.Write(n == first || n == second ? "1 " : "0 ");
  Run.OutputFile.EndLine();
}

// Colours of the 42 file layers, OPTIONS lines 52 to 93.
constexpr std::uint8_t kLayerColours[42][3] = {
    {255, 0, 0},     {128, 0, 0},     {0, 128, 0},     {0, 255, 0},     {0, 0, 128},
    {0, 255, 255},   {128, 0, 128},   {255, 0, 255},   {128, 128, 0},   {255, 255, 0},
    {128, 128, 128}, {255, 255, 255}, {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
    {0, 0, 255},     {255, 255, 0},   {128, 128, 0},   {128, 128, 128}, {128, 0, 0},
    {128, 0, 128},   {255, 0, 255},   {0, 128, 0},     {128, 0, 0},     {128, 0, 128},
    {0, 128, 128},   {128, 0, 0},     {255, 0, 255},   {255, 0, 255},   {128, 0, 128},
    {0, 128, 0},     {128, 128, 0},   {255, 0, 42},    {192, 192, 192}, {0, 0, 0},
    {0, 128, 128},   {0, 255, 0},     {255, 255, 255}, {128, 128, 0},   {0, 128, 128},
    {0, 0, 128},     {128, 0, 0},
};

constexpr std::string_view kReal = "200000.000";

}  // namespace

void WriteCountsLine() {
  CountKind(kCountFromTos, FromToObject, 0);
  CountKind(kCountTracks, TrackObject, 0);
  Run.CurrentBoard->Iterate(&CountNetPads, &Run.ObjectCounts[kCountNetPads], MaskOf(NetObject),
                            LayerSet::NoLayerOnly(), 1);
  CountKind(kCountNets, NetObject, 1);
  CountKind(kCountArcs, ArcObject, 0);
  CountKind(kCountVias, ViaObject, 0);
  CountKind(kCountComponents, ComponentObject, 0);
  CountKind(kCountFills, FillObject, 0);
  CountKind(kCountPads, PadObject, 0);
  CountKind(kCountTexts, TextObject, 0);

  BufferedTextFile& out = Run.OutputFile;
  for (int slot = 0; slot < kCountSlots; ++slot) {
    if (slot != 0) out.WriteChar(' ');
    out.WriteInt(Run.ObjectCounts[slot]);
  }
  out.EndLine();
}

void WriteDefaultsBlock() {
  const TPcbBoard& board = *Run.CurrentBoard;
  BufferedTextFile& out = Run.OutputFile;

  WriteLine("DEFAULTS");
  out.WriteInt(board.BoardInfo4);
  out.WriteChar(' ');
  out.WriteInt(board.BoardInfo5);
  out.EndLine();
  out.WriteInt(board.BoardInfo6);
  out.WriteChar(' ');
  out.WriteInt(board.BoardInfo7);
  out.EndLine();
  WriteLine("1");
  Triple(board.Grids.Value2, board.Grids.Value3, board.Grids.Value4);

  out.WriteScientific(board.Grids.Value5);
  out.WriteChar(' ');
  out.WriteScientific(board.Grids.Value6);
  out.WriteChar(' ');
  out.WriteScientific(board.Grids.GridCopy13);
  out.WriteChar(' ');
  out.WriteScientific(board.Grids.GridCopy7);
  out.EndLine();

  out.WriteUnsigned(HostToFileLayer(board.BoardLayer));
  out.Write(" 0");
  out.EndLine();

  for (int fileLayer = 1; fileLayer <= kLastFileLayer; ++fileLayer) {
    out.WriteUnsigned(board.LayerStatus2(FileToHostLayer(fileLayer)));
    out.EndLine();
  }
  WriteLine("0  ");
}

Coord FindBoardClearance() {
  Run.BoardClearance = Run.CurrentBoard->Clearance();
  return Run.BoardClearance;
}

void WriteOptionsBlock() {
  BufferedTextFile& out = Run.OutputFile;

  WriteLine("OPTIONS");                          // 1
  WriteLine("300000 500000 0 1 0 0 0 1 0");      // 2
  FlagLine(0, 0);                                // 3
  FlagLine(1, 16);                               // 4
  WriteLine("");                                 // 5
  WriteLine("");                                 // 6
  WriteLine("");                                 // 7
  WriteLine("0 1 0 0 0 0 0 1.000 1.000 1.000");  // 8
  WriteLine("1 1 0 1 1 1 1 1");                  // 9
  WriteLine("32 32 32");                         // 10
  for (unsigned k = 1; k <= 32; ++k) {           // 11 to 42
    const unsigned v = k == 15 ? 64 : k == 16 ? 192 : 6 * k;
    Triple(v, v, v);
  }
  WriteLine("0 0 0");                                            // 43
  WriteLine("255 255 255");                                      // 44
  for (unsigned v = 210; v <= 246; v += 6) Triple(v, v, v);      // 45 to 51
  for (const auto& c : kLayerColours) Triple(c[0], c[1], c[2]);  // 52 to 93
  // 94 and 95
  WriteLine("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 0 1 1 1 1 1 1 ");
  WriteLine("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 1 1 1 1 1 1 ");
  WriteLine("4.000 1.000 1.000 0 0 0 0 0 1 0");  // 96
  // 97 and 98
  WriteLine("60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 60 130000 ");
  WriteLine("0 0 0 0 1 0 50 50 200000000 160000000 10000000 3 1 2500000 1");
  WriteLine("");                                                 // 99
  WriteLine("100000 500000 220000 1000000 0 1 5 5 200000.000");  // 100
  WriteLine("0 0 1 0 1 1 0 0 0 ");                               // 101
  WriteLine("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2 ");                 // 102
  WriteLine("0 0 0 0 0");                                        // 103
  WriteLine("KDX.LOG");                                          // 104
  WriteLine("KDX.PCB");                                          // 105
  WriteLine("200000 500000 200000 1 0 1 0");                     // 106
  WriteLine("");                                                 // 107
  WriteLine("");                                                 // 108

  const Coord half = FindBoardClearance() / 2;  // 109
  for (int n = 0; n < 6; ++n) {
    if (n != 0) out.WriteChar(' ');
    out.WriteInt(half);
  }
  out.EndLine();

  WriteLine("1 1 1 1 1 1 1 1 1 1 1 1 1 1");    // 110
  WriteLine("50000 10000 1 0 1 1 1 0 0 0 1");  // 111
  WriteLine("0 0 0 0 ");                       // 112
  WriteLine("0 0 0 0 ");                       // 113
  // 114
  WriteLine("0 0 0  2.00000000000000E+0005  2.00000000000000E+0005 0 0 0 0 0 0 25 4 0");
  WriteLine("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");  // 115
  WriteLine("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");  // 116
  WriteLine("0 0 0 0 0 0 0");                     // 117
  for (int line = 118; line <= 119; ++line) {     // sixteen reals
    for (int n = 0; n < 16; ++n) {
      if (n != 0) out.WriteChar(' ');
      out.Write(kReal);
    }
    out.EndLine();
  }
  for (int n = 0; n < 7; ++n) {  // 120
    out.Write(kReal);
    out.WriteChar(' ');
  }
  WriteLine("0 0 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 4 0");
}

}  // namespace ascii28
