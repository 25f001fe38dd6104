// A plug-in whose walk over the board's tracks is cut short, as a bound of
// the real plug-in cuts the walk of a host that runs away: it takes the
// first track, leaves the iterator before its end, writes part of a file
// and shows its error box, as the real plug-in does then. The host program
// is to say why beside the box, and to keep the file it would replace.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdio>
#include <string>

#include "PcbApi.h"
#include "PluginExports.h"

namespace {

#if !defined(_WIN32)
ErrorBoxHandler g_Handler = nullptr;
#endif
constexpr const char* kDescription = "Export Velmar PCB 2.8 ASCII(*.pcb)";
constexpr ObjectKindCode kTrack = 4;

}  // namespace

extern "C" {

#if !defined(_WIN32)
PCBAPI_EXPORT ErrorBoxHandler Pcb28_SetErrorBoxHandler(ErrorBoxHandler handler) {
  const ErrorBoxHandler previous = g_Handler;
  g_Handler = handler;
  return previous;
}
#endif

PCBAPI_EXPORT const char* PCBAPI_CALL GetPcbExporterDescription() { return kDescription; }

PCBAPI_EXPORT PcbBool PCBAPI_CALL RecognisedPcbFormat(const std::uint8_t*) { return 1; }

PCBAPI_EXPORT PcbBool PCBAPI_CALL ExportFileFromPcb(const std::uint8_t* fileName,
                                                    const std::uint8_t*) {
  const ObjectHandle it = PcbApi_CreateIterator(PcbApi_GetCurrentBoardHandle(), kTrack, 0, 0);
  PcbApi_GetFirstObject(it);  // one track, and the walk is left there
  PcbApi_DestroyIterator(it);
  const std::string path(reinterpret_cast<const char*>(fileName) + 1, fileName[0]);
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fputs("PCB FILE 6 VERSION 2.80\r\n", file);
    std::fclose(file);
  }
  const std::string text = "File Error - Failed to Export " + path;
#if defined(_WIN32)
  MessageBoxA(nullptr, text.c_str(), "Orvane Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
#else
  if (g_Handler != nullptr) g_Handler("Orvane Error", text.c_str());
#endif
  return 1;
}

}  // extern "C"
