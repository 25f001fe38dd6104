#include "plugin/ExportRun.h"

#include <memory>
#include <string>

#include "HostLayers.h"
#include "ascii28/BoardBlocks.h"
#include "ascii28/FileFrame.h"
#include "ascii28/FileLayers.h"
#include "ascii28/GroupRecords.h"
#include "ascii28/NetRecords.h"
#include "ascii28/PadRecords.h"
#include "ascii28/PrimitiveRecords.h"
#include "ascii28/RunState.h"
#include "ascii28/TextRecords.h"
#include "board/HostBounds.h"
#include "board/PcbBoard.h"
#include "board/PcbGroups.h"
#include "board/PcbNets.h"
#include "hostapi/Progress.h"
#include "plugin/ErrorBox.h"
#include "plugin/FormatDescription.h"

namespace plugin {

using ascii28::Run;

namespace {

// Every kind the progress bar announces: arcs, pads, vias, tracks, texts,
// fills, nets and components (polygons are not counted).
constexpr KindMask kProgressKinds = 894;

void CountForProgress(ObjectHandle) { ++Run.ProgressTotal; }

// "Saving " + file name + " (2.8 ASCII)", cut to 255 characters.
LenString ProgressCaption(const LenString& fileName) {
  LenString caption("Saving ");
  caption.Append(fileName.View());
  caption.Append(" (2.8 ASCII)");
  return caption;
}

// Gives the objects of one kind on one layer the numbers 1, 2, 3, ... in the
// order of the board's walk and stores each number in the host. One object
// is reused for every handle.
template <typename TObject>
struct Numbering {
  TObject object{0};
  std::uint16_t number = 0;

  static void Next(void* context, ObjectHandle handle) {
    auto& numbering = *static_cast<Numbering*>(context);
    TObject& object = numbering.object;
    object.Handle = handle;
    object.Load(kQueryGet);
    object.Index = ++numbering.number;
    object.Load(kQuerySet);
  }
};

template <typename TObject>
void NumberObjects(ObjectKind kind, HostLayer layer) {
  Numbering<TObject> numbering;
  Run.CurrentBoard->Iterate(&Numbering<TObject>::Next, &numbering, MaskOf(kind),
                            LayerSet::Of(layer), 0);
}

void NumberComponentsNetsAndPolygons() {
  NumberObjects<TPcbComponent>(ComponentObject, kTopLayer);
  NumberObjects<TPcbComponent>(ComponentObject, kBottomLayer);
  NumberObjects<TPcbNet>(NetObject, kMultiLayer);
  for (int fileLayer = 1; fileLayer <= 42; ++fileLayer)
    NumberObjects<TPcbPolygon>(PolygonObject, ascii28::FileToHostLayer(fileLayer));
}

// One walk of the board per kind, in the order of the file's sections.
struct RecordPass {
  KindMask kinds;
  IterationMethod method;
  void (*writer)(ObjectHandle);
};

constexpr RecordPass kFreeObjectPasses[] = {
    {MaskOf(PolygonObject), 0, &ascii28::WritePolygonRecord},
    {MaskOf(TextObject), 1, &ascii28::WriteTextRecord},
    {MaskOf(TrackObject), 0, &ascii28::WriteTrackRecord},
    {MaskOf(FillObject), 1, &ascii28::WriteFillRecord},
    {MaskOf(ArcObject), 0, &ascii28::WriteArcRecord},
    {MaskOf(ViaObject), 1, &ascii28::WriteViaRecord},
    {MaskOf(PadObject), 1, &ascii28::WritePadRecord},
    {MaskOf(NetObject), 1, &ascii28::WriteNetDefinition},
};

void WriteBoardRecords(const LayerSet& everyLayer) {
  Run.InComponent = true;
  Run.CurrentBoard->Iterate(&ascii28::WriteComponentBlock, MaskOf(ComponentObject), everyLayer, 0);
  Run.InComponent = false;
  for (const RecordPass& pass : kFreeObjectPasses)
    Run.CurrentBoard->Iterate(pass.writer, pass.kinds, everyLayer, pass.method);
}

// The file name as a zero-terminated path; false when the name holds a NUL
// byte, which no path can (opening the shorter name would write elsewhere).
bool ToPath(const LenString& fileName, std::string& path) {
  path.assign(fileName.View());
  return path.find('\0') == std::string::npos;
}

}  // namespace

bool RunExport(const LenString& fileName, const LenString& formatDescription) {
  if (!IsOwnFormat(formatDescription)) return false;

  // Bounds on the host's walks for this export (docs/host-data-bounds.md).
  const hostbounds::ExportScope bounds;
  for (auto& count : Run.ObjectCounts) count = 0;

  auto board = std::make_unique<TPcbBoard>(TPcbBoard::CurrentHandle());
  Run.CurrentBoard = board.get();
  Run.CurrentBoard->Load(kQueryGet);

  const LayerSet everyLayer = LayerSet::NoLayerOnly();
  const LenString caption = ProgressCaption(fileName);
  Run.ProgressTotal = 0;
  Run.CurrentBoard->Iterate(&CountForProgress, kProgressKinds, everyLayer, 0);
  hostprogress::Start(caption, Run.ProgressTotal);

  NumberComponentsNetsAndPolygons();

  std::string path;
  Run.OutputFile.Open(ToPath(fileName, path) ? path.c_str() : nullptr);
  ascii28::WriteFileHeader();
  ascii28::WriteCountsLine();
  WriteBoardRecords(everyLayer);
  ascii28::WriteDefaultsBlock();
  ascii28::WriteOptionsBlock();
  ascii28::WriteFileEnd();
  Run.OutputFile.Close();
  hostprogress::Finish();

  const bool result = true;
  Run.CurrentBoard = nullptr;
  board.reset();

  // A file that could not be written, or one that misses objects because a
  // bound cut a host walk short, gets the error box; the file stays.
  if (ascii28::TakeIoError() != 0 || bounds.WalkCut()) {
    std::string text = "File Error - Failed to Export ";
    text.append(fileName.View());
    ShowErrorBox(text.c_str());
  }
  ascii28::TakeIoError();
  return result;
}

}  // namespace plugin
