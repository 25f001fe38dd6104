#include "cli/Plugin.h"

#include <cstdint>
#include <cstdio>

#include "LenString.h"
#include "cli/Platform.h"
#include "errorbox/ErrorBoxWatch.h"

namespace cli {

namespace {

// The error box of the export in progress: its names, and whether it showed.
struct BoxContext {
  std::string pluginPath;
  std::string shownPath;
  bool shown = false;
};
BoxContext g_Box;

// Stands in for the box: the plug-in goes on as if OK had been clicked.
void ReportErrorBox(const errorbox::Shown& box) {
  g_Box.shown = true;
  std::string message = box.text;
  for (std::size_t at = 0;
       !g_Box.pluginPath.empty() && (at = message.find(g_Box.pluginPath, at)) != std::string::npos;
       at += g_Box.shownPath.size())
    message.replace(at, g_Box.pluginPath.size(), g_Box.shownPath);
  std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), message.c_str());
}

}  // namespace

bool Plugin::Load(const std::string& path, std::string& error) {
  path_ = path;
  void* library = OpenLibrary(path, error);
  if (library == nullptr) {
    error = "cannot load the plug-in " + path + ": " + error;
    return false;
  }
  describe_ = reinterpret_cast<GetPcbExporterDescriptionFn>(
      LibrarySymbol(library, kGetPcbExporterDescriptionName));
  export_ = reinterpret_cast<ExportFileFromPcbFn>(LibrarySymbol(library, kExportFileFromPcbName));
  if (describe_ == nullptr || export_ == nullptr) {
    error = path + " is not an export plug-in";
    return false;
  }
  // The box is reported on standard error; it never waits for a click.
  errorbox::Watch(library, &ReportErrorBox);
  return true;
}

Plugin::Result Plugin::Export(const std::string& pluginPath, const std::string& shownPath,
                              std::string& error) {
  const char* description = describe_();
  if (description == nullptr || std::string_view(description).size() > LenString::kCapacity) {
    error = "the plug-in's format description is too long";
    return Result::FormatRefused;
  }
  if (pluginPath.size() > LenString::kCapacity) {
    error = "the output path handed to the plug-in is too long";
    return Result::FormatRefused;
  }
  const LenString fileName(pluginPath);
  const LenString format(description);
  g_Box = {pluginPath, shownPath, false};
  if (!export_(fileName.Buffer(), format.Buffer())) {
    error = std::string("the plug-in did not recognise the format \"") + description + "\"";
    return Result::FormatRefused;
  }
  return g_Box.shown ? Result::ErrorBox : Result::Exported;
}

}  // namespace cli
