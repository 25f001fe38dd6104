#include "cli/Options.h"

#include <string>
#include <string_view>

namespace cli {

namespace {

// Also the source of the man page, which is made from this text.
constexpr const char* kHelp =
    "Usage: pcb28-export [OPTION]... BOARD...\n"
    "Export board files to PCB 2.8 ASCII files, the way the design environment\n"
    "runs the export plug-in.\n"
    "\n"
    "BOARD is a board file (JSON) or a KiCad board (.kicad_pcb, told by its\n"
    "content); - reads one from standard input. Each board\n"
    "is written to the file given with -o, else beside the board file under its\n"
    "name with the extension .pcb (to standard output for -).\n"
    "\n"
    "  -o, --output=OUT   the file to write; - writes to standard output. When OUT\n"
    "                     is a folder, or several boards are given, each board is\n"
    "                     written into the folder OUT under its own name\n"
    "      --plugin=FILE  the plug-in library to load (default: the installed one)\n"
    "  -q, --quiet        no progress line and no \"wrote\" line\n"
    "      --save-board=FILE  also write the board file (JSON) that was loaded,\n"
    "                     e.g. what a KiCad board was converted to (one board);\n"
    "                     written with the same care as the export\n"
    "      --svg=FILE     also draw the written file as an SVG picture (one board)\n"
    "  -h, --help         show this text and exit\n"
    "      --version      show the version and exit\n"
    "      --             end of the options: what follows are board files\n"
    "\n"
    "An output file is written under a temporary name beside it and moved into\n"
    "place only when the whole export succeeded, so a failed or interrupted\n"
    "export leaves an existing file as it was; a symbolic link keeps pointing to\n"
    "the new file. Where the folder takes no new file but the file may be\n"
    "written, the export is finished in the temporary folder and then copied\n"
    "over the file (that last step is not atomic). An output that is not a\n"
    "regular file (a pipe, a device) is written directly. A board file holds at\n"
    "most 256 MiB and 1048576 objects. While a board loads and exports, a\n"
    "progress line is drawn on standard error when that is a terminal.\n"
    "\n"
    "Exit status:\n"
    "  0  every board was written\n"
    "  1  an output file could not be written: the export's error box, or a file\n"
    "     error found before or after the export, each with its reason\n"
    "  2  bad usage: an unknown option, a missing value, an output that is the\n"
    "     board file itself, several boards and an -o that is not a folder\n"
    "  3  a bad board file: missing, unreadable, too large, past a limit, not a\n"
    "     board file\n"
    "  4  the plug-in could not be loaded or did not take the format\n"
    "  5  out of memory: the board needs more memory than the system gives\n"
    "With several boards, the status is that of the first board that failed.\n";

constexpr const char* kVersion = "pcb28-export " PCB28_VERSION "\n";

// Takes the value of an option: the rest of the argument, or the next one.
bool TakeValue(std::string_view name, std::string_view attached, int argc, char** argv, int& i,
               std::string& value, std::string& error) {
  if (!attached.empty()) {
    value = std::string(attached);
    return true;
  }
  if (i + 1 >= argc) {
    error = "option " + std::string(name) + " needs a value";
    return false;
  }
  value = argv[++i];
  return true;
}

}  // namespace

const char* HelpText() { return kHelp; }
const char* VersionText() { return kVersion; }

Parsed ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  bool optionsEnded = false;
  bool help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.boards.emplace_back(arg);  // "-" is standard input
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg.substr(0, 2) == "--") {
      const std::size_t equals = arg.find('=');
      const std::string_view name = arg.substr(0, equals);
      const bool hasValue = equals != std::string_view::npos;
      const std::string_view attached = hasValue ? arg.substr(equals + 1) : std::string_view{};
      if (name == "--output" || name == "--plugin" || name == "--save-board" || name == "--svg") {
        std::string& value = name == "--output"       ? options.output
                             : name == "--plugin"     ? options.plugin
                             : name == "--save-board" ? options.saveBoard
                                                      : options.svg;
        if (hasValue) {
          value = std::string(attached);
        } else if (!TakeValue(name, {}, argc, argv, i, value, error)) {
          return Parsed::Bad;
        }
        if (name == "--output") options.outputGiven = true;
        if (value.empty()) {
          error = "option " + std::string(name) + " needs a value that is not empty";
          return Parsed::Bad;
        }
        continue;
      }
      if (hasValue && (name == "--quiet" || name == "--help" || name == "--version")) {
        error = "option " + std::string(name) + " takes no value";
        return Parsed::Bad;
      }
      if (name == "--quiet") {
        options.quiet = true;
      } else if (name == "--help") {
        help = true;
      } else if (name == "--version") {
        version = true;
      } else {
        error = "unknown option " + std::string(name);
        return Parsed::Bad;
      }
      continue;
    }
    // Short options, grouped: -qh, -oOUT, -qo OUT.
    for (std::size_t k = 1; k < arg.size(); ++k) {
      const char c = arg[k];
      if (c == 'q') {
        options.quiet = true;
      } else if (c == 'h') {
        help = true;
      } else if (c == 'o') {
        if (!TakeValue("-o", arg.substr(k + 1), argc, argv, i, options.output, error))
          return Parsed::Bad;
        options.outputGiven = true;
        if (options.output.empty()) {
          error = "option -o needs a value that is not empty";
          return Parsed::Bad;
        }
        break;
      } else {
        error = "unknown option -" + std::string(1, c);
        return Parsed::Bad;
      }
    }
  }
  if (help) return Parsed::Help;
  if (version) return Parsed::Version;
  if (options.boards.empty()) {
    error = "no board file given";
    return Parsed::Bad;
  }
  if (!options.saveBoard.empty() && options.boards.size() > 1) {
    error = "--save-board takes one board, not " + std::to_string(options.boards.size());
    return Parsed::Bad;
  }
  if (!options.svg.empty() && options.boards.size() > 1) {
    error = "--svg takes one board, not " + std::to_string(options.boards.size());
    return Parsed::Bad;
  }
  if (!options.svg.empty() && (options.output == kStandardStream ||
                               (!options.outputGiven && options.boards[0] == kStandardStream))) {
    error = "--svg draws the written file: give the output file with -o";
    return Parsed::Bad;
  }
  return Parsed::Run;
}

}  // namespace cli
