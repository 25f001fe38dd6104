#include "server/ProgressLine.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace standin {

namespace {

using Clock = std::chrono::steady_clock;

// At most this often, so that a fast export spends no time drawing.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;
constexpr int kDefaultColumns = 80;

// One character of the caption as drawn, with the columns it may take.
struct Glyph {
  std::string bytes;
  int columns;
};

// Valid UTF-8 sequences stay whole; any other byte at or above 0x80 and every
// control character show as '?'. Code points from U+0300 up (combining marks,
// wide characters) count as two columns, so the line never runs over.
std::vector<Glyph> Glyphs(std::string_view text) {
  std::vector<Glyph> glyphs;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80                   ? 1
                         : lead >= 0xC2 && lead < 0xE0 ? 2
                         : lead >= 0xE0 && lead < 0xF0 ? 3
                         : lead >= 0xF0 && lead < 0xF5 ? 4
                                                       : 0;
    bool valid = length > 0 && i + length <= text.size();
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && length > 1 &&
        (code < (length == 3   ? 0x800u
                 : length == 4 ? 0x10000u
                               : 0x80u) ||
         code > 0x10FFFF))
      valid = false;
    if (!valid) length = 1;
    if (!valid || code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
      glyphs.push_back({"?", 1});
    } else {
      glyphs.push_back({std::string(text.substr(i, length)), code < 0x300 ? 1 : 2});
    }
    i += length;
  }
  return glyphs;
}

// The caption in at most `columns` columns: whole, or its start and its end
// around "...".
std::string Shortened(std::string_view caption, int columns) {
  const std::vector<Glyph> glyphs = Glyphs(caption);
  int total = 0;
  for (const Glyph& g : glyphs) total += g.columns;
  std::string out;
  if (total <= columns) {
    for (const Glyph& g : glyphs) out += g.bytes;
    return out;
  }
  if (columns < 3) return std::string(static_cast<std::size_t>(std::max(columns, 0)), '.');
  const int keep = columns - 3;
  const int headColumns = keep / 2;
  int used = 0;
  std::size_t head = 0;
  while (head < glyphs.size() && used + glyphs[head].columns <= headColumns)
    used += glyphs[head++].columns;
  std::size_t tail = glyphs.size();
  while (tail > head && used + glyphs[tail - 1].columns <= keep) used += glyphs[--tail].columns;
  for (std::size_t i = 0; i < head; ++i) out += glyphs[i].bytes;
  out += "...";
  for (std::size_t i = tail; i < glyphs.size(); ++i) out += glyphs[i].bytes;
  return out;
}

int TerminalColumns() {
#if !defined(_WIN32)
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
  if (const char* columns = std::getenv("COLUMNS")) {
    const int n = std::atoi(columns);
    if (n > 0) return n;
  }
  return kDefaultColumns;
}

class ProgressLine {
 public:
  void SetShown(bool shown) { shown_ = shown; }
  void SetFilter(std::function<std::string(std::string_view)> filter) {
    filter_ = std::move(filter);
  }

  void Begin(std::string_view caption) {
    // Whether standard error is a terminal is asked once per bar.
#if defined(_WIN32)
    drawing_ = shown_ && _isatty(_fileno(stderr)) != 0;
#else
    drawing_ = shown_ && isatty(STDERR_FILENO) == 1;
#endif
    if (!drawing_) return;
    caption_ = filter_ ? filter_(caption) : std::string(caption);
    started_ = Clock::now();
    drawn_ = {};  // the first update of a bar is drawn at once
    shownPercent_ = -2;
    shownSeconds_ = -1;
  }

  void Show(std::int64_t done, std::int64_t total) {
    if (!drawing_) return;
    if (total > 0) {
      const int percent = static_cast<int>(std::clamp<std::int64_t>(done, 0, total) * 100 / total);
      if (percent == shownPercent_) return;
      if (Clock::now() - drawn_ < kRedrawInterval && percent < 100) return;
      Draw(percent, 0);
    } else {
      const auto seconds = static_cast<int>(
          std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - started_).count());
      if (seconds == shownSeconds_) return;
      shownSeconds_ = seconds;
      Draw(-1, seconds);
    }
  }

  void End() {
    if (!drawing_) return;
    drawing_ = false;
    open_ = 0;
    std::fputc('\n', stderr);
    std::fflush(stderr);
  }

  bool Open() const noexcept { return open_ != 0; }

 private:
  void Draw(int percent, int seconds) {
    shownPercent_ = percent;
    drawn_ = Clock::now();
    const std::string line = ComposeProgressLine(caption_, percent, seconds, TerminalColumns());
    // Back to the start of the line, the new text, and the rest of the old
    // one erased.
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
    open_ = 1;
  }

  bool shown_ = true;
  bool drawing_ = false;
  volatile std::sig_atomic_t open_ = 0;
  std::function<std::string(std::string_view)> filter_;
  std::string caption_;
  Clock::time_point started_, drawn_;
  int shownPercent_ = -2;
  int shownSeconds_ = -1;
};

ProgressLine g_Line;

}  // namespace

std::string ComposeProgressLine(std::string_view caption, int percent, int seconds, int columns) {
  const int room = columns - 1;  // the last column would wrap on some terminals
  std::string tail;
  if (percent >= 0) {
    char number[8];
    std::snprintf(number, sizeof number, " %3d%%", std::clamp(percent, 0, 100));
    tail = number;
    const int bar = std::min(kBarWidth, (room - static_cast<int>(tail.size())) / 3 - 3);
    if (bar >= 5) {
      const int filled = std::clamp(percent, 0, 100) * bar / 100;
      tail = " [" + std::string(static_cast<std::size_t>(filled), '#') +
             std::string(static_cast<std::size_t>(bar - filled), '-') + "]" + tail;
    }
  } else {
    tail = " ... " + std::to_string(seconds) + " s";
  }
  if (static_cast<int>(tail.size()) > room) return Shortened(caption, room);
  return Shortened(caption, room - static_cast<int>(tail.size())) + tail;
}

void SetProgressShown(bool shown) { g_Line.SetShown(shown); }
void SetProgressCaptionFilter(std::function<std::string(std::string_view)> filter) {
  g_Line.SetFilter(std::move(filter));
}
void ProgressBegin(std::string_view caption) { g_Line.Begin(caption); }
void ProgressShow(std::int64_t done, std::int64_t total) { g_Line.Show(done, total); }
void ProgressEnd() { g_Line.End(); }
bool ProgressLineOpen() noexcept { return g_Line.Open(); }

}  // namespace standin
