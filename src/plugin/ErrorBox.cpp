#include "plugin/ErrorBox.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdio>
#endif

namespace plugin {

namespace {

void DefaultErrorBox(const char* caption, const char* text) {
#if defined(_WIN32)
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
#else
  std::fprintf(stderr, "%s: %s\n", caption, text);
#endif
}

ErrorBoxHandler g_Handler = &DefaultErrorBox;

}  // namespace

void ShowErrorBox(const char* text) { g_Handler(kErrorBoxCaption, text); }

ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler) {
  ErrorBoxHandler previous = g_Handler;
  g_Handler = handler != nullptr ? handler : &DefaultErrorBox;
  return previous;
}

}  // namespace plugin
