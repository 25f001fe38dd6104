// Tracks, arcs, vias, fills, texts and pads, the members of components and
// the free objects.
#include "boardfile/BoardReader.h"

namespace boardfile {

template <class T>
void Reader::Members(Value& v, ObjectHandle component) {
  Each(v, [&](Value& item) {
    T object;
    Read(item, object);
    if constexpr (std::is_same_v<T, standin::Track>) {
      if (!ring_.empty()) return AddRing(object, component);
    }
    Added(server_.Add(std::move(object), component));
  });
}

void Reader::Read(Value& v, standin::Track& o) {
  ring_.clear();
  const auto own = [&](TrackKey, Value& x) {
    EachItem(x, kAny, "ring coordinates",
             [&](std::size_t, Value& c) { ring_.push_back(Length(c)); });
    if (ring_.size() < 4 || ring_.size() % 2 != 0) {
      Fail("a ring is a list of x, y of at least two points; this one has " +
           std::to_string(ring_.size()) + " coordinates");
    }
  };
  const std::uint64_t present =
      EachField(v, "an object", kTrackKeys, PCB28_FIELDS_OF(Track, PCB28_TRACK_FIELDS));
  const std::uint64_t ends =
      Bit(TrackKey::x) | Bit(TrackKey::y) | Bit(TrackKey::x2) | Bit(TrackKey::y2);
  if ((present & Bit(TrackKey::ring)) != 0 && (present & ends) != 0) {
    Fail(std::string("a track has a '") + Name(TrackKey::ring) + "' or its ends, not both");
  }
}

void Reader::AddRing(const standin::Track& edge, ObjectHandle component) {
  const std::size_t points = ring_.size() / 2;
  for (std::size_t i = 0; i < points; ++i) {
    standin::Track t = edge;
    const std::size_t next = (i + 1) % points;
    t.x = ring_[2 * i];
    t.y = ring_[2 * i + 1];
    t.x2 = ring_[2 * next];
    t.y2 = ring_[2 * next + 1];
    Added(server_.Add(std::move(t), component));
  }
}

void Reader::Read(Value& v, standin::Arc& o) {
  EachField(v, "an object", kArcKeys, PCB28_FIELDS_OF(Arc, PCB28_ARC_FIELDS));
}

void Reader::Read(Value& v, standin::Via& o) {
  EachField(v, "an object", kViaKeys, PCB28_FIELDS_OF(Via, PCB28_VIA_FIELDS));
}

void Reader::Read(Value& v, standin::Fill& o) {
  EachField(v, "an object", kFillKeys, PCB28_FIELDS_OF(Fill, PCB28_FILL_FIELDS));
}

// A text's layer is set by the caller: a component's designator and
// comment default to TopOverlay.
void Reader::Read(Value& v, standin::Text& o, const char* what) {
  EachField(v, what, kTextKeys, PCB28_FIELDS_OF(Text, PCB28_TEXT_FIELDS));
}

standin::PadLevel Reader::Level(Value& v) {
  standin::PadLevel o;
  EachField(v, "a pad level (x_size, y_size, shape)", kLevelKeys,
            PCB28_FIELDS_OF(Level, PCB28_LEVEL_FIELDS));
  return o;
}

void Reader::Read(Value& v, standin::Pad& o) {
  // "size" sets all three levels, whatever the order of the keys; "top",
  // "mid" and "bottom" then override it.
  std::optional<standin::PadLevel> size, top, mid, bottom;
  // One line per key.
  // clang-format off
  const auto own = [&](PadKey k, Value& x) {
    switch (k) {
      case PadKey::size: size = Level(x); break;
      case PadKey::top: top = Level(x); break;
      case PadKey::mid: mid = Level(x); break;
      case PadKey::bottom: bottom = Level(x); break;
      default:
        EachLayerField(x, 1, "an object of layer -> pad level",
                       [&](HostLayer layer, Value& l) { o.Give(layer, {}) = Level(l); });
    }
  };
  // clang-format on
  EachField(v, "an object", kPadKeys, PCB28_FIELDS_OF(Pad, PCB28_PAD_FIELDS));
  if (size) o.top = o.mid = o.bottom = *size;
  if (top) o.top = *top;
  if (mid) o.mid = *mid;
  if (bottom) o.bottom = *bottom;
}

template void Reader::Members<standin::Track>(Value&, ObjectHandle);
template void Reader::Members<standin::Arc>(Value&, ObjectHandle);
template void Reader::Members<standin::Via>(Value&, ObjectHandle);
template void Reader::Members<standin::Fill>(Value&, ObjectHandle);
template void Reader::Members<standin::Text>(Value&, ObjectHandle);
template void Reader::Members<standin::Pad>(Value&, ObjectHandle);

}  // namespace boardfile
