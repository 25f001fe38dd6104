// Storage of the stand-in server that grows in large blocks and never moves
// what it holds: pointers into it stay valid while it grows, and a large
// board costs a few hundred allocations instead of one per few objects.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "PcbApi.h"

namespace standin {

// Values of one type in the order they were added, in blocks that double
// from about 4 KiB to about 2 MiB: a large board is a few hundred blocks
// rather than one allocation an object. Blocks start on a cache line, so an
// object of 64 or 128 bytes fills whole lines. (Large pages under them are
// the allocator's business: the host program's allocator uses them.)
template <class T>
class ChunkedStore {
 public:
  ChunkedStore() = default;
  ChunkedStore(const ChunkedStore&) = delete;
  ChunkedStore& operator=(const ChunkedStore&) = delete;
  ~ChunkedStore() { clear(); }

  T* push_back(T&& value) {
    if (chunks_.empty() || chunks_.back().size == chunks_.back().capacity) Grow();
    Chunk& chunk = chunks_.back();
    T* placed = ::new (static_cast<void*>(chunk.values + chunk.size)) T(std::move(value));
    ++chunk.size;
    return placed;
  }

  void clear() {
    for (Chunk& chunk : chunks_) {
      std::destroy_n(chunk.values, chunk.size);
      ::operator delete (chunk.values, std::align_val_t{kAlign});
    }
    chunks_.clear();
  }

  // Blocks held (for tests of the growth).
  std::size_t Chunks() const { return chunks_.size(); }

 private:
  static constexpr std::size_t kAlign = std::max<std::size_t>(64, alignof(T));
  static constexpr std::size_t kFirst = std::max<std::size_t>(1, 4096 / sizeof(T));
  static constexpr std::size_t kMost = std::max<std::size_t>(1, (std::size_t{2} << 20) / sizeof(T));

  struct Chunk {
    T* values;
    std::size_t size, capacity;
  };

  void Grow() {
    const std::size_t capacity =
        chunks_.empty() ? kFirst : std::min(kMost, chunks_.back().capacity * 2);
    chunks_.reserve(chunks_.size() + 1);  // nothing to leak if this throws
    void* block = ::operator new (capacity * sizeof(T), std::align_val_t{kAlign});
    chunks_.push_back(Chunk{static_cast<T*>(block), 0, capacity});
  }

  std::vector<Chunk> chunks_;
};

}  // namespace standin
