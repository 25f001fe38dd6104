// The functions the plug-in exports to the host.
#pragma once

#include <cstdint>

#include "PcbApi.h"
#include "plugin/ErrorBox.h"

static_assert(sizeof(bool) == 1, "the host passes booleans as one byte");

extern "C" {

// The format description, zero-terminated, owned by the plug-in.
PCBAPI_EXPORT const char* GetPcbExporterDescription();

// True if and only if `description` (a length-prefixed string) is exactly
// the plug-in's own description.
PCBAPI_EXPORT bool RecognisedPcbFormat(const std::uint8_t* description);

// Exports the board in focus into `fileName` when `formatDescription` is the
// plug-in's own; true whenever the description was recognised.
PCBAPI_EXPORT bool ExportFileFromPcb(const std::uint8_t* fileName,
                                     const std::uint8_t* formatDescription);

#if !defined(_WIN32)
// For the stand-in host: replaces the error box handler (nullptr: default).
PCBAPI_EXPORT plugin::ErrorBoxHandler Pcb28_SetErrorBoxHandler(plugin::ErrorBoxHandler handler);
#endif
}
