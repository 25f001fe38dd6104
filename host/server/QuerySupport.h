// Shared by the object queries: the check of a query's mode and handle, the
// checks of set-mode links, the common block of the primitives, and the
// shapes most entry points share (a whole query, one field, a count, one
// entry of a list).
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "server/EntryPointSupport.h"

namespace standin {

inline bool ValidLayer(HostLayer layer) { return layer >= 1 && layer <= kLastHostLayer; }

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

// The references of the common block, in the order the primitive queries
// take them; a query without one of them leaves it null.
struct CommonRefs {
  std::uint16_t* flags = nullptr;
  std::uint16_t* index = nullptr;
  HostLayer* layer = nullptr;
  ObjectHandle* net = nullptr;
  std::uint8_t* tag = nullptr;
  ObjectHandle* component = nullptr;
  Coord* x = nullptr;
  Coord* y = nullptr;
};

// The common block of the primitives. In set mode a changed component link
// moves the object to that component (last in its document order).
inline void Common(const Exchange& x, Primitive& p, const CommonRefs& c) {
  x(c.flags, p.flags);
  x(c.index, p.index);
  x(c.layer, p.layer);
  if (!x.get() && c.net != nullptr && *c.net != p.net) S().InvalidateNetMembers();
  x(c.net, p.net);
  x(c.tag, p.tag);
  if (c.component != nullptr) {
    if (x.get()) {
      *c.component = p.component;
    } else {
      S().Reparent(p.handle, *c.component);
    }
  }
  x(c.x, p.x);
  x(c.y, p.y);
}

template <class T>
Status Prepare(QueryMode mode, ObjectHandle object, T*& out) {
  if (mode != kQueryGet && mode != kQuerySet) return kBadMode;
  out = S().Get<T>(object);
  return out == nullptr ? kBadHandle : kOk;
}

// Runs the body of a query: its status, or kOk when it answers none.
template <class Body, class... A>
Status Answer(Body& body, A&&... args) {
  if constexpr (std::is_void_v<std::invoke_result_t<Body&, A...>>) {
    body(std::forward<A>(args)...);
    return kOk;
  } else {
    return body(std::forward<A>(args)...);
  }
}

// One query of an object of type T: once the mode and the handle are good,
// `body`(exchange, object) moves the values and answers the status (a body
// that answers nothing has succeeded).
template <class T, class Body>
Status Query(QueryMode mode, ObjectHandle object, Body&& body) {
  T* found = nullptr;
  if (Status s = Prepare(mode, object, found)) return s;
  return Answer(body, Exchange(mode == kQueryGet), *found);
}

// A query of one value of an object.
template <class T, class R, class F>
Status QueryField(QueryMode mode, ObjectHandle object, R* ref, F T::*field) {
  return Query<T>(mode, object, [&](const Exchange& xc, T& o) { xc(ref, o.*field); });
}

// A query of a primitive: in set mode the net, component and polygon links
// are checked before anything is stored; then the common block, then `body`
// with the values of the kind.
template <class T, class Body>
Status PrimitiveQuery(QueryMode mode, ObjectHandle object, const CommonRefs& common,
                      ObjectHandle* polygon, Body&& body) {
  return Query<T>(mode, object, [&](const Exchange& xc, T& p) {
    if (!xc.get() &&
        (BadNet(p, common.net) || BadComponent(p, common.component) || BadPolygon(p, polygon)))
      return kBadLink;
    Common(xc, p, common);
    body(xc, p);
    return kOk;
  });
}

// The number of entries of an object's list.
template <class T, class L>
Status AnswerCount(ObjectHandle object, std::int32_t* count, L T::*list) {
  const T* found = S().Get<T>(object);
  if (found == nullptr) return kBadHandle;
  if (count != nullptr) *count = static_cast<std::int32_t>((found->*list).size());
  return kOk;
}

// The entry of a list at an index the caller gave, nullptr when it has none.
template <class L>
auto* EntryAt(L& list, std::int32_t index) {
  return index < 0 || static_cast<std::size_t>(index) >= list.size()
             ? nullptr
             : &list[static_cast<std::size_t>(index)];
}

}  // namespace standin
