// A copy of every object in the stand-in server's model, by handle, so that
// two ways of building a board can be compared object for object.
#pragma once

#include <memory>
#include <vector>

#include "server/StandInBoard.h"

namespace modelsnapshot {

// Calls f with a null pointer of the object type a kind is stored as.
template <class F>
auto WithType(standin::Kind kind, F&& f) {
  using standin::Kind;
  switch (kind) {
    case Kind::Arc:
      return f(static_cast<standin::Arc*>(nullptr));
    case Kind::Pad:
      return f(static_cast<standin::Pad*>(nullptr));
    case Kind::Via:
      return f(static_cast<standin::Via*>(nullptr));
    case Kind::Track:
      return f(static_cast<standin::Track*>(nullptr));
    case Kind::Text:
      return f(static_cast<standin::Text*>(nullptr));
    case Kind::Fill:
      return f(static_cast<standin::Fill*>(nullptr));
    case Kind::FromTo:
      return f(static_cast<standin::FromTo*>(nullptr));
    case Kind::Net:
      return f(static_cast<standin::Net*>(nullptr));
    case Kind::Component:
      return f(static_cast<standin::Component*>(nullptr));
    case Kind::Polygon:
      return f(static_cast<standin::Polygon*>(nullptr));
    case Kind::BoardOutline:
      return f(static_cast<standin::BoardOutline*>(nullptr));
    case Kind::Dimension:
      return f(static_cast<standin::Dimension*>(nullptr));
    case Kind::Coordinate:
      return f(static_cast<standin::Coordinate*>(nullptr));
    case Kind::Class:
      return f(static_cast<standin::ObjectClass*>(nullptr));
    case Kind::Rule:
      return f(static_cast<standin::Rule*>(nullptr));
    case Kind::ManualFromTo:
      return f(static_cast<standin::ManualFromTo*>(nullptr));
    default:
      return f(static_cast<standin::Board*>(nullptr));
  }
}

struct Snapshot {
  ObjectHandle currentBoard = 0;
  // By handle less one; each deleted as its own type.
  std::vector<std::shared_ptr<const standin::Object>> objects;

  bool operator==(const Snapshot& other) const {
    if (currentBoard != other.currentBoard || objects.size() != other.objects.size()) return false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
      const standin::Object& a = *objects[i];
      const standin::Object& b = *other.objects[i];
      if (a.kind != b.kind) return false;
      const bool same = WithType(a.kind, [&]<class T>(T*) {
        return static_cast<const T&>(a) == static_cast<const T&>(b);
      });
      if (!same) return false;
    }
    return true;
  }
};

// The server's model as it is now.
inline Snapshot Take() {
  standin::Server& server = standin::TheServer();
  Snapshot snapshot;
  snapshot.currentBoard = server.CurrentBoardHandle();
  for (ObjectHandle h = 1;; ++h) {
    const standin::Object* object = server.Find(h);
    if (object == nullptr) break;
    snapshot.objects.push_back(WithType(object->kind, [&]<class T>(T*) {
      return std::shared_ptr<const standin::Object>(
          std::make_shared<T>(static_cast<const T&>(*object)));
    }));
  }
  return snapshot;
}

}  // namespace modelsnapshot
