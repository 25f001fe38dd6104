// The POSIX side of pcb28-export (Linux: O_TMPFILE and /proc/self).
#if !defined(_WIN32)

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef PCB28_MIMALLOC
#include <mimalloc.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <thread>
#include <vector>

#include "boardfile/BoardFile.h"
#include "cli/Options.h"
#include "cli/Platform.h"
#include "server/ProgressLine.h"
#include "server/Server.h"

namespace cli {

namespace {

// The temporary output files that have a name (an export and a saved board
// at most), for the signal handlers.
constexpr int kTempSlots = 2;
char g_TempPath[kTempSlots][PATH_MAX];
volatile std::sig_atomic_t g_TempPathSet[kTempSlots] = {};
bool g_TempSlotTaken[kTempSlots] = {};

int TakeTempSlot() {
  for (int slot = 0; slot < kTempSlots; ++slot) {
    if (!g_TempSlotTaken[slot]) {
      g_TempSlotTaken[slot] = true;
      return slot;
    }
  }
  return -1;  // more outputs than slots: a logic error, left unguarded
}

void NameTempFile(int slot, const std::string& path) {
  if (slot < 0) return;
  g_TempPathSet[slot] = 0;
  std::snprintf(g_TempPath[slot], sizeof g_TempPath[slot], "%s", path.c_str());
  g_TempPathSet[slot] = 1;
}

void ForgetTempFile(int slot) {
  if (slot >= 0) g_TempPathSet[slot] = 0;
}

// The board file mapped into memory, and the message should it be cut short.
std::atomic<std::uintptr_t> g_MappedBegin{0}, g_MappedEnd{0};
char g_CutShortMessage[PATH_MAX + 128];
std::size_t g_CutShortLength = 0;

void WriteError(const char* text, std::size_t length) {
  [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text, length);
}

void EndProgressLineAndTempFile() {
  for (int slot = 0; slot < kTempSlots; ++slot)
    if (g_TempPathSet[slot] != 0) unlink(g_TempPath[slot]);
  if (standin::ProgressLineOpen()) WriteError("\n", 1);
}

void OnTerminatingSignal(int signal) {
  EndProgressLineAndTempFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// A read past the end of a mapped file that has shrunk since it was mapped.
// Any other bus error ends the program as it would have.
void OnBusError(int, siginfo_t* info, void*) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  if (at >= g_MappedBegin.load() && at < g_MappedEnd.load()) {
    EndProgressLineAndTempFile();
    WriteError(g_CutShortMessage, g_CutShortLength);
    _exit(kExitBadBoard);
  }
  std::signal(SIGBUS, SIG_DFL);  // the access is made again, and ends the program
}

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

bool Same(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t written = write(fd, data, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    n -= static_cast<std::size_t>(written);
  }
  return true;
}

std::string ProcFdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

// Filling 50 MB of small pages costs more in page faults than the reading
// itself.
void AdviseHugePages(char* data, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

#ifdef PCB28_MIMALLOC
namespace {
// The allocator puts its blocks on large pages: on this kind of machine the
// first touch of a fresh small page costs more than the reader's own work.
// Set before any library's constructor allocates, so that even the
// allocator's first region has them.
void LargePagesFirst(int, char**, char**) { mi_option_enable(mi_option_large_os_pages); }
[[gnu::section(".preinit_array"),
  gnu::used]] void (*const kLargePagesFirst)(int, char**, char**) = &LargePagesFirst;
}  // namespace
#endif

std::string SystemReason(int error) { return std::strerror(error); }

void InstallSignalHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = &OnTerminatingSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  struct sigaction bus {};
  bus.sa_sigaction = &OnBusError;
  bus.sa_flags = SA_SIGINFO;
  sigemptyset(&bus.sa_mask);
  sigaction(SIGBUS, &bus, nullptr);
}

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ------------------------------------------------------------------ input

BoardInput::~BoardInput() {
  if (ownFd_ && fd_ >= 0) close(fd_);
}

bool BoardInput::Open(const std::string& path, std::uint64_t limit, std::string& error) {
  limit_ = limit;
  struct stat st {};
  if (path == "-") {
    fd_ = STDIN_FILENO;
    if (fstat(fd_, &st) != 0) {
      error = "cannot read standard input: " + SystemReason(errno);
      return false;
    }
    if (isatty(fd_) == 1) {
      error = "standard input is a terminal: give a board file, or pipe one in";
      return false;
    }
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode) && !S_ISSOCK(st.st_mode)) {
      error = "standard input is a device, not a board file";
      return false;
    }
  } else {
    // Asked before opening: opening a named pipe would wait for a writer.
    if (stat(path.c_str(), &st) != 0) {
      error = path + ": cannot open the board file: " + SystemReason(errno);
      return false;
    }
    if (S_ISDIR(st.st_mode)) {
      error = path + ": cannot read the board file: " + SystemReason(EISDIR);
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      error = path +
              ": not a regular file (a device or a named pipe); give a board file, or "
              "pipe it in as -";
      return false;
    }
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
      error = path + ": cannot open the board file: " + SystemReason(errno);
      return false;
    }
    ownFd_ = true;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      error = path + ": not a regular file";
      return false;
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  name_ = path == "-" ? "standard input" : path;
  identity_ = IdentityOf(st);
  size_ = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
  if (size_ > limit_) {
    error = name_ + ": too large for a board file (" + std::to_string(size_) +
            " bytes; a board file holds at most " + std::to_string(limit_ >> 20) + " MiB)";
    return false;
  }
  return true;
}

