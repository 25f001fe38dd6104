// The host's progress bar over one export, for the parts of the plug-in that
// must not touch an entry point themselves: the run starts and finishes it,
// every record writer's prologue advances it by one step.
#pragma once

#include <cstdint>

#include "LenString.h"

namespace hostprogress {

// Shows the bar with a length-prefixed caption (the host gets a copy) and the
// number of steps that make it full.
void Start(const LenString& caption, std::int32_t total);
// One step further.
void Step();
// Closes the bar.
void Finish();

}  // namespace hostprogress
