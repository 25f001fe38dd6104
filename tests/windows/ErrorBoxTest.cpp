// The plug-in DLL's error box: a MessageBoxA call with the caption, the
// text, an error icon and one OK button, modal to the calling thread. The
// stand-in server is loaded first (linked); the plug-in's MessageBoxA import
// is pointed at an observer, so no box is ever shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PluginExports.h"
#include "errorbox/ErrorBoxWatch.h"
#include "support/Platform.h"
#include "support/TestSupport.h"

namespace {

std::vector<errorbox::Shown> g_Boxes;

void Record(const errorbox::Shown& box) { g_Boxes.push_back(box); }

TEST(ErrorBox, IsAModalErrorMessageBoxWithOneOkButton) {
  void* plugin = testsupport::LoadLibraryFile(PCB28_PLUGIN_PATH);
  ASSERT_NE(plugin, nullptr) << testsupport::LastLibraryError();
  ASSERT_TRUE(errorbox::Watch(plugin, &Record)) << "pcb28.dll imports no MessageBoxA";
  auto exportFile = reinterpret_cast<ExportFileFromPcbFn>(
      testsupport::LibrarySymbol(plugin, "ExportFileFromPcb"));
  ASSERT_NE(exportFile, nullptr);

  // A name with an ampersand: the plug-in passes it to the box unchanged.
  const std::string path = testsupport::TempFolder() + "/no such folder/R&D.pcb";
  EXPECT_EQ(exportFile(testsupport::HostString(path).data(), testsupport::Description().data()), 1);
  ASSERT_EQ(g_Boxes.size(), 1u);
  const errorbox::Shown& box = g_Boxes.front();
  EXPECT_EQ(box.caption, "Orvane Error");
  EXPECT_EQ(box.text, "File Error - Failed to Export " + path);
  EXPECT_EQ(box.style & MB_TYPEMASK, static_cast<unsigned>(MB_OK));
  EXPECT_EQ(box.style & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
  EXPECT_EQ(box.style & MB_MODEMASK, static_cast<unsigned>(MB_TASKMODAL));
  EXPECT_TRUE(box.ownerless);
}

}  // namespace
