// pcb28-export: the stand-in host program. It plays the part of the design
// environment for one export: the server library is loaded (linked) first,
// then the board file is read into it, then the plug-in is loaded by path,
// asked for its format description and told to export the board.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "PluginExports.h"
#include "boardfile/BoardFile.h"
#include "cli/PluginLibrary.h"
#include "errorbox/ErrorBoxWatch.h"

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

bool g_ErrorBoxShown = false;

void ReportErrorBox(const errorbox::Shown& box) {
  g_ErrorBoxShown = true;
  std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
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
    args.plugin = (std::filesystem::path(cli::ProgramFolder()) / PCB28_PLUGIN_FILE).string();
  }
  return -1;
}

// A length-prefixed copy of `text` in a 256-byte buffer (text fits: checked).
void ToLenString(const std::string& text, std::uint8_t (&buffer)[256]) {
  buffer[0] = static_cast<std::uint8_t>(text.size());
  std::memcpy(buffer + 1, text.data(), text.size());
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

  std::string loadError;
  void* plugin = cli::LoadPlugin(args.plugin, loadError);
  if (plugin == nullptr) {
    std::fprintf(stderr, "pcb28-export: cannot load the plug-in %s: %s\n", args.plugin.c_str(),
                 loadError.c_str());
    return kExitBadInput;
  }
  auto describe = reinterpret_cast<GetPcbExporterDescriptionFn>(
      cli::PluginExport(plugin, "GetPcbExporterDescription"));
  auto exportFile =
      reinterpret_cast<ExportFileFromPcbFn>(cli::PluginExport(plugin, "ExportFileFromPcb"));
  if (describe == nullptr || exportFile == nullptr) {
    std::fprintf(stderr, "pcb28-export: %s is not an export plug-in\n", args.plugin.c_str());
    return kExitBadInput;
  }
  // The box is reported on standard error and ends the run with status 1;
  // it never waits for a click.
  errorbox::Watch(plugin, &ReportErrorBox);

  const std::string description = describe();
  if (description.size() > 255) {
    std::fprintf(stderr, "pcb28-export: the plug-in's format description is too long\n");
    return kExitBadInput;
  }
  std::uint8_t fileName[256];
  std::uint8_t format[256];
  ToLenString(args.output, fileName);
  ToLenString(description, format);

  if (!exportFile(fileName, format)) {
    std::fprintf(stderr, "pcb28-export: the plug-in did not recognise the format \"%s\"\n",
                 description.c_str());
    return kExitErrorBox;
  }
  if (g_ErrorBoxShown) return kExitErrorBox;
  std::fprintf(stderr, "pcb28-export: wrote %s\n", args.output.c_str());
  return kExitWritten;
}
