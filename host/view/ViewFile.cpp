#include "view/ViewFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string_view>
#include <system_error>

#include "view/PcbReader.h"
#include "view/SvgWriter.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace view {

namespace fs = std::filesystem;

namespace {

// Far above any real board; a larger file is refused before it is read.
constexpr std::uintmax_t kInputLimit = std::uintmax_t{1} << 30;

std::string Reason(int error) { return std::strerror(error); }

// The bytes of a file, not set to anything before they are read.
struct Bytes {
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> data;
  std::size_t size = 0;
  std::string_view View() const { return {data.get(), size}; }

  // Room for `n` bytes. A large file goes on 2 MiB pages where the system
  // has them: a fresh small page costs more to fault in than its bytes cost
  // to read.
  bool Allocate(std::size_t n) {
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    const std::size_t rounded = (n + kHuge) / kHuge * kHuge;
#if defined(_WIN32)
    data.reset(static_cast<char*>(std::malloc(rounded)));
#else
    data.reset(static_cast<char*>(std::aligned_alloc(kHuge, rounded)));
    if (data && n >= kHuge) madvise(data.get(), rounded, MADV_HUGEPAGE);
#endif
    return data != nullptr;
  }
};

bool ReadWhole(const std::string& path, Bytes& bytes, std::string& error) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec) {
    error = path + ": cannot open: " + ec.message();
    return false;
  }
  if (fs::is_directory(status)) {
    error = path + ": cannot read: " + Reason(EISDIR);
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = path + ": not a regular file (a device or a named pipe)";
    return false;
  }
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) {
    error = path + ": cannot read: " + ec.message();
    return false;
  }
  if (size > kInputLimit) {
    error = path + ": too large for a PCB file (" + std::to_string(size) + " bytes; at most " +
            std::to_string(kInputLimit >> 20) + " MiB are read)";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = path + ": cannot open: " + Reason(errno);
    return false;
  }
  if (!bytes.Allocate(static_cast<std::size_t>(size))) {
    std::fclose(file);
    error = path + ": cannot read: " + Reason(ENOMEM);
    return false;
  }
  // A file that shrank since its size was asked is read as far as it goes.
  bytes.size = std::fread(bytes.data.get(), 1, static_cast<std::size_t>(size), file);
  const bool failed = std::ferror(file) != 0;
  const int readError = errno;
  std::fclose(file);
  if (failed) {
    error = path + ": cannot read: " + Reason(readError);
    return false;
  }
  return true;
}

// Writes the picture into an open file and closes it.
bool WriteAndClose(std::FILE* file, const PcbDrawing& drawing, bool sync, int& writeError) {
  bool ok = true;
  WriteSvg(drawing, [&](std::string_view piece) {
    if (ok && std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) ok = false;
  });
  ok = ok && std::fflush(file) == 0;
#if !defined(_WIN32)
  if (ok && sync) ok = fsync(fileno(file)) == 0;
#else
  (void)sync;
#endif
  if (!ok) writeError = errno != 0 ? errno : EIO;
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    writeError = errno;
  }
  return ok;
}

#if !defined(_WIN32)
// Ctrl-C, SIGTERM and SIGHUP wait while the temporary file exists, so that
// none is left behind; they take effect once it is renamed or removed.
class HeldSignals {
 public:
  HeldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &old_);
  }
  ~HeldSignals() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

 private:
  sigset_t old_;
};
#else
struct HeldSignals {};
#endif

// Writes `data` to `path`: a regular file (or a new one) under a temporary
// name beside it, renamed into place; anything else directly.
bool WriteReplacing(const std::string& path, const PcbDrawing& drawing, std::string& error) {
  int writeError = 0;
  if (path == "-") {
    if (!WriteAndClose(stdout, drawing, false, writeError)) {
      error = "cannot write standard output: " + Reason(writeError);
      return false;
    }
    return true;
  }
  std::error_code ec;
  fs::path target = path;
  const fs::file_status status = fs::status(target, ec);
  const bool exists = fs::exists(status);
  if (exists && fs::is_directory(status)) {
    error = "cannot write " + path + ": " + Reason(EISDIR);
    return false;
  }
  if (exists && !fs::is_regular_file(status)) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || !WriteAndClose(file, drawing, false, writeError)) {
      error = "cannot write " + path + ": " + Reason(file == nullptr ? errno : writeError);
      return false;
    }
    return true;
  }
  // A symbolic link keeps pointing to the new file.
  if (exists) target = fs::canonical(target, ec);
  if (exists && ec) {
    error = "cannot write " + path + ": " + ec.message();
    return false;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string base = ".";
  base.append(target.filename().string(), 0, 200);
  base += '.';
  [[maybe_unused]] HeldSignals held;
  std::random_device random;
  fs::path temp;
  std::FILE* file = nullptr;
  for (int attempt = 0; file == nullptr; ++attempt) {
    temp = folder / (base + std::to_string(random() % 1000000) + ".tmp");
#if defined(_WIN32)
    if (!fs::exists(temp)) file = std::fopen(temp.string().c_str(), "wb");
#else
    file = std::fopen(temp.c_str(), "wbx");
#endif
    if (file == nullptr && (errno != EEXIST || attempt == 100)) {
      error = "cannot write " + path + ": " + Reason(errno);
      return false;
    }
  }
  bool ok = WriteAndClose(file, drawing, true, writeError);
  if (ok && exists) fs::permissions(temp, fs::status(target).permissions(), ec);
  if (ok) {
    fs::rename(temp, target, ec);
    if (ec) writeError = ec.value();
    ok = !ec;
  }
  if (!ok) {
    fs::remove(temp, ec);
    error = "cannot write " + path + ": " + Reason(writeError);
  }
  return ok;
}

}  // namespace

Drawn DrawFile(const std::string& input, const std::string& output, std::string& error) {
  std::error_code ec;
  if (output != "-" && fs::equivalent(input, output, ec)) {
    error = output + " is the PCB file itself";
    return Drawn::SameAsInput;
  }
  Bytes text;
  if (!ReadWhole(input, text, error)) return Drawn::BadInput;
  PcbDrawing drawing;
  ReadError refused;
  if (!ReadPcb(text.View(), drawing, refused)) {
    error = input + ": " +
            (refused.line > 0 ? "line " + std::to_string(refused.line) + ": " : std::string()) +
            refused.message;
    return Drawn::BadInput;
  }
  return WriteReplacing(output, drawing, error) ? Drawn::Written : Drawn::NotWritten;
}

}  // namespace view
