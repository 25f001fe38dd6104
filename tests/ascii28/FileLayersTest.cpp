// Layer numbers of the file and via layer pairs.
#include <gtest/gtest.h>

#include <set>

#include "ascii28/FileLayers.h"

namespace ascii28 {
namespace {

TEST(FileLayers, FileToHostAndBackIsTheIdentity) {
  std::set<int> hostLayers;
  for (int file = 0; file <= kLastFileLayer; ++file) {
    const HostLayer host = FileToHostLayer(file);
    EXPECT_EQ(HostToFileLayer(host), file) << "file layer " << file;
    hostLayers.insert(host);
  }
  EXPECT_EQ(hostLayers.size(), 43u);
  // Every other host code falls back to the top layer.
  for (int host = 0; host <= 255; ++host) {
    if (hostLayers.count(host) == 0) {
      EXPECT_EQ(HostToFileLayer(static_cast<HostLayer>(host)), 1) << "host layer " << host;
    }
  }
}

TEST(FileLayers, TableEntries) {
  EXPECT_EQ(HostToFileLayer(kNoLayer), 0);
  EXPECT_EQ(HostToFileLayer(kTopLayer), 1);
  EXPECT_EQ(HostToFileLayer(MidLayer(14)), 15);
  EXPECT_EQ(HostToFileLayer(MidLayer(15)), 1);
  EXPECT_EQ(HostToFileLayer(MidLayer(20)), 1);
  EXPECT_EQ(HostToFileLayer(kBottomLayer), 16);
  EXPECT_EQ(HostToFileLayer(kTopOverlay), 17);
  EXPECT_EQ(HostToFileLayer(38), 22);  // BottomSolder
  EXPECT_EQ(HostToFileLayer(InternalPlane(1)), 23);
  EXPECT_EQ(HostToFileLayer(InternalPlane(4)), 26);
  EXPECT_EQ(HostToFileLayer(InternalPlane(5)), 1);
  EXPECT_EQ(HostToFileLayer(55), 27);  // DrillGuide
  EXPECT_EQ(HostToFileLayer(56), 28);  // KeepOutLayer
  EXPECT_EQ(HostToFileLayer(Mechanical(4)), 32);
  EXPECT_EQ(HostToFileLayer(Mechanical(5)), 1);
  EXPECT_EQ(HostToFileLayer(73), 33);  // DrillDrawing
  EXPECT_EQ(HostToFileLayer(kMultiLayer), 34);
  EXPECT_EQ(HostToFileLayer(kLastHostLayer), 42);
  EXPECT_EQ(HostToFileLayer(83), 1);

  EXPECT_EQ(FileToHostLayer(16), kBottomLayer);
  EXPECT_EQ(FileToHostLayer(26), InternalPlane(4));
  EXPECT_EQ(FileToHostLayer(27), 55);
  EXPECT_EQ(FileToHostLayer(42), kLastHostLayer);
  EXPECT_EQ(FileToHostLayer(43), kNoLayer);
  EXPECT_EQ(FileToHostLayer(255), kNoLayer);
  EXPECT_EQ(FileToHostLayer(256 + 5), kNoLayer);
  EXPECT_EQ(FileToHostLayer(-1), kNoLayer);
}

TEST(FileLayers, ViaLayerPairNumbers) {
  EXPECT_EQ(ViaLayerPairNumber(kTopLayer, kBottomLayer), 0);
  EXPECT_EQ(ViaLayerPairNumber(kTopLayer, MidLayer(1)), 1);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(1), MidLayer(2)), 1);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(2), MidLayer(5)), 2);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(12), kBottomLayer), 7);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(13), kBottomLayer), 7);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(14), kBottomLayer), 8);
  EXPECT_EQ(ViaLayerPairNumber(kBottomLayer, kTopLayer), 8);
  EXPECT_EQ(ViaLayerPairNumber(kBottomLayer, MidLayer(3)), 8);
  EXPECT_EQ(ViaLayerPairNumber(MidLayer(15), kBottomLayer), 0);
  EXPECT_EQ(ViaLayerPairNumber(kNoLayer, kBottomLayer), 0);
  EXPECT_EQ(ViaLayerPairNumber(kMultiLayer, kTopLayer), 0);
}

}  // namespace
}  // namespace ascii28
