// Fills the stand-in server with a board made from fuzz input: values at
// their extremes, strings of any length, long outlines and reference lists,
// looping layer chains, links to objects of the wrong kind.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

namespace pcb28fuzz {

// Resets the server and builds one board on it from the input.
void GenerateBoard(FuzzedDataProvider& in);

}  // namespace pcb28fuzz
