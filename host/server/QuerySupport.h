// Shared by the object queries: the checks of set-mode links, the common
// block of the primitives and the check of a query's mode and handle.
#pragma once

#include "server/EntryPointSupport.h"

namespace standin {

// In set mode: a link that names nothing of the right kind refuses the
// whole query before anything is stored.
inline bool BadNet(const Object& self, const ObjectHandle* net) {
  if (net == nullptr || *net == 0) return false;
  const Net* found = S().Get<Net>(*net);
  return found == nullptr || found->board != self.board;
}

inline bool BadComponent(const Object& self, const ObjectHandle* component) {
  if (component == nullptr || *component == 0) return false;
  const Component* found = S().Get<Component>(*component);
  return found == nullptr || found->board != self.board;
}

inline bool BadPolygon(const Object& self, const ObjectHandle* polygon) {
  if (polygon == nullptr || *polygon == 0) return false;
  const Polygon* found = S().Get<Polygon>(*polygon);
  return found == nullptr || found->board != self.board;
}

// The common block of the primitives. In set mode a changed component link
// moves the object to that component (last in its document order).
inline void Common(const Exchange& x, Primitive& p, std::uint16_t* flags, std::uint16_t* index,
                   HostLayer* layer, ObjectHandle* net, std::uint8_t* tag, ObjectHandle* component,
                   Coord* px, Coord* py) {
  x(flags, p.flags);
  x(index, p.index);
  x(layer, p.layer);
  if (!x.get() && net != nullptr && *net != p.net) S().InvalidateNetMembers();
  x(net, p.net);
  x(tag, p.tag);
  if (component != nullptr) {
    if (x.get()) {
      *component = p.component;
    } else {
      S().Reparent(p.handle, *component);
    }
  }
  x(px, p.x);
  x(py, p.y);
}

template <class T>
Status Prepare(QueryMode mode, ObjectHandle object, T*& out) {
  if (mode != kQueryGet && mode != kQuerySet) return kBadMode;
  out = S().Get<T>(object);
  return out == nullptr ? kBadHandle : kOk;
}

}  // namespace standin
