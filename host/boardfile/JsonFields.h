// Reading the values of a board file as the reader meets them, with
// simdjson's On-Demand parser: scalars at the host's widths, strings as the
// host holds them, layers, polygon ids. A value that breaks a rule throws a
// Fault saying what was expected and what was found; the reader adds where.
// Messages are built only when a value is refused.
#pragma once

#include <simdjson.h>

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "HostLayers.h"
#include "boardfile/BoardValues.h"
#include "server/Objects.h"

namespace boardfile {

namespace od = simdjson::ondemand;
using Value = od::value;
using Type = od::json_type;

// A refused value or object: what is wrong. `key`, when set, is the key of
// the current object the fault is at (for faults found once the object has
// been read).
struct Fault {
  std::string what;
  const char* key = nullptr;
  std::string place;  // set for a fault found away from where the reader is
};

[[noreturn]] void Fail(std::string what, const char* key = nullptr);

// A text as shown in messages: quoted, cut after 60 characters.
std::string Quoted(std::string_view text);

// What a value is, for "found ..." in messages, from its type and (for a
// number) its token; Found reads the value for it.
std::string FoundToken(Type type, std::string_view token);
std::string Found(Value& v);

// A number as written in messages: integers as they are, others in their
// shortest form with a decimal point or an exponent ("1.5", "1e+20").
std::string NumberText(double d);

// ------------------------------------------------------------------ keys

// The keys of one kind of object, found by a small open-addressed table; a
// key's number is its position in the kind's list.
class KeySet {
 public:
  explicit KeySet(std::span<const char* const> names) {
    slots_.fill(-1);
    for (const char* name : names) {
      std::size_t slot = Hash(name);
      while (slots_[slot] >= 0) slot = (slot + 1) % kSlots;
      slots_[slot] = static_cast<std::int8_t>(names_.size());
      names_.emplace_back(name);
    }
  }
  int Find(std::string_view key) const {
    if (key.empty()) return -1;
    for (std::size_t slot = Hash(key);; slot = (slot + 1) % kSlots) {
      const int k = slots_[slot];
      if (k < 0 || names_[k] == key) return k;
    }
  }
  std::string_view Name(int k) const { return names_[k]; }
  const std::vector<std::string_view>& names() const { return names_; }

 private:
  static constexpr std::size_t kSlots = 128;  // at most 64 keys: a seen-mask is 64 bits
  static std::size_t Hash(std::string_view key) {
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(key[i]); };
    return (key.size() * 31 + at(0) * 7 + at(key.size() / 2) * 3 + at(key.size() - 1)) % kSlots;
  }
  std::array<std::int8_t, kSlots> slots_{};
  std::vector<std::string_view> names_;
};

constexpr std::uint64_t Bit(int k) { return std::uint64_t{1} << k; }
template <class Key>
constexpr std::uint64_t Bit(Key k) {
  return Bit(static_cast<int>(k));
}

// ------------------------------------------------------------------ values

// An object, or a fault naming what was expected (`what`: "an object").
od::object ObjectOf(Value& v, const char* what);

// Integers at the width of T; a byte also takes true and false.
[[noreturn]] void FailRange(const std::string& number, std::int64_t lo, std::int64_t hi);
[[noreturn]] void FailFraction(double d, std::int64_t lo, std::int64_t hi);
[[noreturn]] void FailNotInteger(Value& v, std::int64_t lo, std::int64_t hi);

template <class T>
T Integer(Value& v) {
  constexpr auto lo = static_cast<std::int64_t>(std::numeric_limits<T>::min());
  constexpr auto hi = static_cast<std::int64_t>(std::numeric_limits<T>::max());
  const Type type = v.type();
  if (type == Type::boolean && sizeof(T) == 1 && std::is_unsigned_v<T>) {
    return static_cast<T>(bool(v.get_bool()) ? 1 : 0);
  }
  if (type != Type::number) [[unlikely]]
    FailNotInteger(v, lo, hi);
  // An integer past 64 bits is read as the number it is.
  const simdjson::simdjson_result<od::number> number = v.get_number();
  if (number.error() != simdjson::SUCCESS) [[unlikely]]
    FailFraction(v.get_double(), lo, hi);
  const od::number n = number.value_unsafe();
  switch (n.get_number_type()) {
    case od::number_type::signed_integer: {
      const std::int64_t i = n.get_int64();
      if (i < lo || i > hi) [[unlikely]]
        FailRange(std::to_string(i), lo, hi);
      return static_cast<T>(i);
    }
    case od::number_type::unsigned_integer: {
      const std::uint64_t u = n.get_uint64();
      if (u > static_cast<std::uint64_t>(hi)) [[unlikely]]
        FailRange(std::to_string(u), lo, hi);
      return static_cast<T>(u);
    }
    default:
      FailFraction(n.get_double(), lo, hi);
  }
}
template <class T>
void Int(Value& v, T& out) {
  out = Integer<T>(v);
}

Coord Length(Value& v);
double Real(Value& v);

// A string's text: in the file when it has no escapes (no copy), else the
// parser's unescaped copy.
std::string_view StringOf(Value& v);

// A string as the host holds it (at most `limit` bytes; `field` names it in
// messages): the text itself when it is plain ASCII, else its conversion in
// `scratch`.
std::string_view HostView(Value& v, std::size_t limit, const char* field, std::string& scratch);
void HostString(Value& v, std::size_t limit, const char* field, std::string& out);

HostLayer Layer(Value& v, int lowest);
// The layer of a key of a layer map ("TopLayer": ..., or "1": ...).
HostLayer LayerOfKey(std::string_view key, int lowest);

// Polygon ids are strings or integers; 7 and "7" are the same id.
std::string AreaId(Value& v);

}  // namespace boardfile
