#include "plugin/Exports.h"

#include "plugin/ExportRun.h"
#include "plugin/FormatDescription.h"

const char* GetPcbExporterDescription() { return plugin::kFormatDescription; }

bool RecognisedPcbFormat(const std::uint8_t* description) {
  return plugin::IsOwnFormat(LenString::CopyOf(description));
}

bool ExportFileFromPcb(const std::uint8_t* fileName, const std::uint8_t* formatDescription) {
  return plugin::RunExport(LenString::CopyOf(fileName), LenString::CopyOf(formatDescription));
}

#if !defined(_WIN32)
plugin::ErrorBoxHandler Pcb28_SetErrorBoxHandler(plugin::ErrorBoxHandler handler) {
  return plugin::SetErrorBoxHandler(handler);
}
#endif
