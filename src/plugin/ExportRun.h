// One export, from the host's call to the closed file.
#pragma once

#include <cstdint>

namespace plugin {

// A length-prefixed string in a buffer of its own: length byte + 255 characters.
using LenStringBuffer = std::uint8_t[256];

// Copies a caller's length-prefixed string (nullptr reads as empty).
void CopyLenString(const std::uint8_t* source, LenStringBuffer& copy);

// The export run: false when the description is not the plug-in's own (then
// nothing else happens), true otherwise, whatever happened to the file.
bool ExportFileFromPcb(const std::uint8_t* fileName, const std::uint8_t* formatDescription);

}  // namespace plugin
