// The export plug-in as the host program sees it: loaded by path, asked for
// its format description, told to export the server's current board.
#pragma once

#include <string>

#include "PluginExports.h"

namespace cli {

class Plugin {
 public:
  // Loads the library and finds its exports; on failure `error` says why.
  bool Load(const std::string& path, std::string& error);

  enum class Result { Exported, ErrorBox, FormatRefused };
  // Exports the current board into `pluginPath`. The error box, when the
  // plug-in shows one, is written to standard error with `shownPath` in
  // place of `pluginPath`, so that it names the user's file.
  Result Export(const std::string& pluginPath, const std::string& shownPath, std::string& error);

 private:
  GetPcbExporterDescriptionFn describe_ = nullptr;
  ExportFileFromPcbFn export_ = nullptr;
  std::string path_;
};

}  // namespace cli
