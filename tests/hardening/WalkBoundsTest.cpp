// The record of the handles a walk has yielded: each walk starts empty,
// however long the one before it was, and a repeat is caught at any size.
#include <gtest/gtest.h>

#include "board/HostBounds.h"

namespace {

TEST(WalkBoundsTest, EveryWalkStartsEmptyAndCatchesRepeats) {
  const hostbounds::ExportScope scope;
  // Short walks, then walks longer than the list of handles taken, then
  // handles above the bitmap.
  for (const ObjectHandle count : {5u, 5u, 100000u, 100000u, 7u}) {
    hostbounds::Walk walk(hostbounds::kBoardWalk);
    for (ObjectHandle h = count; h >= 1; --h) ASSERT_TRUE(walk.Take(h)) << count << " " << h;
    EXPECT_TRUE(walk.Take((1u << 24) + count));
    EXPECT_FALSE(walk.Take(count / 2 + 1));
  }
  hostbounds::Walk walk(hostbounds::kBoardWalk);
  EXPECT_TRUE(walk.Take(1u << 30));
  EXPECT_FALSE(walk.Take(1u << 30));
  EXPECT_TRUE(scope.WalkCut());
}

}  // namespace
