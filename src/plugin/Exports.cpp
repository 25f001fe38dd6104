#include "plugin/Exports.h"

#include <cstring>

#include "plugin/ExportRun.h"

namespace {

constexpr char kDescription[] = "Export Velmar PCB 2.8 ASCII(*.pcb)";
constexpr std::size_t kDescriptionLength = sizeof kDescription - 1;
static_assert(kDescriptionLength == 34);

}  // namespace

PCBAPI_EXPORT const char* PCBAPI_CALL GetPcbExporterDescription() { return kDescription; }

PCBAPI_EXPORT PcbBool PCBAPI_CALL RecognisedPcbFormat(const std::uint8_t* description) {
  plugin::LenStringBuffer copy;
  plugin::CopyLenString(description, copy);
  return copy[0] == kDescriptionLength &&
                 std::memcmp(copy + 1, kDescription, kDescriptionLength) == 0
             ? 1
             : 0;
}

PCBAPI_EXPORT PcbBool PCBAPI_CALL ExportFileFromPcb(const std::uint8_t* fileName,
                                                    const std::uint8_t* formatDescription) {
  return plugin::ExportFileFromPcb(fileName, formatDescription) ? 1 : 0;
}

#if !defined(_WIN32)
plugin::ErrorBoxHandler Pcb28_SetErrorBoxHandler(plugin::ErrorBoxHandler handler) {
  return plugin::SetErrorBoxHandler(handler);
}
#endif
