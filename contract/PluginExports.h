// The three functions the plug-in exports to the host, in the calling
// convention of the host boundary (PCBAPI_CALL, PcbApi.h), and the stand-in
// host's error box hook. The host finds them by these plain names.
#pragma once

#include <cstdint>

#include "PcbApi.h"

// A boolean result: exactly 1 (true) or 0 (false) in the whole 32-bit result
// register, so a host that reads one byte and one that reads a 32-bit BOOL
// see the same answer.
using PcbBool = std::int32_t;

extern "C" {

// The format description, zero-terminated, owned by the plug-in.
const char* PCBAPI_CALL GetPcbExporterDescription();

// True if and only if `description` (a length-prefixed string) is exactly
// the plug-in's own description.
PcbBool PCBAPI_CALL RecognisedPcbFormat(const std::uint8_t* description);

// Exports the board in focus into `fileName` when `formatDescription` is the
// plug-in's own; true whenever the description was recognised.
PcbBool PCBAPI_CALL ExportFileFromPcb(const std::uint8_t* fileName,
                                      const std::uint8_t* formatDescription);

}  // extern "C"

using GetPcbExporterDescriptionFn = decltype(&GetPcbExporterDescription);
using RecognisedPcbFormatFn = decltype(&RecognisedPcbFormat);
using ExportFileFromPcbFn = decltype(&ExportFileFromPcb);

// The names the host finds them by.
inline constexpr const char* kGetPcbExporterDescriptionName = "GetPcbExporterDescription";
inline constexpr const char* kRecognisedPcbFormatName = "RecognisedPcbFormat";
inline constexpr const char* kExportFileFromPcbName = "ExportFileFromPcb";

// What shows the plug-in's one error box: its caption and text, both
// zero-terminated. It returns when the box has been closed.
using ErrorBoxHandler = void (*)(const char* caption, const char* text);

#if !defined(_WIN32)
// The stand-in host's hook for the error box, exported where there is no
// MessageBoxA (on Windows the host sees the box through the plug-in's
// import of it, and the plug-in exports its three functions only). It
// replaces the handler (nullptr restores the default, which writes to
// standard error) and returns the previous one. The host finds it by the
// name below. Hook and handler use the platform's one C convention, which
// is what PCBAPI_CALL means there as well.
extern "C" ErrorBoxHandler Pcb28_SetErrorBoxHandler(ErrorBoxHandler handler);

using SetErrorBoxHandlerFn = decltype(&Pcb28_SetErrorBoxHandler);
inline constexpr const char* kSetErrorBoxHandlerName = "Pcb28_SetErrorBoxHandler";
#endif
