// Helpers shared by the test programs: length-prefixed strings, temporary
// files, binding the plug-in to the stand-in server, running an export.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "LenString.h"

namespace testsupport {

// A length-prefixed string in a 256-byte buffer, as the host passes it.
struct HostString : LenString {
  using LenString::LenString;
  const std::uint8_t* data() const { return Buffer(); }
};

// A fresh, empty folder for this test; removed when the process ends.
std::string TempFolder();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view content);

// Splits a file's content at CR LF. Every line, the last too, must end with
// CR LF; `wellFormed` is set to false otherwise (a lone CR or LF, or a
// missing line end at the end of the file).
std::vector<std::string> SplitLines(const std::string& content, bool& wellFormed);

// Binds the plug-in's entry-point table to the stand-in server's own entry
// points (hidden names stay absent).
void BindPluginToServer();

// Resets the server and loads a board file text into it; fails the test
// with the reader's message when the text is refused.
void LoadBoard(std::string_view json);

// The plug-in's format description as the host passes it.
HostString Description();

// Exports the server's current board into a file in a fresh folder and
// returns the lines of the file (the test fails on a malformed line end).
std::vector<std::string> ExportLines(const std::string& fileName = "board.pcb");

// pcb28-export run as a separate process with `arguments` (already quoted
// for the shell): its exit status (-1 when it did not exit) and its standard
// output and error together.
struct ProgramOutcome {
  int status = -1;
  std::string output;
};
ProgramOutcome RunExportProgram(const std::string& arguments);

}  // namespace testsupport
