// The server's storage: stores that never move what they hold, the paged
// handle table, values held out of line, and the size of the hot objects.
#include <cstdint>
#include <vector>

#include "ServerTestSupport.h"

using namespace standin;
using standin_test::Guarded;
using standin_test::ServerTest;

namespace {

// Counts the live values, so that a test sees every one destroyed.
struct Counted {
  static inline int live = 0;
  explicit Counted(int v) : value(v) { ++live; }
  Counted(Counted&& other) noexcept : value(other.value) { ++live; }
  ~Counted() { --live; }
  int value;
  char payload[52] = {};
};

TEST(ChunkedStoreTest, ValuesStayWhereTheyAreAndAreDestroyedOnClear) {
  constexpr int kCount = 100000;  // about 6 MB: many blocks
  {
    ChunkedStore<Counted> store;
    std::vector<Counted*> placed;
    for (int i = 0; i < kCount; ++i) placed.push_back(store.push_back(Counted(i)));
    EXPECT_EQ(Counted::live, kCount);
    for (int i = 0; i < kCount; ++i) {
      ASSERT_EQ(placed[i]->value, i);  // never moved, never overwritten
    }
    // Blocks start on a cache line and double from 4 KiB up to 2 MiB: of
    // 56-byte values, 73, 146, ... 37376 (ten blocks, 74679 values), then
    // one of 37449 (2 MiB), which starts a new block.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(placed[0]) % 64, 0u);
    EXPECT_EQ(store.Chunks(), 11u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(placed[74679]) % 64, 0u);
    store.clear();
    EXPECT_EQ(Counted::live, 0);
    EXPECT_EQ(store.Chunks(), 0u);
    store.push_back(Counted(7));
  }
  EXPECT_EQ(Counted::live, 0);  // the destructor clears
}

TEST(OutOfLineTest, ReadsMakeNothingCopiesAreDeepEqualityByValue) {
  OutOfLine<std::vector<int>> a;
  const auto& view = a;
  EXPECT_EQ(view.size(), 0u);
  EXPECT_EQ(view.begin(), view.end());
  EXPECT_FALSE(a.Held());
  EXPECT_EQ(a, OutOfLine<std::vector<int>>{});
  a.Set().push_back(4);
  OutOfLine<std::vector<int>> b = a;
  b.Set()[0] = 5;
  EXPECT_EQ(a[0], 4);
  EXPECT_NE(a, b);
  // Made but empty equals never made.
  OutOfLine<std::vector<int>> made;
  made.Set();
  EXPECT_TRUE(made.Held());
  EXPECT_EQ(made, OutOfLine<std::vector<int>>{});
}

TEST(ObjectSizeTest, HotObjectsFitTheirCacheLines) {
  // Tracks and vias are most of a board, pads are read five times an export.
  EXPECT_LE(sizeof(Track), 64u);
  EXPECT_LE(sizeof(Via), 64u);
  EXPECT_LE(sizeof(Pad), 128u);
  EXPECT_LE(sizeof(Component), 160u);
}

TEST_F(ServerTest, SourceLinksAreHeldOnlyOnceWritten) {
  const ObjectHandle c = server().Add(Component{});
  Guarded<256> link;
  ASSERT_EQ(PcbApi_QueryComponentSourceLinks(kQueryGet, c, link.get(), nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr),
            0);
  EXPECT_EQ(link.Text(), "");
  EXPECT_TRUE(link.GuardsIntact());
  EXPECT_FALSE(server().Get<Component>(c)->sourceLinks.Held());
  // Writing back what was read (the export numbers components so) holds
  // nothing either.
  ASSERT_EQ(PcbApi_QueryComponentSourceLinks(kQuerySet, c, link.get(), nullptr, nullptr, nullptr,
                                             nullptr, nullptr, nullptr),
            0);
  EXPECT_FALSE(server().Get<Component>(c)->sourceLinks.Held());
  link.Set("LIB");
  ASSERT_EQ(PcbApi_QueryComponentSourceLinks(kQuerySet, c, nullptr, nullptr, link.get(), nullptr,
                                             nullptr, nullptr, nullptr),
            0);
  const Component& held = *server().Get<Component>(c);
  EXPECT_EQ(held.sourceLinks[2], "LIB");
  EXPECT_EQ(held.sourceLinks[0], "");
}

}  // namespace
