#include "support/Platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>

namespace testsupport {

#if defined(_WIN32)

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

void* LoadLibraryFile(const std::string& path) {
  return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}

void* LibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void UnloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string LastLibraryError() { return "error " + std::to_string(GetLastError()); }

void* LoadedLibrary(const char* fileName) {
  return reinterpret_cast<void*>(GetModuleHandleA(fileName));
}

namespace {

// One argument of a command line as the C runtime splits it again.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               std::string* output) {
  std::string commandLine = Quoted(program);
  for (const std::string& argument : arguments) commandLine += " " + Quoted(argument);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    char chunk[4096];
    DWORD n = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &n, nullptr) && n > 0)
      if (output != nullptr) output->append(chunk, n);
  }
  CloseHandle(readEnd);
  if (!started) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  const bool exited = GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return exited ? static_cast<int>(status) : -1;
}

std::string FullDevice() { return {}; }

#else

long ProcessId() { return static_cast<long>(getpid()); }

void* LoadLibraryFile(const std::string& path) {
  return dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

void* LibrarySymbol(void* library, const char* name) { return dlsym(library, name); }

void UnloadLibrary(void* library) { dlclose(library); }

std::string LastLibraryError() {
  const char* error = dlerror();
  return error != nullptr ? error : "";
}

void* LoadedLibrary(const char* fileName) {
  void* library = dlopen(fileName, RTLD_NOLOAD | RTLD_NOW);
  if (library != nullptr) dlclose(library);  // the loader still holds it
  return library;
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               std::string* output) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  char chunk[4096];
  ssize_t n;
  while ((n = read(pipeEnds[0], chunk, sizeof chunk)) > 0)
    if (output != nullptr) output->append(chunk, static_cast<std::size_t>(n));
  close(pipeEnds[0]);
  if (child < 0) return -1;
  int raw = 0;
  if (waitpid(child, &raw, 0) != child) return -1;
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string FullDevice() { return std::filesystem::exists("/dev/full") ? "/dev/full" : ""; }

#endif

}  // namespace testsupport
