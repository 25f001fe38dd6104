// Bounds on what one export takes from the host. A host walk yields each
// object once and then 0; a host that breaks this must not hang the export,
// fill the disk or overflow a counter. Each host iterator's walk ends at the
// first handle it yields a second time and at a size bound by its owner;
// the export as a whole takes at most kExportYields handles and reads at most
// kClassMemberReads class member names. A well-behaved host never meets a
// bound, and its calls are exactly those of an unbounded walk.
// docs/host-data-bounds.md gives the reasons for each number.
#pragma once

#include <cstdint>

#include "PcbApi.h"

namespace hostbounds {

// The fuzz build divides every bound by 128, so that a runaway walk costs it
// milliseconds instead of a second; what the bounds do is the same.
#if defined(PCB28_FUZZ_BOUNDS)
inline constexpr int kScaleDown = 7;
#else
inline constexpr int kScaleDown = 0;
#endif

// The most handles one host iterator may yield, by the owner it walks: the
// board (one kind on one layer), a net (its members of one kind) and a
// component (its objects of one kind). A walk that yields one more has run
// away: it is cut there, and every later walk of the export yields nothing.
inline constexpr std::int32_t kBoardWalk = (1 << 21) >> kScaleDown;
inline constexpr std::int32_t kNetWalk = (1 << 20) >> kScaleDown;
inline constexpr std::int32_t kComponentWalk = (1 << 16) >> kScaleDown;
// The most handles all walks of one export may yield together; past it every
// walk yields nothing.
inline constexpr std::int32_t kExportYields = (1 << 23) >> kScaleDown;
// The most class member names one export reads.
inline constexpr std::int32_t kClassMemberReads = (1 << 16) >> kScaleDown;

// Every counter the file writes counts handles that walks yielded, so it
// stays below the export's yield bound and fits 32 bits.
static_assert(kExportYields < INT32_MAX / 2);

// The bounds of one export, from construction to destruction. Walks outside
// any export get fresh bounds per outermost walk (and class reads per load).
class ExportScope {
 public:
  ExportScope();
  ~ExportScope();
  ExportScope(const ExportScope&) = delete;
  ExportScope& operator=(const ExportScope&) = delete;

  // True when a bound has cut some walk short: the file misses objects.
  bool WalkCut() const;
};

class HandleSet;

// One host iterator's walk. Open it before the iterator is created; when it
// did not start (the export's budget is spent), create no iterator at all.
class Walk {
 public:
  explicit Walk(std::int32_t limit);
  ~Walk();
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;

  bool Started() const { return started_; }
  // True when the handle the iterator yielded is to be visited; false ends
  // the walk (a handle met before, the walk's or the export's bound).
  bool Take(ObjectHandle handle);

 private:
  bool started_ = false;
  std::int32_t limit_;
  std::int32_t taken_ = 0;
  HandleSet* set_ = nullptr;  // the handles of this walk, kept for its depth
};

// The class member reads of one class load.
class ClassMemberReads {
 public:
  ClassMemberReads();
  // True when one more member name may be read.
  bool Take();
};

}  // namespace hostbounds
