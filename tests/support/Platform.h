// What the tests need of the operating system, the same on POSIX systems and
// on Windows: the process id, loading a library by path, running a program.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

long ProcessId();

// Loads a shared library (a DLL on Windows) by path; nullptr on failure, with
// the reason in LastLibraryError().
void* LoadLibraryFile(const std::string& path);
void* LibrarySymbol(void* library, const char* name);
void UnloadLibrary(void* library);
std::string LastLibraryError();
// The library of this file name if it is loaded in the process, else
// nullptr; it takes no reference.
void* LoadedLibrary(const char* fileName);
inline bool IsLibraryLoaded(const char* fileName) { return LoadedLibrary(fileName) != nullptr; }

// Runs a program with the given arguments (no shell) and waits for it;
// `output` gets its standard output and standard error together. Returns
// the exit status, or -1 when it could not be run or did not exit normally.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments,
               std::string* output = nullptr);

// A device on which every write fails for want of space ("/dev/full"), or
// an empty string where the system has none.
std::string FullDevice();

}  // namespace testsupport
