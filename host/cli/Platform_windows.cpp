// The Windows side of pcb28-export. The plug-in writes into a temporary file
// beside the destination, which MoveFileExW puts in place once the export
// succeeded; standard output gets a temporary file's bytes. Ctrl+C and the
// closing of the console remove the temporary files before the system ends
// the program. Board files are read, not mapped.
#if defined(_WIN32)

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <vector>

#include "cli/Options.h"
#include "cli/Platform.h"
#include "server/ProgressLine.h"
#include "server/Server.h"

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

}  // namespace

FileIdentity IdentityOfPath(const std::string& path) {
  const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) return {};
  const FileIdentity identity = IdentityOfFd(fd);
  _close(fd);
  return identity;
}

namespace {

bool Same(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

// Paths are handed to the plug-in in the system's code page, as it opens
// them; the wide calls get the same names.
std::wstring Wide(const std::string& text) {
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// The system's text for a Windows error code.
std::string WindowsReason(DWORD code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = n > 0 ? std::string(text, n) : "Windows error " + std::to_string(code);
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

// The temporary files not yet moved into place, removed when the program
// is ended early.
std::mutex g_TempMutex;
std::vector<std::wstring> g_TempFiles;

void RemoveTempFiles() {
  std::lock_guard<std::mutex> lock(g_TempMutex);
  for (const std::wstring& name : g_TempFiles) DeleteFileW(name.c_str());
  g_TempFiles.clear();
}

void ForgetTempFile(const std::wstring& name) {
  std::lock_guard<std::mutex> lock(g_TempMutex);
  for (auto it = g_TempFiles.begin(); it != g_TempFiles.end(); ++it) {
    if (*it == name) {
      g_TempFiles.erase(it);
      return;
    }
  }
}

BOOL WINAPI OnConsoleEnd(DWORD) {
  RemoveTempFiles();
  if (standin::ProgressLineOpen()) std::fputs("\n", stderr);
  return FALSE;  // the system's own handling ends the program
}

void OnOutOfMemory() {
  RemoveTempFiles();
  standin::ProgressEnd();
  std::fputs(
      "pcb28-export: out of memory: the board needs more memory than the system gives this "
      "program\n",
      stderr);
  std::fflush(stderr);
  _exit(kExitOutOfMemory);
}

}  // namespace

std::string SystemReason(int error) { return std::strerror(error); }

void InstallSignalHandlers() { SetConsoleCtrlHandler(&OnConsoleEnd, TRUE); }

void InstallOutOfMemoryHandler() {
  std::set_new_handler(&OnOutOfMemory);
  standin::SetOutOfMemoryHandler(&OnOutOfMemory);  // the server's own runtime
}

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
void BoardText::Release() {
  data_ = "";
  size_ = 0;
  std::string().swap(read_);
}
bool BoardInput::Map(BoardText&) { return false; }

long long BoardInput::ReadSome(char* into, std::size_t size) {
  return _read(fd_, into, static_cast<unsigned>(size));
}

void AdviseHugePages(char*, std::size_t) {}

// ------------------------------------------------------------------ output

struct ExportOutput::State {
  std::string shownPath;  // as the user gave it
  std::string finalPath;  // a symbolic link followed: the file replaced
  std::string tempPath;   // the temporary file, while it exists
  bool direct = false;    // a device: the plug-in writes it itself
  bool toStdout = false;  // the temporary file's bytes go to standard output
  bool copyOver = false;  // the temporary file is elsewhere: copied over the destination

  // A new, empty temporary file in `folder`; false with GetLastError() set.
  bool CreateTemp(const std::string& folder) {
    const std::string base = std::filesystem::path(finalPath).filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = (folder.empty() ? std::string() : folder + "\\") + "." + base + "." +
                               std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(attempt) + ".tmp";
      const HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        tempPath = name;
        std::lock_guard<std::mutex> lock(g_TempMutex);
        g_TempFiles.push_back(Wide(name));
        return true;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
  }

  void RemoveTemp() {
    if (tempPath.empty()) return;
    const std::wstring name = Wide(tempPath);
    DeleteFileW(name.c_str());
    ForgetTempFile(name);
    tempPath.clear();
  }
};

ExportOutput::ExportOutput() : s_(std::make_unique<State>()) {}

ExportOutput::~ExportOutput() { Discard(); }

ExportOutput::Refusal ExportOutput::Prepare(const std::string& path, const FileIdentity& input,
                                            std::string& error) {
  State& s = *s_;
  s.shownPath = path;
  auto fail = [&](const std::string& reason) {
    error = "cannot write " + path + ": " + reason;
    return Refusal::FileError;
  };
  std::error_code ec;
  if (path == "-") {
    if (Same(IdentityOfFd(_fileno(stdout)), input)) {
      error = "standard output is the board file itself";
      return Refusal::SameAsInput;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    s.toStdout = true;
    s.finalPath = "stdout";
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec || !s.CreateTemp(temp.string())) return fail(WindowsReason(GetLastError()));
    return Refusal::None;
  }
  std::filesystem::path target(path);
  // What the plug-in's open would meet: a name too long, a missing folder.
  for (const auto& part : target)
    if (part.string().size() > 255) return fail(SystemReason(ENAMETOOLONG));
  if (std::filesystem::is_symlink(target, ec)) {
    const std::filesystem::path linked = std::filesystem::weakly_canonical(target, ec);
    if (!ec) target = linked;
  }
  s.finalPath = target.string();
  const std::filesystem::path folder = target.parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
    return fail(SystemReason(ENOENT));
  if (Same(IdentityOfPath(path), input)) {
    error = path + " is the board file itself";
    return Refusal::SameAsInput;
  }
  const DWORD attributes = GetFileAttributesW(Wide(s.finalPath).c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return fail(SystemReason(EISDIR));
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return fail(SystemReason(EACCES));
  if (exists && !std::filesystem::is_regular_file(target, ec)) {
    s.direct = true;  // a device: written in place
    return Refusal::None;
  }
  if (s.CreateTemp(folder.string())) return Refusal::None;
  const DWORD failure = GetLastError();
  if (exists && failure == ERROR_ACCESS_DENIED) {
    // A file the user may write in a folder they may not: finished
    // elsewhere, then copied over it.
    const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (!ec && s.CreateTemp(temp.string())) {
      s.copyOver = true;
      return Refusal::None;
    }
  }
  return fail(WindowsReason(failure));
}

bool ExportOutput::Start(std::string& pluginPath, std::string&) {
  pluginPath = s_->direct ? s_->shownPath : s_->tempPath;
  return true;
}

bool ExportOutput::Finish(std::string&) { return true; }

bool ExportOutput::Write(std::string_view bytes, std::string& reason) {
  State& s = *s_;
  std::FILE* file = std::fopen(s.direct ? s.shownPath.c_str() : s.tempPath.c_str(), "wb");
  if (file == nullptr) {
    reason = SystemReason(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int error = errno;
  if (std::fclose(file) != 0 || !written) {
    reason = SystemReason(written ? errno : error);
    return false;
  }
  return true;
}

bool ExportOutput::Commit(std::string& reason) {
  State& s = *s_;
  if (s.direct) return true;
  bool done;
  if (s.toStdout) {
    std::FILE* file = std::fopen(s.tempPath.c_str(), "rb");
    done = file != nullptr;
    std::vector<char> buffer(1 << 20);
    std::size_t n;
    while (done && (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
      done = std::fwrite(buffer.data(), 1, n, stdout) == n;
    done = done && std::fflush(stdout) == 0;
    if (!done) reason = SystemReason(errno);
    if (file != nullptr) std::fclose(file);
  } else {
    const std::wstring from = Wide(s.tempPath), to = Wide(s.finalPath);
    done = s.copyOver ? CopyFileW(from.c_str(), to.c_str(), FALSE) != 0
                      : MoveFileExW(from.c_str(), to.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!done) reason = WindowsReason(GetLastError());
    if (done && !s.copyOver) {
      ForgetTempFile(from);
      s.tempPath.clear();
    }
  }
  s.RemoveTemp();
  return done;
}

void ExportOutput::Discard() { s_->RemoveTemp(); }

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
