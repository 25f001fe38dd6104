#include "board/HostBounds.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace hostbounds {

// The handles one walk has yielded. Hosts number their objects densely from
// 1 and walks mostly yield them in ascending order, so handles below
// kDenseHandles are kept in a bitmap, which stays small and is met in order.
// A short walk is undone bit by bit from the list of the handles it took; a
// walk longer than the list (one entry per word of the bitmap) clears the
// whole bitmap. Handles above go to a hash set: open addressing with linear
// probing, where a slot belongs to the current walk when its stamp is the
// current one, so that set empties in constant time.
class HandleSet {
 public:
  void Clear() {
    if (listFull_) {
      std::fill(bits_.begin(), bits_.end(), 0);
    } else {
      for (std::size_t i = 0; i < used_; ++i)
        bits_[taken_[i] / 64] &= ~(std::uint64_t{1} << (taken_[i] % 64));
    }
    used_ = 0;
    listFull_ = false;
    sparseSize_ = 0;
    if (++stamp_ == 0) {  // the stamps wrapped: wipe them once
      for (Slot& slot : slots_) slot.stamp = 0;
      stamp_ = 1;
    }
  }

  // False when the handle is in the set already. The common case stays
  // short; growing and large handles are out of line.
  bool Insert(ObjectHandle handle) {
    const std::size_t word = handle / 64;
    if (word >= bits_.size()) [[unlikely]]
      return InsertRare(handle);
    const std::uint64_t bit = std::uint64_t{1} << (handle % 64);
    if ((bits_[word] & bit) != 0) return false;
    bits_[word] |= bit;
    if (used_ < taken_.size()) {
      taken_[used_++] = handle;
    } else {
      listFull_ = true;
    }
    return true;
  }

 private:
  // 2^24 handles: a bitmap of at most 2 MiB.
  static constexpr ObjectHandle kDenseHandles = ObjectHandle{1} << 24;

  struct Slot {
    ObjectHandle key = 0;
    std::uint32_t stamp = 0;
  };

  [[gnu::noinline]] bool InsertRare(ObjectHandle handle) {
    if (handle >= kDenseHandles) return InsertSparse(handle);
    const std::size_t words = std::max<std::size_t>(handle / 64 + 1, bits_.size() * 2);
    bits_.resize(words, 0);
    taken_.resize(words);
    return Insert(handle);
  }

  bool InsertSparse(ObjectHandle handle) {
    if ((sparseSize_ + 1) * 2 > slots_.size()) Grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = Hash(handle) & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.stamp != stamp_) {
        slot = {handle, stamp_};
        ++sparseSize_;
        return true;
      }
      if (slot.key == handle) return false;
    }
  }

  // Spreads handles that are close together.
  static std::size_t Hash(ObjectHandle h) {
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const std::uint32_t stamp = stamp_;
    stamp_ = 1;
    sparseSize_ = 0;
    for (const Slot& slot : old)
      if (slot.stamp == stamp) InsertSparse(slot.key);
  }

  std::vector<std::uint64_t> bits_;
  // The handles set in bits_, the first used_ of taken_, unless the walk took
  // more than the list holds.
  std::vector<ObjectHandle> taken_;
  std::size_t used_ = 0;
  bool listFull_ = false;
  std::vector<Slot> slots_;
  std::size_t sparseSize_ = 0;
  std::uint32_t stamp_ = 1;
};

namespace {

struct State {
  int exports = 0;  // open export scopes
  int depth = 0;    // walks open, nested
  std::int64_t yields = 0;
  std::int32_t memberReads = 0;
  bool cut = false;
  bool spent = false;  // no walk may yield any more
  // One set per nesting depth, reused by every walk at that depth.
  std::vector<std::unique_ptr<HandleSet>> sets;

  void Reset() {
    yields = 0;
    memberReads = 0;
    cut = false;
    spent = false;
  }
  void Release() { sets.clear(); }
  bool Outermost() const { return exports == 0 && depth == 0; }
};

// A plain global: reached once or more for every handle a walk yields.
State g_state;
State& S() { return g_state; }

}  // namespace

ExportScope::ExportScope() {
  State& s = S();
  if (s.exports++ == 0) s.Reset();
}

ExportScope::~ExportScope() {
  State& s = S();
  if (--s.exports == 0 && s.depth == 0) s.Release();
}

bool ExportScope::WalkCut() const { return S().cut; }

Walk::Walk(std::int32_t limit) : limit_(limit) {
  State& s = S();
  if (s.Outermost()) s.Reset();
  if (s.spent) return;
  started_ = true;
  if (s.sets.size() <= static_cast<std::size_t>(s.depth))
    s.sets.push_back(std::make_unique<HandleSet>());
  set_ = s.sets[s.depth].get();
  set_->Clear();
  ++s.depth;
}

Walk::~Walk() {
  if (!started_) return;
  State& s = S();
  if (--s.depth == 0 && s.exports == 0) s.Release();
}

bool Walk::Take(ObjectHandle handle) {
  State& s = S();
  if (!started_ || s.spent) return false;
  if (taken_ == limit_ || s.yields == kExportYields) [[unlikely]] {
    // The walk has run away: the rest of the export yields nothing.
    s.cut = true;
    s.spent = true;
    return false;
  }
  if (!set_->Insert(handle)) [[unlikely]] {
    s.cut = true;
    return false;
  }
  ++taken_;
  ++s.yields;
  return true;
}

ClassMemberReads::ClassMemberReads() {
  State& s = S();
  if (s.Outermost()) s.memberReads = 0;
}

bool ClassMemberReads::Take() {
  State& s = S();
  if (s.memberReads == kClassMemberReads) return false;
  ++s.memberReads;
  return true;
}

}  // namespace hostbounds
