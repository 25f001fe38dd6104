// pcb28-export: the stand-in host program. It plays the part of the design
// environment for one export: the server library is loaded (linked) first,
// then the board file is read into it, then the plug-in is loaded by path,
// asked for its format description and told to export the board.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "LenString.h"
#include "boardfile/BoardFile.h"

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitErrorBox = 1;
constexpr int kExitBadInput = 2;

constexpr const char* kUsage =
    "usage: pcb28-export BOARD [-o OUT] [--plugin PLUGIN]\n"
    "\n"
    "Exports the board file BOARD (JSON) to a PCB 2.8 ASCII file, the way the\n"
    "design environment runs the export plug-in.\n"
    "\n"
    "  -o OUT           the file to write (default: BOARD with the extension .pcb)\n"
    "  --plugin PLUGIN  the plug-in library to load (default: the one installed\n"
    "                   beside this program)\n"
    "  --help           show this text\n"
    "\n"
    "Exit status: 0 the file was written; 1 the export reported an error (the\n"
    "error box); 2 bad arguments or a bad board file.\n";

struct Arguments {
  std::string board;
  std::string output;
  std::string plugin;
};

using DescriptionFn = const char* (*)();
using ExportFn = bool (*)(const std::uint8_t*, const std::uint8_t*);
using ErrorBoxHandler = void (*)(const char*, const char*);
using SetErrorBoxFn = ErrorBoxHandler (*)(ErrorBoxHandler);

bool g_ErrorBoxShown = false;

void ReportErrorBox(const char* caption, const char* text) {
  g_ErrorBoxShown = true;
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

int BadArguments(const char* message) {
  std::fprintf(stderr, "pcb28-export: %s\n\n%s", message, kUsage);
  return kExitBadInput;
}

// Parses the command line; returns -1 to go on, or the exit status.
int ParseArguments(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitWritten;
    }
    if (arg == "-o" || arg == "--plugin") {
      if (i + 1 >= argc) return BadArguments(("option " + arg + " needs a value").c_str());
      (arg == "-o" ? args.output : args.plugin) = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return BadArguments(("unknown option " + arg).c_str());
    } else if (args.board.empty()) {
      args.board = arg;
    } else {
      return BadArguments("more than one board file given");
    }
  }
  if (args.board.empty()) return BadArguments("no board file given");
  if (args.output.empty()) {
    std::filesystem::path out = args.board;
    if (out.extension() == ".pcb")
      return BadArguments("the board file ends in .pcb: give the output file with -o");
    args.output = out.replace_extension(".pcb").string();
  }
  if (args.output.size() > 255)
    return BadArguments("the output file name is longer than 255 characters");
  if (args.plugin.empty()) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    args.plugin =
        (ec ? std::filesystem::path(PCB28_PLUGIN_FILE) : self.parent_path() / PCB28_PLUGIN_FILE)
            .string();
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (int status = ParseArguments(argc, argv, args); status >= 0) return status;

  std::string error;
  if (!boardfile::LoadBoardFile(args.board, error)) {
    std::fprintf(stderr, "pcb28-export: %s\n", error.c_str());
    return kExitBadInput;
  }

  void* plugin = dlopen(args.plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    std::fprintf(stderr, "pcb28-export: cannot load the plug-in %s: %s\n", args.plugin.c_str(),
                 dlerror());
    return kExitBadInput;
  }
  auto describe = reinterpret_cast<DescriptionFn>(dlsym(plugin, "GetPcbExporterDescription"));
  auto exportFile = reinterpret_cast<ExportFn>(dlsym(plugin, "ExportFileFromPcb"));
  auto setErrorBox = reinterpret_cast<SetErrorBoxFn>(dlsym(plugin, "Pcb28_SetErrorBoxHandler"));
  if (describe == nullptr || exportFile == nullptr) {
    std::fprintf(stderr, "pcb28-export: %s is not an export plug-in\n", args.plugin.c_str());
    return kExitBadInput;
  }
  if (setErrorBox != nullptr) setErrorBox(&ReportErrorBox);

  const std::string description = describe();
  if (description.size() > 255) {
    std::fprintf(stderr, "pcb28-export: the plug-in's format description is too long\n");
    return kExitBadInput;
  }
  const LenString fileName(args.output);
  const LenString format(description);

  if (!exportFile(fileName.Buffer(), format.Buffer())) {
    std::fprintf(stderr, "pcb28-export: the plug-in did not recognise the format \"%s\"\n",
                 description.c_str());
    return kExitErrorBox;
  }
  if (g_ErrorBoxShown) return kExitErrorBox;
  std::fprintf(stderr, "pcb28-export: wrote %s\n", args.output.c_str());
  return kExitWritten;
}
