// Layer numbers of the file and via layer pairs.
#include <gtest/gtest.h>

#include <set>

#include "ascii28/FileLayers.h"

namespace ascii28 {
namespace {

TEST(FileLayers, FileToHostAndBack) {
  std::set<int> hosts;
  for (int file = 0; file <= kLastFileLayer; ++file) {
    hosts.insert(FileToHostLayer(file));
    EXPECT_EQ(HostToFileLayer(FileToHostLayer(file)), file) << "file layer " << file;
  }
  EXPECT_EQ(hosts.size(), 43u);
  for (int host = 0; host <= 255; ++host) {  // the rest fall back to the top layer
    if (!hosts.count(host)) {
      EXPECT_EQ(HostToFileLayer(static_cast<HostLayer>(host)), 1) << host;
    }
  }
  EXPECT_EQ(FileToHostLayer(43), kNoLayer);
  EXPECT_EQ(FileToHostLayer(-1), kNoLayer);
}

TEST(FileLayers, Blocks) {
  EXPECT_EQ(HostToFileLayer(MidLayer(14)), 15);
  EXPECT_EQ(HostToFileLayer(MidLayer(20)), 1);
  EXPECT_EQ(HostToFileLayer(kBottomLayer), 16);
  EXPECT_EQ(HostToFileLayer(kTopOverlay), 17);
  EXPECT_EQ(HostToFileLayer(InternalPlane(4)), 26);
  EXPECT_EQ(HostToFileLayer(InternalPlane(5)), 1);
  EXPECT_EQ(HostToFileLayer(55), 27);  // DrillGuide
  EXPECT_EQ(HostToFileLayer(Mechanical(4)), 32);
  EXPECT_EQ(HostToFileLayer(Mechanical(5)), 1);
  EXPECT_EQ(HostToFileLayer(kMultiLayer), 34);
  EXPECT_EQ(HostToFileLayer(kLastHostLayer), 42);
}

TEST(FileLayers, ViaLayerPairNumbers) {
  EXPECT_EQ(ViaLayerPairNumber(kTopLayer, kBottomLayer), 0);
  EXPECT_EQ(ViaLayerPairNumber(kTopLayer, MidLayer(1)), 1);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(1), MidLayer(2)), 1);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(2), MidLayer(5)), 2);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(13), kBottomLayer), 7);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(14), kBottomLayer), 8);
  EXPECT_EQ(ViaLayerPairNumber(kBottomLayer, MidLayer(3)), 8);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(15), kBottomLayer), 0);
  EXPECT_EQ(ViaLayerPairNumber(kMultiLayer, kTopLayer), 0);
}

}  // namespace
}  // namespace ascii28
