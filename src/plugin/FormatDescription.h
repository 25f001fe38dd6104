// The plug-in's format description: the text the host lists and passes back
// to name the format of an export.
#pragma once

#include <string_view>

#include "LenString.h"

namespace plugin {

// Zero-terminated, for the host; 34 characters.
inline constexpr char kFormatDescription[] = "Export Velmar PCB 2.8 ASCII(*.pcb)";
static_assert(sizeof kFormatDescription - 1 == 34);

// True if and only if the description is exactly the plug-in's own.
inline bool IsOwnFormat(const LenString& description) {
  return description.View() == std::string_view(kFormatDescription);
}

}  // namespace plugin
