// The host's layer codes and layer names, shared by the plug-in and the
// stand-in server: code 0 is no layer, 1 to 82 are the board's layers.
#pragma once

#include <array>
#include <string_view>

#include "PcbApi.h"

inline constexpr HostLayer kNoLayer = 0;
inline constexpr HostLayer kTopLayer = 1;
inline constexpr HostLayer kBottomLayer = 32;
inline constexpr HostLayer kTopOverlay = 33;
inline constexpr HostLayer kInternalPlane1 = 39;
inline constexpr HostLayer kInternalPlane16 = 54;
inline constexpr HostLayer kMultiLayer = 74;
inline constexpr HostLayer kLastHostLayer = 82;
inline constexpr int kHostLayerCount = 83;  // codes 0 to 82

constexpr HostLayer MidLayer(int n) { return static_cast<HostLayer>(1 + n); }        // 1 to 30
constexpr HostLayer InternalPlane(int n) { return static_cast<HostLayer>(38 + n); }  // 1 to 16
constexpr HostLayer Mechanical(int n) { return static_cast<HostLayer>(56 + n); }     // 1 to 16

// The host layer names, indexed by code; none is longer than 20 characters.
inline constexpr std::array<std::string_view, kHostLayerCount> kHostLayerNames = {
    "NoLayer",         "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",
    "MidLayer4",       "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",
    "MidLayer9",       "MidLayer10",      "MidLayer11",      "MidLayer12",      "MidLayer13",
    "MidLayer14",      "MidLayer15",      "MidLayer16",      "MidLayer17",      "MidLayer18",
    "MidLayer19",      "MidLayer20",      "MidLayer21",      "MidLayer22",      "MidLayer23",
    "MidLayer24",      "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
    "MidLayer29",      "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",
    "TopPaste",        "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",
    "InternalPlane2",  "InternalPlane3",  "InternalPlane4",  "InternalPlane5",  "InternalPlane6",
    "InternalPlane7",  "InternalPlane8",  "InternalPlane9",  "InternalPlane10", "InternalPlane11",
    "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15", "InternalPlane16",
    "DrillGuide",      "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
    "Mechanical4",     "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",
    "Mechanical9",     "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",
    "Mechanical14",    "Mechanical15",    "Mechanical16",    "DrillDrawing",    "MultiLayer",
    "ConnectLayer",    "BackGroundLayer", "DRCErrorLayer",   "HighlightLayer",  "GridColor1",
    "GridColor10",     "PadHoleLayer",    "ViaHoleLayer"};

constexpr bool IsInternalPlane(int code) {
  return code >= kInternalPlane1 && code <= kInternalPlane16;
}
