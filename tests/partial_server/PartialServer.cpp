// A server library that exports only a few of the names the plug-in binds,
// and one of them in the wrong spelling. It is built under the stand-in
// server's file name, in a folder of its own.
#include "PcbApi.h"

extern "C" {

PCBAPI_EXPORT ObjectHandle PCBAPI_CALL PcbApi_GetCurrentBoardHandle() { return 41; }

PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_Percent_Update() { return 0; }

// Bound only: the plug-in keeps the address and never calls it.
PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_SendCommand() { return 0; }

// The host spells this one PCBAPI_GetUnaryRuleForPrimitive.
PCBAPI_EXPORT Status PCBAPI_CALL PcbApi_GetUnaryRuleForPrimitive() { return 0; }

}  // extern "C"
