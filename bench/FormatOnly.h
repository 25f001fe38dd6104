// A lower bound of the export: the same records laid out by the plug-in's own
// record writers, from values taken straight from the stand-in server's
// in-memory objects, with no host calls in between.
#pragma once

namespace pcb28bench {

// Writes the current board's records to path.
void FormatOnly(const char* path);

}  // namespace pcb28bench
