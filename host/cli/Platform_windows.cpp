// The Windows side of pcb28-export. The plug-in writes straight into the
// destination: no temporary file moved into place, so a failed export can
// leave a partly written file, and standard output is not offered as an
// output. Ctrl+C keeps the system's default handling.
#if defined(_WIN32)

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cli/Platform.h"

namespace cli {

namespace {

// The volume and file index: what tells one file from another on Windows.
FileIdentity IdentityOfFd(int fd) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return {};
  return {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, true};
}

FileIdentity IdentityOfPath(const std::string& path) {
  const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) return {};
  const FileIdentity identity = IdentityOfFd(fd);
  _close(fd);
  return identity;
}

bool Same(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

}  // namespace

std::string SystemReason(int error) { return std::strerror(error); }

void InstallSignalHandlers() {}

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n == sizeof path) return {};
  return std::filesystem::path(std::string(path, n)).parent_path().string();
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

// ------------------------------------------------------------------ input

BoardInput::~BoardInput() {
  if (ownFd_ && fd_ >= 0) _close(fd_);
}

bool BoardInput::Open(const std::string& path, std::uint64_t limit, std::string& error) {
  limit_ = limit;
  name_ = path == "-" ? "standard input" : path;
  if (path == "-") {
    fd_ = _fileno(stdin);
    _setmode(fd_, _O_BINARY);
  } else {
    fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd_ < 0) {
      error = path + ": " + SystemReason(errno);
      return false;
    }
    ownFd_ = true;
  }
  struct _stat64 st {};
  if (_fstat64(fd_, &st) != 0) {
    error = name_ + ": " + SystemReason(errno);
    return false;
  }
  const bool regular = (st.st_mode & _S_IFMT) == _S_IFREG;
  if (path != "-" && !regular) {
    error = path + ": not a regular file";
    return false;
  }
  identity_ = IdentityOfFd(fd_);
  size_ = regular ? static_cast<std::uint64_t>(st.st_size) : 0;
  if (size_ > limit_) {
    error = name_ + ": too large for a board file (" + std::to_string(size_) +
            " bytes; a board file holds at most " + std::to_string(limit_ >> 20) + " MiB)";
    return false;
  }
  return true;
}

// Board files are read, not mapped, here.
BoardText::~BoardText() = default;
bool BoardInput::Map(BoardText&) { return false; }

long long BoardInput::ReadSome(char* into, std::size_t size) {
  return _read(fd_, into, static_cast<unsigned>(size));
}

void AdviseHugePages(char*, std::size_t) {}

// ------------------------------------------------------------------ output

struct ExportOutput::State {
  std::string path;
};

ExportOutput::ExportOutput() : s_(std::make_unique<State>()) {}

ExportOutput::~ExportOutput() = default;

ExportOutput::Refusal ExportOutput::Prepare(const std::string& path, const FileIdentity& input,
                                            std::string& error) {
  s_->path = path;
  auto fail = [&](const std::string& reason) {
    error = "cannot write " + path + ": " + reason;
    return Refusal::FileError;
  };
  if (path == "-") return fail("standard output is not an output on Windows");
  const std::filesystem::path target(path);
  // What the plug-in's open would meet: a name too long, a missing folder.
  for (const auto& part : target)
    if (part.string().size() > 255) return fail(SystemReason(ENAMETOOLONG));
  const std::filesystem::path folder = target.parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
    return fail(SystemReason(ENOENT));
  if (Same(IdentityOfPath(path), input)) {
    error = path + " is the board file itself";
    return Refusal::SameAsInput;
  }
  if (std::filesystem::is_directory(target, ec)) return fail(SystemReason(EISDIR));
  return Refusal::None;
}

bool ExportOutput::Start(std::string& pluginPath, std::string&) {
  pluginPath = s_->path;
  return true;
}

bool ExportOutput::Finish(std::string&) { return true; }

bool ExportOutput::Commit(std::string&) { return true; }

void ExportOutput::Discard() {}

// ------------------------------------------------------------------ libraries

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (library == nullptr) error = "Windows error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(library);
}

void* LibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace cli

#endif  // _WIN32
