// Helpers of the entry points: moving one value between the caller's
// storage and a model field, in either direction, at the caller's width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

#include "LenString.h"
#include "PcbApi.h"

namespace standin {

// Statuses the entry points answer.
inline constexpr Status kOk = 0;
inline constexpr Status kBadHandle = 1;    // unknown handle or wrong kind
inline constexpr Status kBadArgument = 2;  // layer, index or count out of range
inline constexpr Status kBadLink = 3;      // set mode: a net, component or polygon that is none
inline constexpr Status kBadMode = 4;      // neither get nor set

// Writes a length-prefixed string into a buffer of size bytes: at most
// size - 1 characters.
inline void PutString(std::uint8_t* buffer, std::size_t size, const std::string& text) {
  WriteLenString(buffer, size, text);
}

// Reads a length-prefixed string from a buffer of size bytes: never more than
// size - 1 characters, whatever its length byte says.
inline std::string TakeString(const std::uint8_t* buffer, std::size_t size) {
  return std::string(ReadLenString(buffer, size));
}

// One direction of a query. A null reference is skipped.
class Exchange {
 public:
  explicit Exchange(bool get) : get_(get) {}
  bool get() const { return get_; }

  template <class T, class F>
  void operator()(T* ref, F& field) const {
    if (ref == nullptr) return;
    if (get_) {
      *ref = static_cast<T>(field);
    } else {
      field = static_cast<F>(*ref);
    }
  }
  void Text(std::uint8_t* ref, std::size_t size, std::string& field) const {
    if (ref == nullptr) return;
    if (get_) {
      PutString(ref, size, field);
    } else {
      field = TakeString(ref, size);
    }
  }
  // The references in order, with the entries of the array `fields` from
  // its first on.
  template <class A, class... T>
  void Each(A& fields, T*... refs) const {
    static_assert(sizeof...(T) <= std::tuple_size_v<A>);
    std::size_t i = 0;
    ((*this)(refs, fields[i++]), ...);
  }
  template <class A, class... T>
  void EachText(A& fields, std::size_t size, T*... refs) const {
    static_assert(sizeof...(T) <= std::tuple_size_v<A>);
    std::size_t i = 0;
    (Text(refs, size, fields[i++]), ...);
  }

 private:
  bool get_;
};

}  // namespace standin
