// Track, fill, arc and via records: the worked examples of the
// layouts, the skip rules and their order, number formats, an absent query.
#include "ascii28/PrimitiveRecords.h"

#include "support/WriterFixture.h"

namespace writer_test {
namespace {

using ascii28::WriteArcRecord;
using ascii28::WriteFillRecord;
using ascii28::WriteTrackRecord;
using ascii28::WriteViaRecord;

class PrimitiveRecordsTest : public WriterTest {};

// ---- the worked examples, lines written out by hand from the layouts

TEST_F(PrimitiveRecordsTest, FreeTrackExample) {
  Load(Board(R"(
    "nets": [ { "name": "A", "index": 1 }, { "name": "B", "index": 2 }, { "name": "C", "index": 3 } ],
    "tracks": [ { "x": 1005, "y": -2000, "x2": 3000, "y2": -2000, "width": 120,
                  "layer": "TopLayer", "net": "C" } ])"));
  EXPECT_EQ(WalkLines(&WriteTrackRecord, 16),
            (Lines{"FT", "0 0 100 -200 300 -200 12 1 0 3 0", " 0 0 0 0 0"}));
}

TEST_F(PrimitiveRecordsTest, FreeFillExample) {
  Load(Board(R"("fills": [ { "x": 0, "y": 0, "x2": 5000, "y2": 2500, "layer": "BottomLayer" } ])"));
  EXPECT_EQ(WalkLines(&WriteFillRecord, 64, 1),
            (Lines{"FF", "0 0 0 0 500 250 16 0", " 0 0 0.000"}));
}

TEST_F(PrimitiveRecordsTest, FreeArcExample) {
  Load(Board(R"("arcs": [ { "x": 10000, "y": 10000, "radius": 500, "start_angle": 0,
                             "end_angle": 90, "width": 100, "layer": "TopOverlay" } ])"));
  EXPECT_EQ(WalkLines(&WriteArcRecord, 2),
            (Lines{"FA", "0 0 1000 1000 50 0.000 90.000 10 17 0 0", " 0 0"}));
}

TEST_F(PrimitiveRecordsTest, FreeViaExample) {
  Load(Board(R"(
    "nets": [ { "name": "A", "index": 1 }, { "name": "B", "index": 2 } ],
    "vias": [ { "x": 20000, "y": 15000, "size": 500, "hole": 280, "net": "B",
                "low_layer": "TopLayer", "high_layer": "BottomLayer" } ])"));
  EXPECT_EQ(WalkLines(&WriteViaRecord, 8, 1),
            (Lines{"FV", "0 0 2000 1500 50 28 0 0 2 0 0 0 0 0 0 1 16"}));
}

// ---- every field from its own source

TEST_F(PrimitiveRecordsTest, EveryTrackFieldComesFromItsOwnValue) {
  Load(Board(R"(
    "nets": [ { "name": "N", "index": 40000 } ],
    "polygons": [ { "id": 7, "layer": "MidLayer3", "index": 9 } ],
    "tracks": [ { "x": 11, "y": 22, "x2": 33, "y2": 44, "width": 55, "layer": "MidLayer20",
                  "net": "N", "polygon": 7, "tag": 255, "extra1": 66, "extra2": 77 } ])"));
  // MidLayer20 has no file number of its own: file layer 1.
  EXPECT_EQ(WalkLines(&WriteTrackRecord, 16),
            (Lines{"FT", "0 0 1 2 3 4 5 1 0 40000 0", " 9 0 255 0 0"}));
}

TEST_F(PrimitiveRecordsTest, EveryFillAndArcFieldComesFromItsOwnValue) {
  Load(Board(R"(
    "nets": [ { "name": "N", "index": 12 } ],
    "polygons": [ { "id": 1, "index": 3 } ],
    "fills": [ { "x": -100, "y": 200, "x2": 3000, "y2": -4000, "layer": "KeepOutLayer", "net": "N",
                 "polygon": 1, "tag": 4, "rotation": -45.5 } ],
    "arcs": [ { "x": 1234, "y": -5678, "radius": 99, "start_angle": -45.5, "end_angle": 359.9996,
                "width": 15, "layer": "InternalPlane4", "net": "N", "polygon": 1, "tag": 8 } ])"));
  EXPECT_EQ(WalkLines(&WriteFillRecord, 64, 1),
            (Lines{"FF", "0 0 -10 20 300 -400 28 12", " 3 4 -45.500"}));
  EXPECT_EQ(WalkLines(&WriteArcRecord, 2),
            (Lines{"FA", "0 0 123 -567 9 -45.500 360.000 1 26 12 0", " 3 8"}));
}

TEST_F(PrimitiveRecordsTest, ViaPairNumbersAndLayersComeFromLowAndHighNotItsOwnLayer) {
  Load(Board(R"("vias": [
    { "x": 0, "y": 0, "low_layer": "TopLayer", "high_layer": "MidLayer1", "layer": "TopLayer", "tag": 3 },
    { "x": 0, "y": 0, "low_layer": "MidLayer14", "high_layer": "BottomLayer" },
    { "x": 0, "y": 0, "low_layer": "BottomLayer", "high_layer": "MidLayer2" },
    { "x": 0, "y": 0, "low_layer": "MidLayer15", "high_layer": "BottomLayer" } ])"));
  EXPECT_EQ(WalkLines(&WriteViaRecord, 8, 1), (Lines{
                                                  "FV", "0 0 0 0 0 0 0 1 0 0 0 0 3 0 0 1 2",    //
                                                  "FV", "0 0 0 0 0 0 0 8 0 0 0 0 0 0 0 15 16",  //
                                                  "FV", "0 0 0 0 0 0 0 8 0 0 0 0 0 0 0 16 3",   //
                                                  "FV", "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 16",   //
                                              }));
}

// ---- number formats

TEST_F(PrimitiveRecordsTest, NegativeCoordinatesAreTruncatedTowardZero) {
  Load(Board(R"("tracks": [ { "x": -15, "y": -19, "x2": 19, "y2": -9, "width": -10 },
                            { "x": -2147483648, "y": 2147483647, "x2": -1, "y2": 9 } ])"));
  EXPECT_EQ(WalkLines(&WriteTrackRecord, 16),
            (Lines{"FT", "0 0 -1 -1 1 0 -1 0 0 0 0", " 0 0 0 0 0",  //
                   "FT", "0 0 -214748364 214748364 0 0 0 0 0 0 0", " 0 0 0 0 0"}));
}

// ---- skip rules

TEST_F(PrimitiveRecordsTest, ZeroLengthTrackIsNeverWrittenButCostsAnUpdateAndALoad) {
  Load(Board(R"(
    "components": [ { "pattern": "P", "tracks": [ { "x": 100, "y": 200, "x2": 100, "y2": 200 } ] } ],
    "tracks": [ { "x": 100, "y": 200, "x2": 100, "y2": 200 },
                { "x": 100, "y": 0, "x2": 105, "y2": 0 },
                { "x": 100, "y": 5, "x2": 104, "y2": 9 } ])"));
  const auto tracks = Handles(standin::Kind::Track);
  ASSERT_EQ(tracks.size(), 4u);

  // Free pass: the member is skipped, the free zero-length track too.
  server().SetRecording(true);
  const Lines free = WalkLines(&WriteTrackRecord, 16);
  EXPECT_EQ(free, (Lines{"FT", "0 0 10 0 10 0 0 0 0 0 0", " 0 0 0 0 0",  //
                         "FT", "0 0 10 0 10 0 0 0 0 0 0", " 0 0 0 0 0"}));
  EXPECT_EQ(Updates(), 4);
  int queries = 0;
  for (const auto& call : server().Calls())
    if (call.name == "PcbApi_QueryTrack") ++queries;
  EXPECT_EQ(queries, 4);

  // Component pass: the zero-length member is still left out.
  ascii28::Run.InComponent = true;
  EXPECT_EQ(Capture([&] { WriteTrackRecord(tracks[0]); }), Lines{});
  EXPECT_EQ(Capture([&] { WriteTrackRecord(tracks[1]); }), Lines{});
  EXPECT_EQ(Updates(), 6);
}

TEST_F(PrimitiveRecordsTest, FreePassSkipsComponentMembersAndStillAdvancesProgress) {
  Load(Board(R"(
    "components": [ { "pattern": "P",
      "tracks": [ { "x": 0, "y": 0, "x2": 10, "y2": 0 } ],
      "fills": [ { "x2": 10, "y2": 10 } ],
      "arcs": [ { "radius": 10 } ],
      "vias": [ { "size": 10 }, { "size": 20 } ] } ])"));
  const Lines lines = Capture([] {
    Walk(&WriteTrackRecord, 16);
    Walk(&WriteFillRecord, 64, 1);
    Walk(&WriteArcRecord, 2);
    Walk(&WriteViaRecord, 8, 1);
  });
  EXPECT_EQ(lines, Lines{});
  EXPECT_EQ(Updates(), 5);
}

TEST_F(PrimitiveRecordsTest, ComponentPassWritesMembersWithPrefixCWithoutLookingAtTheComponent) {
  Load(Board(R"(
    "components": [ { "pattern": "P",
      "tracks": [ { "x": 0, "y": 0, "x2": 10, "y2": 0 } ],
      "fills": [ { "x2": 10, "y2": 10 } ],
      "arcs": [ { "radius": 10 } ],
      "vias": [ { "size": 10 } ] } ])"));
  ascii28::Run.InComponent = true;
  const Lines lines = Capture([] {
    Walk(&WriteTrackRecord, 16);
    Walk(&WriteFillRecord, 64, 1);
    Walk(&WriteArcRecord, 2);
    Walk(&WriteViaRecord, 8, 1);
  });
  EXPECT_EQ(lines, (Lines{"CT", "0 0 0 0 1 0 0 0 0 0 0", " 0 0 0 0 0",    //
                          "CF", "0 0 0 0 1 1 0 0", " 0 0 0.000",          //
                          "CA", "0 0 0 0 1 0.000 0.000 0 0 0 0", " 0 0",  //
                          "CV", "0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 1 16"}));
  EXPECT_EQ(Updates(), 4);
}

// ---- the host calls of one writer, in order

TEST_F(PrimitiveRecordsTest, UpdateComesFirstThenTheLoadThenOneLookupPerReference) {
  Load(Board(R"(
    "nets": [ { "name": "N", "index": 5 } ],
    "polygons": [ { "id": 1, "index": 6 } ],
    "tracks": [ { "x": 0, "y": 0, "x2": 10, "y2": 0, "net": "N", "polygon": 1 } ])"));
  const ObjectHandle track = Handles(standin::Kind::Track).at(0);
  server().SetRecording(true);
  const Lines lines = Capture([&] { WriteTrackRecord(track); });
  EXPECT_EQ(lines, (Lines{"FT", "0 0 0 0 1 0 0 0 0 5 0", " 6 0 0 0 0"}));
  std::vector<std::string> names;
  for (const auto& call : server().Calls()) names.push_back(call.name);
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], "PcbApi_Percent_Update");
  EXPECT_EQ(names[1], "PcbApi_GetObjectBitField2");
  EXPECT_EQ(names[2], "PcbApi_GetObjectBitField3");
  EXPECT_EQ(names[3], "PcbApi_QueryTrack");
  EXPECT_EQ(server().Calls()[3].args.at(0), 1) << "loaded in get mode";
  // No set-mode query: a primitive is never sent back to the host.
  for (const auto& call : server().Calls()) {
    if (call.name == "PcbApi_QueryTrack") {
      EXPECT_EQ(call.args.at(0), 1);
    }
  }
}

// ---- an absent query entry point

TEST_F(PrimitiveRecordsTest, ViaFromAHostWithoutQueryViaIsWrittenFromZeros) {
  Load(Board(R"(
    "nets": [ { "name": "N", "index": 5 } ],
    "vias": [ { "x": 20000, "y": 15000, "size": 500, "hole": 280, "net": "N", "tag": 9 } ])"));
  const ObjectHandle via = Handles(standin::Kind::Via).at(0);
  server().Hide("PcbApi_QueryVia");
  testsupport::BindPluginToServer();
  ASSERT_FALSE(PCBProcs::IsBound(PCBProcs::EntryPoint::PcbApi_QueryVia));
  EXPECT_EQ(Capture([&] { WriteViaRecord(via); }),
            (Lines{"FV", "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"}));
  EXPECT_EQ(Updates(), 1);
}

TEST_F(PrimitiveRecordsTest, TrackFromAHostWithoutQueryTrackIsZeroLengthAndLeftOut) {
  Load(Board(R"("tracks": [ { "x": 0, "y": 0, "x2": 10, "y2": 0 } ])"));
  server().Hide("PcbApi_QueryTrack");
  testsupport::BindPluginToServer();
  EXPECT_EQ(WalkLines(&WriteTrackRecord, 16), Lines{});
  EXPECT_EQ(Updates(), 1);
}

}  // namespace
}  // namespace writer_test