BoardText::~BoardText() { Release(); }

void BoardText::Release() {
  data_ = "";
  size_ = 0;
  std::string().swap(read_);
  if (mapping_ == nullptr) return;
  g_MappedBegin = 0;
  g_MappedEnd = 0;
  munmap(mapping_, mappingLength_);
  mapping_ = nullptr;
}

bool BoardInput::Map(BoardText& text) {
  // Only a file opened here: standard input may start anywhere in its file.
  struct stat st {};
  if (!ownFd_ || fstat(fd_, &st) != 0 || st.st_size <= 0 ||
      static_cast<std::uint64_t>(st.st_size) > limit_)
    return false;
  const auto size = static_cast<std::size_t>(st.st_size);
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t length = (size + boardfile::kBoardTextPadding + page - 1) / page * page;
  // Zero pages for the padding, with the file laid over their start: the
  // rest of the file's last page reads as zeros too.
  void* area = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return false;
  if (mmap(area, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd_, 0) == MAP_FAILED) {
    munmap(area, length);
    return false;
  }
  const int n = std::snprintf(g_CutShortMessage, sizeof g_CutShortMessage,
                              "%s: %s: the board file was cut short while it was read\n", kProgram,
                              name_.c_str());
  g_CutShortLength =
      std::min(static_cast<std::size_t>(std::max(n, 0)), sizeof g_CutShortMessage - 1);
  g_MappedBegin = reinterpret_cast<std::uintptr_t>(area);
  g_MappedEnd = reinterpret_cast<std::uintptr_t>(area) + length;
  text.mapping_ = area;
  text.mappingLength_ = length;
  text.data_ = static_cast<const char*>(area);
  text.size_ = size;
  return true;
}

