#include "cli/ProgramRun.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace clitest {

namespace {

constexpr auto kTimeout = std::chrono::seconds(120);

void Drain(int& fd, std::string& into) {
  char chunk[65536];
  const ssize_t n = read(fd, chunk, sizeof chunk);
  if (n > 0) {
    into.append(chunk, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close(fd);  // a pseudo-terminal ends with EIO when the program is gone
    fd = -1;
  }
}

}  // namespace

Process::Process(const std::vector<std::string>& arguments, const RunSetup& setup) {
  int in[2], out[2] = {-1, -1}, err[2];
  if (pipe(in) != 0 || (setup.outputFd < 0 && pipe(out) != 0)) return;
  int terminal = -1;
  if (setup.terminalColumns > 0) {
    err[0] = posix_openpt(O_RDWR | O_NOCTTY);
    if (err[0] < 0 || grantpt(err[0]) != 0 || unlockpt(err[0]) != 0) return;
    terminal = open(ptsname(err[0]), O_RDWR | O_NOCTTY);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(setup.terminalColumns);
    ioctl(terminal, TIOCSWINSZ, &size);
    err[1] = terminal;
  } else if (pipe(err) != 0) {
    return;
  }
  std::vector<char*> argv;
  argv.push_back(
      const_cast<char*>(setup.program.empty() ? PCB28_EXPORT_PROGRAM : setup.program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(setup.outputFd >= 0 ? setup.outputFd : out[1], 1);
    dup2(err[1], 2);
    for (int fd = 3; fd < 1024; ++fd) close(fd);
    if (setup.fileSizeLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(setup.fileSizeLimit),
                         static_cast<rlim_t>(setup.fileSizeLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (setup.addressSpaceLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(setup.addressSpaceLimit),
                         static_cast<rlim_t>(setup.addressSpaceLimit)};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (setup.asOtherUser && geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0))
      _exit(126);
    unsetenv("COLUMNS");
    for (const std::string& variable : setup.environment)
      putenv(const_cast<char*>(variable.c_str()));
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  if (out[1] >= 0) close(out[1]);
  close(err[1]);
  in_ = in[1];
  out_ = out[0];
  err_ = err[0];
  // A child that never reads its input must not block this one.
  fcntl(in_, F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  while (written < setup.input.size()) {
    const ssize_t n = write(in_, setup.input.data() + written, setup.input.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  if (!setup.keepInputOpen) {
    close(in_);
    in_ = -1;
  }
}

Process::~Process() {
  if (!waited_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    Wait();
  }
}

void Process::Signal(int signal) { kill(pid_, signal); }

Outcome Process::Wait() {
  Outcome outcome;
  if (pid_ <= 0) return outcome;
  const auto deadline = std::chrono::steady_clock::now() + kTimeout;
  while (out_ >= 0 || err_ >= 0) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (poll(fds, 2, 1000) > 0) {
      if (out_ >= 0 && fds[0].revents != 0) Drain(out_, outcome.out);
      if (err_ >= 0 && fds[1].revents != 0) Drain(err_, outcome.err);
    }
    if (std::chrono::steady_clock::now() > deadline) kill(pid_, SIGKILL);
  }
  if (in_ >= 0) close(in_);
  int raw = 0;
  waitpid(pid_, &raw, 0);
  waited_ = true;
  if (WIFEXITED(raw)) outcome.status = WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) outcome.signal = WTERMSIG(raw);
  return outcome;
}

Outcome RunExport(const std::vector<std::string>& arguments, const RunSetup& setup) {
  return Process(arguments, setup).Wait();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace clitest
