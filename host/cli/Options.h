// The command line of pcb28-export: its options, its help text and its exit
// statuses.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Exit statuses, the same for every way the program is run.
enum ExitStatus : int {
  kExitWritten = 0,      // every board was written
  kExitNotWritten = 1,   // an output file could not be written
  kExitUsage = 2,        // bad usage, including an output that is the input
  kExitBadBoard = 3,     // a board file that cannot be read or is not a board
  kExitPlugin = 4,       // the plug-in could not be loaded or refused the format
  kExitOutOfMemory = 5,  // the board needs more memory than the system gives
};

// The program's name, which starts its messages.
inline constexpr const char* kProgram = "pcb28-export";

// The name standard input and standard output go by on the command line.
inline constexpr const char* kStandardStream = "-";

struct Options {
  std::vector<std::string> boards;
  std::string output;  // empty: not given
  bool outputGiven = false;
  std::string plugin;  // empty: the installed one
  bool quiet = false;
  std::string saveBoard;  // empty: not given
  std::string svg;        // the picture of the export; empty: not given
};

enum class Parsed { Run, Help, Version, Bad };

// Parses argv (GNU style: options anywhere, --name=value, -oVALUE, grouped
// short flags, "--" ends the options). On Bad, `error` says why.
Parsed ParseOptions(int argc, char** argv, Options& options, std::string& error);

const char* HelpText();
const char* VersionText();

}  // namespace cli
