// pcb28-view: draws a PCB 2.8 ASCII file as an SVG picture.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "view/ViewFile.h"

namespace {

constexpr const char* kProgram = "pcb28-view";

// Exit statuses, as pcb28-export's.
enum : int { kDrawn = 0, kNotWritten = 1, kUsage = 2, kBadFile = 3 };

constexpr const char* kHelp =
    "Usage: pcb28-view [OPTION]... FILE.pcb\n"
    "Draw a PCB 2.8 ASCII file as an SVG picture: every record one element,\n"
    "grouped by layer, with a legend of the layers and the board's size.\n"
    "\n"
    "  -o, --output=OUT   the picture to write (default: FILE.svg beside FILE.pcb);\n"
    "                     - writes to standard output\n"
    "  -q, --quiet        no \"wrote\" line\n"
    "  -h, --help         show this text and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "The picture is written under a temporary name beside it and moved into\n"
    "place when it is whole. Lines may end with LF or CR LF; strings are read\n"
    "as Latin-1.\n"
    "\n"
    "Exit status:\n"
    "  0  the picture was written\n"
    "  1  the picture could not be written\n"
    "  2  bad usage, or an output that is the PCB file itself\n"
    "  3  the PCB file cannot be read, or a record of it does not parse (its\n"
    "     line and what was expected are shown)\n";

int Usage(const std::string& error) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, error.c_str(),
               kProgram);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, output;
  bool quiet = false, optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        optionsEnded = true;
      } else if (arg == "-h" || arg == "--help") {
        std::fputs(kHelp, stdout);
        return kDrawn;
      } else if (arg == "--version") {
        std::printf("%s %s\n", kProgram, PCB28_VERSION);
        return kDrawn;
      } else if (arg == "-q" || arg == "--quiet") {
        quiet = true;
      } else if (arg == "-o" || arg == "--output") {
        if (i + 1 >= argc) return Usage("option " + std::string(arg) + " needs a value");
        output = argv[++i];
      } else if (arg.substr(0, 9) == "--output=") {
        output = arg.substr(9);
      } else if (arg.substr(0, 2) == "-o") {
        output = arg.substr(2);
      } else {
        return Usage("unknown option " + std::string(arg));
      }
      continue;
    }
    if (!input.empty()) return Usage("one PCB file at a time");
    input = arg;
  }
  if (input.empty()) return Usage("no PCB file given");
  if (output.empty()) {
    std::filesystem::path beside = input;
    if (beside.extension() == ".svg")
      return Usage(input + " ends in .svg: give the output with -o");
    output = beside.replace_extension(".svg").string();
  }
  std::string error;
  switch (view::DrawFile(input, output, error)) {
    case view::Drawn::Written:
      if (!quiet && output != "-") std::fprintf(stderr, "%s: wrote %s\n", kProgram, output.c_str());
      return kDrawn;
    case view::Drawn::BadInput:
      std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
      return kBadFile;
    case view::Drawn::SameAsInput:
      std::fprintf(stderr, "%s: %s: refused\n", kProgram, error.c_str());
      return kUsage;
    case view::Drawn::NotWritten:
      break;
  }
  std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
  return kNotWritten;
}
