#include "ascii28/RunState.h"

namespace ascii28 {

RunState Run;

}  // namespace ascii28
