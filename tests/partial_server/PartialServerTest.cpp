// A host whose server library lacks some names: exactly the slots of the
// missing names stay absent. This program does not link the stand-in server.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "hostapi/PCBProcs.h"
#include "hostapi/ServerModule.h"
#include "support/Platform.h"

using PCBProcs::EntryPoint;

TEST(PartialServer, BindsExactlyTheNamesItExports) {
  ASSERT_FALSE(testsupport::IsLibraryLoaded(PCBProcs::kServerModuleName));
  void* server = testsupport::LoadLibraryFile(PCB28_PARTIAL_SERVER_PATH);
  ASSERT_NE(server, nullptr) << testsupport::LastLibraryError();
  PCBProcs::BindFromLoadedServer();

  std::set<std::string> bound;
  for (std::size_t i = 0; i < PCBProcs::kEntryPointCount; ++i) {
    const auto slot = static_cast<EntryPoint>(i);
    if (PCBProcs::IsBound(slot)) bound.insert(PCBProcs::EntryPointName(slot));
  }
  const std::set<std::string> exported = {"PcbApi_GetCurrentBoardHandle", "PcbApi_Percent_Update",
                                          "PcbApi_SendCommand"};
  EXPECT_EQ(bound, exported);
  EXPECT_EQ(PCBProcs::PcbApi_GetCurrentBoardHandle(), 41u);  // the partial server's answer
  PCBProcs::UnbindEntryPoints();
  testsupport::UnloadLibrary(server);
}
