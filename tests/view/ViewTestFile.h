// A PCB 2.8 ASCII file written by hand from the record layouts, with one
// record of every kind, and helpers to change it.
#pragma once

#include <string>
#include <vector>

namespace viewtest {

inline std::vector<std::string> HandWrittenLines() {
  return {
      "PCB FILE 6 VERSION 2.80",
      "0 1 1 1 2 1 1 1 2 3",
      "COMP",
      "0805",
      "0 0 65000 85000 0 0 0 0 0 0 0  0.000 0 0 1",
      "CS",
      "0 0 61000 90000 5000 0.000 0 0 17 0 0 0 0 800 0 0 0",
      "R1",
      "CS",
      "0 0 61000 76000 5000 0.000 1 0 18 0 0 0 0 800 0 0 0",
      "10k",
      "CP",
      "0 0 61000 85000 5000 6000 2 5000 6000 2 5000 6000 2 0 0 1 1 0 0.000 400 0 0 0 0 0 0 0 "
      "1 1 1 1 1 1",
      "1",
      "ENDCOMP",
      "PG",
      "16",
      " 1",
      "0 1 1 0  0 0",
      "1000 1200 1000 0",
      "",
      "2",
      "5000 5000",
      "145000 5000",
      "5000 5000",
      " 0 0 1",
      "FA",
      "0 0 75000 5000 70000 0.000 180.000 1200 16 1 0",
      " 0 0",
      "FS",
      "0 0 1234 678 60 90.000 0 1 17 0 0 0 0 10 0 0 0",
      "U1 \xC4<&> ",
      "FT",
      "0 0 100 -200 300 -200 12 1 0 3 0",
      " 0 0 0 0 0",
      "FF",
      "0 0 0 0 500 250 16 0",
      " 0 0 30.500",
      "FA",
      "0 0 1000 1000 50 0.000 90.000 10 17 0 0",
      " 0 0",
      "FV",
      "0 0 2000 1500 50 28 0 0 2 0 0 0 0 0 0 1 16",
      "FP",
      "0 0 3000 3000 600 400 1 600 400 1 600 400 3 300 0 34 0 0 45.000 0 0 0 0 0 0 0 0 "
      "1 1 1 1 1 1",
      "A1",
      "NETDEF",
      "GND",
      "10000 50000 2 4",
      "(",
      " 1 1",
      ")",
      "{",
      "}",
      "0 0 0",
      "0 0 0",
      "DEFAULTS",
      "0 0",
      "OPTIONS",
      "300000 500000 0 1 0 0 0 1 0",
      "",
      "KDX.LOG",
      "ENDPCB",
  };
}

// The 1-based number of the first line that is exactly `line`.
inline std::size_t LineOf(const std::vector<std::string>& lines, const std::string& line) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == line) return i + 1;
  return 0;
}

// The lines, each ended by `end`.
inline std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

}  // namespace viewtest
