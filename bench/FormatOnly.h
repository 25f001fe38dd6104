// A lower bound of the export: the same records formatted straight from the
// stand-in server's in-memory objects into the same kind of output file,
// with no host calls and no board objects in between.
#pragma once

namespace pcb28bench {

// Writes the current board's records to path.
void FormatOnly(const char* path);

}  // namespace pcb28bench
