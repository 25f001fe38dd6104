// The stand-in host's progress display: one line on standard error, redrawn
// in place, only when standard error is a terminal. The export's progress
// entry points draw on it, and so can the host program for work of its own
// (loading a board file), so that one line covers the whole run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "PcbApi.h"

namespace standin {

// false: nothing is drawn at all (a quiet host program).
PCBAPI_EXPORT void SetProgressShown(bool shown);

// Turns the caption the export passes to its progress bar into the caption
// shown (the host program shows the name the user gave, not the one it handed
// to the plug-in). An empty function shows the caption as it is.
PCBAPI_EXPORT void SetProgressCaptionFilter(std::function<std::string(std::string_view)> filter);

// Starts (or restarts, on the same line) a bar with this caption.
PCBAPI_EXPORT void ProgressBegin(std::string_view caption);
// Shows `done` of `total`; a total of 0 or less shows the time spent instead
// of a fraction (work whose size is not known).
PCBAPI_EXPORT void ProgressShow(std::int64_t done, std::int64_t total);
// Ends the line (a line feed) when one was drawn.
PCBAPI_EXPORT void ProgressEnd();
// Whether a line is drawn and not yet ended; safe in a signal handler.
PCBAPI_EXPORT bool ProgressLineOpen() noexcept;

// The line drawn for a caption, a percentage (-1: the seconds spent instead)
// and a terminal of `columns` columns: at most columns - 1 characters
// (code points), the caption shortened in the middle with "..." to fit,
// control characters shown as '?'.
PCBAPI_EXPORT std::string ComposeProgressLine(std::string_view caption, int percent, int seconds,
                                              int columns);

}  // namespace standin
