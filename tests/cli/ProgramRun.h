// Running pcb28-export as a separate process without a shell: its arguments,
// standard input, limits and terminal are set here, and signals can be sent
// to it while it runs.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace clitest {

struct RunSetup {
  std::string input;                     // written to standard input, which is then closed
  bool keepInputOpen = false;            // standard input stays open (the program waits on it)
  long fileSizeLimit = -1;               // RLIMIT_FSIZE in bytes; -1: none
  int outputFd = -1;                     // standard output; -1: a pipe read into Outcome::out
  int terminalColumns = 0;               // > 0: standard error is a pseudo-terminal this wide
  long addressSpaceLimit = -1;           // RLIMIT_AS in bytes; -1: none
  bool asOtherUser = false;              // run as user and group 65534 when the tests run as root
  std::vector<std::string> environment;  // NAME=VALUE set for the program
  std::string program;                   // another program to run; empty: pcb28-export
};

// The user the program runs as with RunSetup::asOtherUser.
inline constexpr unsigned kOtherUser = 65534;

struct Outcome {
  int status = -1;  // exit status; -1 when ended by a signal
  int signal = 0;   // the signal that ended it
  std::string out, err;
};

class Process {
 public:
  Process(const std::vector<std::string>& arguments, const RunSetup& setup = {});
  ~Process();
  pid_t Pid() const { return pid_; }
  void Signal(int signal);
  // Reads its output until it ends (killed after a generous timeout).
  Outcome Wait();

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1, err_ = -1;
  bool waited_ = false;
};

// Runs the program to its end.
Outcome RunExport(const std::vector<std::string>& arguments, const RunSetup& setup = {});

// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

}  // namespace clitest
