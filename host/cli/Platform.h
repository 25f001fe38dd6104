// What pcb28-export needs from the operating system, in one place: files and
// their identity, the output written beside its destination, signals, the
// program's folder, loading a library. Platform_posix.cpp and
// Platform_windows.cpp hold the systems' versions, Platform.cpp what both share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace cli {

// The system's text for an error code ("No such file or directory").
std::string SystemReason(int error);

// Ignores SIGPIPE (a reader that quits becomes a write error) and SIGXFSZ
// (a file size limit becomes a write error), and makes SIGINT, SIGTERM and
// SIGHUP remove the temporary output file and end the progress line before
// the program ends by the same signal. A board file cut short while it is
// mapped (SIGBUS) ends the program the same way, with a message and the
// exit status of a bad board.
void InstallSignalHandlers();

// Asks for large pages under a buffer not yet written, where the system
// has them (a hint only).
void AdviseHugePages(char* data, std::size_t size);

// The folder of the running program; empty when unknown.
std::string ProgramFolder();

// Whether `path` names an existing folder.
bool IsFolder(const std::string& path);

// Which file a path or stream is, to tell the same file under two names.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool known = false;
};

// The bytes of a board, followed by boardfile::kBoardTextPadding bytes that
// may be read (zeros): a regular file mapped into memory where the system
// can (no copy, no fresh memory), else what was read.
class BoardText {
 public:
  BoardText() = default;
  ~BoardText();
  BoardText(const BoardText&) = delete;
  BoardText& operator=(const BoardText&) = delete;

  std::string_view View() const { return {data_, size_}; }
  // Gives back the text's memory once it is no longer read; View() is then
  // empty.
  void Release();

 private:
  friend class BoardInput;
  const char* data_ = "";
  std::size_t size_ = 0;
  std::string read_;         // what was read, with the padding
  void* mapping_ = nullptr;  // the mapping, when mapped
  std::size_t mappingLength_ = 0;
};

// A board file opened for reading ("-" is standard input). Only regular files
// are taken, and for standard input also pipes: a device or a named pipe
// might never end.
class BoardInput {
 public:
  BoardInput() = default;
  ~BoardInput();
  BoardInput(const BoardInput&) = delete;
  BoardInput& operator=(const BoardInput&) = delete;

  // On failure `error` says why, with the system's reason.
  bool Open(const std::string& path, std::uint64_t limit, std::string& error);
  // Reads the whole input, refusing more than `limit` bytes; `progress` is
  // told the bytes read and the size (0 when not known in advance). A named
  // regular file is mapped rather than read where the system can; should it
  // be cut short while it is mapped, the program ends with a message (see
  // InstallSignalHandlers).
  bool ReadAll(BoardText& text, std::string& error,
               const std::function<void(std::uint64_t, std::uint64_t)>& progress);
  const FileIdentity& Identity() const { return identity_; }

 private:
  // One read into `into`: the bytes read, 0 at the end, -1 with errno set.
  long long ReadSome(char* into, std::size_t size);
  // Maps the whole file into `text`; false when it is not mapped.
  bool Map(BoardText& text);

  int fd_ = -1;
  bool ownFd_ = false;
  std::string name_;
  std::uint64_t size_ = 0;  // of a regular file
  std::uint64_t limit_ = 0;
  FileIdentity identity_;
};

// One output file of the program: an export, or the board file that
// --save-board keeps. What is written goes into a temporary file beside the
// destination, which Commit() moves into place, or straight into an output
// that is not a regular file. Where the destination's folder cannot take a
// temporary file but the file itself may be written, the temporary file is
// made in the system's temporary folder and Commit() copies it over the
// destination (that last step is not atomic).
//
// An export is written by the plug-in into a pipe (Start()); a thread copies
// what comes out of it into the output. A copy that fails closes the pipe, so
// the plug-in sees the failure and reports it, and the copy's reason is kept.
class ExportOutput {
 public:
  ExportOutput();
  ~ExportOutput();  // discards what is not committed
  ExportOutput(const ExportOutput&) = delete;
  ExportOutput& operator=(const ExportOutput&) = delete;

  enum class Refusal { None, SameAsInput, FileError };
  // Checks the destination and creates the temporary file: every error that
  // can be known before the export. `path` is as the user gave it ("-" is
  // standard output).
  Refusal Prepare(const std::string& path, const FileIdentity& input, std::string& error);
  // Starts the copy; the path the plug-in is to write.
  bool Start(std::string& pluginPath, std::string& error);
  // Waits for the copy to end (the plug-in has returned). Returns false with
  // the copy's reason when writing failed.
  bool Finish(std::string& reason);
  // Writes `bytes` into the output itself (no plug-in, no pipe).
  bool Write(std::string_view bytes, std::string& reason);
  // Moves the temporary file into place (nothing to do for a direct output).
  bool Commit(std::string& reason);
  // Removes the temporary file.
  void Discard();

 private:
  struct State;
  std::unique_ptr<State> s_;
};

// Which file a path names (symbolic links followed); not known when it
// cannot be opened or does not exist.
FileIdentity IdentityOfPath(const std::string& path);

// Whether two paths name one file: the same file when both exist, else the
// same path once made absolute and normal. Symbolic links are followed.
bool SameFile(const std::string& a, const std::string& b);

// Makes running out of memory anywhere in the program end it with a message
// and kExitOutOfMemory, after the temporary files are removed, instead of an
// exception that nothing catches.
void InstallOutOfMemoryHandler();

// A loaded library and its symbols; empty on failure, with the loader's
// reason in `error`.
void* OpenLibrary(const std::string& path, std::string& error);
void* LibrarySymbol(void* library, const char* name);

}  // namespace cli