long long BoardInput::ReadSome(char* into, std::size_t size) {
  for (;;) {
    const ssize_t n = read(fd_, into, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

// ------------------------------------------------------------------ output

struct ExportOutput::State {
  std::string shownPath;      // as the user gave it
  std::string finalPath;      // symbolic links followed: the file replaced
  std::string tempPath;       // the temporary file's name, once it has one
  int slot = TakeTempSlot();  // where the signal handlers find tempPath
  int target = -1;            // the temporary file, or the direct output
  bool ownTarget = false;
  bool direct = false;    // no temporary file: written in place
  bool unnamed = false;   // an O_TMPFILE file, without a name yet
  bool copyOver = false;  // the temporary file is elsewhere: copied over the destination
  int pipeRead = -1, pipeWrite = -1;
  std::thread copier;
  std::atomic<int> copyError{0};

  ~State() {
    if (slot >= 0) g_TempSlotTaken[slot] = false;
  }

  void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }

  void Copy() {
    constexpr std::size_t kChunk = 1 << 20;
    std::vector<char> buffer(kChunk);
    off_t written = 0;
    for (;;) {
      const ssize_t n = read(pipeRead, buffer.data(), kChunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      if (!WriteAll(target, buffer.data(), static_cast<std::size_t>(n))) {
        copyError = errno != 0 ? errno : EIO;
        break;
      }
#ifdef SYNC_FILE_RANGE_WRITE
      // The disk starts on what is written while the export goes on, so the
      // fsync before the rename waits only for the last part.
      if (!direct && !copyOver) sync_file_range(target, written, n, SYNC_FILE_RANGE_WRITE);
#endif
      written += n;
    }
    // The plug-in's next write fails (EPIPE), and it reports the failure.
    CloseFd(pipeRead);
  }

  // A temporary file in `folder`: unnamed where the system has them, else
  // named (and removed on failure and on signals). -1 with errno set.
  int CreateTemp(const std::string& folder) {
    const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
      unnamed = true;
      return fd;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
    std::string name = folder + "/." + BaseOf(finalPath).substr(0, 200) + ".XXXXXX";
    const int named = mkstemp(name.data());
    if (named < 0) return -1;
    tempPath = name;
    NameTempFile(slot, name);
    fcntl(named, F_SETFD, FD_CLOEXEC);
    return named;
  }

  // The finished temporary file copied over the destination, which keeps
  // its identity: its owner, its links and its permissions.
  bool CopyOver(std::string& reason) {
    const int out = open(finalPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool ok = out >= 0 && lseek(target, 0, SEEK_SET) == 0;
    std::vector<char> buffer(1 << 20);
    while (ok) {
      const ssize_t n = read(target, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ok = n == 0;
        break;
      }
      ok = WriteAll(out, buffer.data(), static_cast<std::size_t>(n));
    }
    ok = ok && fsync(out) == 0;
    int error = errno;
    if (out >= 0 && close(out) != 0 && ok) {
      ok = false;
      error = errno;
    }
    if (!ok) reason = SystemReason(error);
    if (!ok && out >= 0)
      reason += " (while the export was copied over the file, which may now be cut short)";
    return ok;
  }
};

ExportOutput::ExportOutput() : s_(std::make_unique<State>()) {}

ExportOutput::~ExportOutput() { Discard(); }

ExportOutput::Refusal ExportOutput::Prepare(const std::string& path, const FileIdentity& input,
                                            std::string& error) {
  State& s = *s_;
  s.shownPath = path;
  struct stat st {};
  auto fail = [&](int code) {
    error = "cannot write " + path + ": " + SystemReason(code);
    return Refusal::FileError;
  };
  if (path == "-") {
    s.direct = true;
    s.target = STDOUT_FILENO;
    if (fstat(STDOUT_FILENO, &st) == 0 && Same(IdentityOf(st), input)) {
      error = "standard output is the board file itself";
      return Refusal::SameAsInput;
    }
    return Refusal::None;
  }
  // Follow symbolic links to the file they name: that file is replaced and
  // the links stay. A link into /proc (/dev/stdout, /dev/fd/N) names an open
  // file, which is written directly.
  std::string finalPath = path;
  bool throughProc = false;
  for (int hops = 0;; ++hops) {
    if (lstat(finalPath.c_str(), &st) != 0) {
      if (errno != ENOENT) return fail(errno);
      break;
    }
    if (!S_ISLNK(st.st_mode)) break;
    if (hops == 40) return fail(ELOOP);
    std::vector<char> target(PATH_MAX);
    const ssize_t n = readlink(finalPath.c_str(), target.data(), target.size() - 1);
    if (n < 0) return fail(errno);
    const std::string link(target.data(), static_cast<std::size_t>(n));
    finalPath = !link.empty() && link.front() == '/' ? link : FolderOf(finalPath) + "/" + link;
    if (finalPath.rfind("/proc/", 0) == 0) {
      throughProc = true;
      break;
    }
  }
  s.finalPath = finalPath;
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && Same(IdentityOf(st), input)) {
    error = path + " is the board file itself";
    return Refusal::SameAsInput;
  }
  if (exists && S_ISDIR(st.st_mode)) return fail(EISDIR);
  if (throughProc || (exists && !S_ISREG(st.st_mode))) {
    s.direct = true;
    s.target = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (s.target < 0) return fail(errno);
    s.ownTarget = true;
    return Refusal::None;
  }
  // A read-only file stays as it is, although its folder would let it be
  // replaced.
  if (exists && access(finalPath.c_str(), W_OK) != 0) return fail(errno);

  s.target = s.CreateTemp(FolderOf(finalPath));
  if (s.target < 0 && exists && (errno == EACCES || errno == EPERM)) {
    // A file the user may write in a folder they may not: finished elsewhere,
    // then copied over it.
    const char* tmp = std::getenv("TMPDIR");
    s.target = s.CreateTemp(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    if (s.target < 0) return fail(errno);
    s.copyOver = true;
  }
  if (s.target < 0) return fail(errno);
  s.ownTarget = true;
  if (exists) {
    // The new file gets the old one's permissions, and its owner and group
    // where the system lets it (root replacing another user's file).
    if (fchown(s.target, st.st_uid, st.st_gid) != 0) {
      // Not the user's to give: the new file is theirs, with the old mode.
    }
    fchmod(s.target, st.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(s.target, 0666 & ~mask);
  }
  return Refusal::None;
}

bool ExportOutput::Start(std::string& pluginPath, std::string& error) {
  State& s = *s_;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = "cannot start the export: " + SystemReason(errno);
    return false;
  }
  s.pipeRead = fds[0];
  s.pipeWrite = fds[1];
  fcntl(s.pipeWrite, F_SETPIPE_SZ, 1 << 20);  // fewer switches; a smaller pipe works too
  s.copier = std::thread([&s] { s.Copy(); });
  pluginPath = ProcFdPath(s.pipeWrite);
  return true;
}

bool ExportOutput::Finish(std::string& reason) {
  State& s = *s_;
  s.CloseFd(s.pipeWrite);
  if (s.copier.joinable()) s.copier.join();
  if (s.copyError != 0) {
    reason = SystemReason(s.copyError);
    return false;
  }
  return true;
}

bool ExportOutput::Write(std::string_view bytes, std::string& reason) {
  if (WriteAll(s_->target, bytes.data(), bytes.size())) return true;
  reason = SystemReason(errno);
  return false;
}

bool ExportOutput::Commit(std::string& reason) {
  State& s = *s_;
  if (s.direct) {
    const int fd = s.target;
    s.target = -1;
    if (s.ownTarget && close(fd) != 0) {
      reason = SystemReason(errno);
      return false;
    }
    return true;
  }
  if (s.copyOver) {
    if (!s.CopyOver(reason)) return false;
    Discard();
    return true;
  }
  if (fsync(s.target) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  if (s.unnamed) {
    // A name beside the destination first: a link cannot replace a file.
    const std::string base = FolderOf(s.finalPath) + "/." + BaseOf(s.finalPath).substr(0, 200);
    for (int attempt = 0;; ++attempt) {
      const std::string name =
          base + "." + std::to_string(getpid()) + "-" + std::to_string(attempt);
      NameTempFile(s.slot, name);
      if (linkat(AT_FDCWD, ProcFdPath(s.target).c_str(), AT_FDCWD, name.c_str(),
                 AT_SYMLINK_FOLLOW) == 0) {
        s.tempPath = name;
        break;
      }
      ForgetTempFile(s.slot);
      if (errno != EEXIST || attempt == 100) {
        reason = SystemReason(errno);
        return false;
      }
    }
    s.unnamed = false;
  }
  const int fd = s.target;
  s.target = -1;
  if (close(fd) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  if (rename(s.tempPath.c_str(), s.finalPath.c_str()) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  ForgetTempFile(s.slot);
  s.tempPath.clear();
  return true;
}

void ExportOutput::Discard() {
  State& s = *s_;
  s.CloseFd(s.pipeWrite);
  if (s.copier.joinable()) s.copier.join();
  s.CloseFd(s.pipeRead);
  if (!s.tempPath.empty()) {
    unlink(s.tempPath.c_str());
    ForgetTempFile(s.slot);
    s.tempPath.clear();
  }
  if (s.ownTarget) s.CloseFd(s.target);
  s.target = -1;
}

FileIdentity IdentityOfPath(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? IdentityOf(st) : FileIdentity{};
}

namespace {

void OnOutOfMemory() {
  EndProgressLineAndTempFile();
  static constexpr char kMessage[] =
      "pcb28-export: out of memory: the board needs more memory than the system gives this "
      "program\n";
  WriteError(kMessage, sizeof kMessage - 1);
  _exit(kExitOutOfMemory);
}

#ifdef PCB28_MIMALLOC
// The allocator ends the program itself when `new` fails, unless told
// first; its other errors keep their own handling.
void OnAllocatorError(int error, void*) {
  if (error == ENOMEM) OnOutOfMemory();
}
#endif

}  // namespace

void InstallOutOfMemoryHandler() {
  std::set_new_handler(&OnOutOfMemory);
  standin::SetOutOfMemoryHandler(&OnOutOfMemory);
#ifdef PCB28_MIMALLOC
  mi_register_error(&OnAllocatorError, nullptr);
#endif
}

// ------------------------------------------------------------------ libraries

void* OpenLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) error = dlerror();
  return library;
}

void* LibrarySymbol(void* library, const char* name) { return dlsym(library, name); }

}  // namespace cli

#endif  // !_WIN32
