#include "plugin/Exports.h"

#include "plugin/ExportRun.h"
#include "plugin/FormatDescription.h"

PCBAPI_EXPORT const char* PCBAPI_CALL GetPcbExporterDescription() {
  return plugin::kFormatDescription;
}

PCBAPI_EXPORT PcbBool PCBAPI_CALL RecognisedPcbFormat(const std::uint8_t* description) {
  return plugin::IsOwnFormat(LenString::CopyOf(description)) ? 1 : 0;
}

PCBAPI_EXPORT PcbBool PCBAPI_CALL ExportFileFromPcb(const std::uint8_t* fileName,
                                                    const std::uint8_t* formatDescription) {
  return plugin::RunExport(LenString::CopyOf(fileName), LenString::CopyOf(formatDescription)) ? 1
                                                                                              : 0;
}

#if !defined(_WIN32)
PCBAPI_EXPORT ErrorBoxHandler Pcb28_SetErrorBoxHandler(ErrorBoxHandler handler) {
  return plugin::SetErrorBoxHandler(handler);
}
#endif
