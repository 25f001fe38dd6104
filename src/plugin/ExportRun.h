// One export, from the host's call to the closed file.
#pragma once

#include "LenString.h"

namespace plugin {

// The export run, on the run's own copies of the host's strings: false when
// the description is not the plug-in's own (then nothing else happens), true
// otherwise, whatever happened to the file.
bool RunExport(const LenString& fileName, const LenString& formatDescription);

}  // namespace plugin
