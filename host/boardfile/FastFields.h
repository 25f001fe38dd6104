// Reading the values of a board file as the streaming reader meets them:
// scalars at the host's widths, objects whose every key must be known and
// given once, lists of bounded length. Any fault throws Refused; nothing
// here builds a message. The walks over objects and lists are templates, so
// that each reader's lambdas inline into them.
#pragma once

#include <simdjson.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "HostLayers.h"
#include "boardfile/BoardValues.h"
#include "server/Objects.h"

namespace boardfile::fast {

namespace od = simdjson::ondemand;
using Value = od::value;
using Type = od::json_type;

struct Refused {};

[[noreturn]] inline void Refuse() { throw Refused{}; }
inline void Need(bool ok) {
  if (!ok) [[unlikely]]
    Refuse();
}

// ------------------------------------------------------------------ keys

// The key of a field as written. Keys with escapes are refused here (the
// exact reader takes them): every other key is its own text.
inline std::string_view KeyText(od::field& field) {
  const char* start = field.key().raw();
  const char* end = start;
  while (*end != '"') {
    Need(*end != '\\');
    ++end;
  }
  return {start, static_cast<std::size_t>(end - start)};
}

// The known keys of one kind of object, found by a small open-addressed
// table; a key's number is its position in the list.
class KeySet {
 public:
  KeySet(std::initializer_list<std::initializer_list<const char*>> groups) {
    slots_.fill(-1);
    for (const auto& group : groups) Add(group);
  }
  explicit KeySet(std::span<const char* const> names) {
    slots_.fill(-1);
    Add(names);
  }
  int Find(std::string_view key) const {
    if (key.empty()) return -1;
    for (std::size_t slot = Hash(key);; slot = (slot + 1) % kSlots) {
      const int k = slots_[slot];
      if (k < 0 || names_[k] == key) return k;
    }
  }
  std::string_view Name(int k) const { return names_[k]; }

 private:
  static constexpr std::size_t kSlots = 128;  // at most 64 keys: a seen-mask is 64 bits
  void Add(std::span<const char* const> names) {
    for (const char* name : names) {
      std::size_t slot = Hash(name);
      while (slots_[slot] >= 0) slot = (slot + 1) % kSlots;
      slots_[slot] = static_cast<std::int8_t>(names_.size());
      names_.emplace_back(name);
    }
  }
  static std::size_t Hash(std::string_view key) {
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(key[i]); };
    return (key.size() * 31 + at(0) * 7 + at(key.size() / 2) * 3 + at(key.size() - 1)) % kSlots;
  }
  std::array<std::int8_t, kSlots> slots_{};
  std::vector<std::string_view> names_;
};

constexpr std::uint64_t Bit(int k) { return std::uint64_t{1} << k; }

// ------------------------------------------------------------------ values

inline od::object ObjectOf(Value& v) {
  Need(v.type() == Type::object);
  return v.get_object();
}

// Calls read(key number, value) for each field of an object, refusing
// unknown and repeated keys; returns the keys it had.
template <class F>
std::uint64_t EachField(od::object& object, const KeySet& keys, F&& read) {
  std::uint64_t seen = 0;
  for (auto result : object) {
    od::field field = std::move(result);
    const int k = keys.Find(KeyText(field));
    Need(k >= 0 && (seen & Bit(k)) == 0);
    seen |= Bit(k);
    read(k, field.value());
  }
  return seen;
}
template <class F>
std::uint64_t EachField(Value& v, const KeySet& keys, F&& read) {
  od::object object = ObjectOf(v);
  return EachField(object, keys, read);
}

// Calls read(position, value) for each entry of a list of at most `limit`.
template <class F>
void EachItem(Value& v, std::size_t limit, F&& read) {
  Need(v.type() == Type::array);
  std::size_t i = 0;
  for (auto result : v.get_array()) {
    Need(i < limit);
    Value item = std::move(result);
    read(i++, item);
  }
}
constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// Calls read(layer, value) for each field of an object keyed by layer; a
// layer named twice (as "TopLayer" and "1") is left to the exact reader.
template <class F>
void EachLayerField(Value& v, int lowest, F&& read) {
  od::object object = ObjectOf(v);
  std::bitset<kHostLayerCount> seen;
  for (auto result : object) {
    od::field field = std::move(result);
    const int code = LayerCodeOf(KeyText(field));
    Need(code >= lowest && code >= 0 && !seen[code]);
    seen.set(code);
    read(static_cast<HostLayer>(code), field.value());
  }
}

// Numbers as the exact reader's parser sees them: integers that fit 64 bits
// (signed, or unsigned above the signed range), or floating point.
od::number NumberOf(Value& v);

// A string: its text in the file when it has no escapes (no copy), else
// the parser's unescaped copy.
std::string_view StringOf(Value& v);

// An integer at the width of T; a byte also takes true and false.
template <class T>
T Integer(Value& v) {
  if (v.type() == Type::boolean) {
    Need(sizeof(T) == 1 && std::is_unsigned_v<T>);
    return static_cast<T>(bool(v.get_bool()) ? 1 : 0);
  }
  od::number n = NumberOf(v);
  if (n.get_number_type() == od::number_type::signed_integer) {
    const std::int64_t i = n.get_int64();
    Need(i >= static_cast<std::int64_t>(std::numeric_limits<T>::min()) &&
         i <= static_cast<std::int64_t>(std::numeric_limits<T>::max()));
    return static_cast<T>(i);
  }
  Need(n.get_number_type() == od::number_type::unsigned_integer &&
       n.get_uint64() <= static_cast<std::uint64_t>(std::numeric_limits<T>::max()));
  return static_cast<T>(n.get_uint64());
}
template <class T>
void Int(Value& v, T& out) {
  out = Integer<T>(v);
}

Coord Length(Value& v);
double Real(Value& v);

// A string as the host holds it (at most `limit` bytes): the text itself
// when it is plain ASCII, else its conversion in `scratch`.
std::string_view HostView(Value& v, std::size_t limit, std::string& scratch);
void HostString(Value& v, std::size_t limit, std::string& out);

HostLayer Layer(Value& v, int lowest);

// Polygon ids are strings or integers; 7 and "7" are the same id.
std::string AreaId(Value& v);

}  // namespace boardfile::fast
