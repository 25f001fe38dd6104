// Reading the values of the board file's JSON document: scalars at the
// host's widths, objects whose every key must be known, lists of bounded
// length. Every fault throws a LoadError with the path of the value.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "PcbApi.h"
#include "boardfile/BoardValues.h"
#include "boardfile/FieldRules.h"

namespace boardfile {

using json = nlohmann::json;

struct LoadError {
  std::string place;
  std::string what;
};

// Refuses the file: `place` is the path of the value ("" for the top level).
[[noreturn]] void Fail(const std::string& place, std::string what);

// A text as shown in messages: quoted, cut after 60 characters.
std::string Quoted(std::string_view text);
// What a value is, for "found ..." in messages.
std::string TypeName(const json& value);

// A value and the path it was found at; no value when the key was left out.
struct Ref {
  const json* value = nullptr;
  std::string path;
  explicit operator bool() const { return value != nullptr; }
};

// Refuses an integer value outside lo to hi, or a value that is no integer;
// the message is built only here, since most values pass.
[[noreturn]] void FailInteger(const Ref& ref, std::int64_t lo, std::int64_t hi);

// Integers at the width of T; a byte also takes true and false.
template <class T>
T IntegerValue(const Ref& ref) {
  constexpr auto lo = static_cast<std::int64_t>(std::numeric_limits<T>::min());
  constexpr auto hi = static_cast<std::int64_t>(std::numeric_limits<T>::max());
  const json& v = *ref.value;
  if (sizeof(T) == 1 && std::is_unsigned_v<T> && v.is_boolean()) return v.get<bool>() ? 1 : 0;
  if (v.is_number_unsigned()) {
    const auto u = v.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(hi)) FailInteger(ref, lo, hi);
    return static_cast<T>(u);
  }
  if (v.is_number_integer()) {
    const auto i = v.get<std::int64_t>();
    if (i < lo || i > hi) FailInteger(ref, lo, hi);
    return static_cast<T>(i);
  }
  FailInteger(ref, lo, hi);
}

Coord CoordValue(const Ref& ref);
double RealValue(const Ref& ref);
std::string HostText(const Ref& ref, std::size_t limit, const char* field);
HostLayer LayerValue(const Ref& ref, int lowest);

// ------------------------------------------------------------------ objects and lists

// The keys of one JSON object. Every key the reader asks for is known; Done()
// refuses the others.
class Fields {
 public:
  Fields(const Ref& ref, const char* what) : object_(*ref.value), path_(ref.path) {
    if (!object_.is_object())
      Fail(path_, std::string("expected ") + what + ", found " + TypeName(object_));
    known_.reserve(24);  // a component, the largest object, asks for 24 keys
  }
  Fields(const json& object, std::string path, const char* what)
      : Fields(Ref{&object, std::move(path)}, what) {}

  // A key left out gets no path: only a value found can be at fault, and
  // most keys asked for are left out.
  Ref operator[](const char* key) {
    known_.emplace_back(key);
    const auto it = object_.find(key);
    if (it == object_.end()) return Ref{};
    return Ref{&*it, Child(key)};
  }
  bool Has(const char* key) const { return object_.contains(key); }
  std::string Child(std::string_view key) const {
    return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
  }
  const std::string& path() const { return path_; }
  const json& object() const { return object_; }

  void Done() const {
    for (const auto& [key, value] : object_.items()) {
      if (std::find(known_.begin(), known_.end(), key) != known_.end()) continue;
      const std::string at = path_.empty() ? "top level" : path_;
      std::string what = "unknown key " + Quoted(key) + " at " + at;
      const std::string near = ClosestWord(key, known_);
      if (!near.empty()) what += " (did you mean '" + near + "'?)";
      Fail(path_, what);
    }
  }

  template <class T>
  void Int(const char* key, T& out) {
    if (Ref r = (*this)[key]) out = IntegerValue<T>(r);
  }
  void Length(const char* key, Coord& out) {
    if (Ref r = (*this)[key]) out = CoordValue(r);
  }
  void Real(const char* key, double& out) {
    if (Ref r = (*this)[key]) out = RealValue(r);
  }
  void Text(const char* key, std::string& out, std::size_t limit, const char* field) {
    if (Ref r = (*this)[key]) out = HostText(r, limit, field);
  }
  void Layer(const char* key, HostLayer& out, int lowest = 0) {
    if (Ref r = (*this)[key]) out = LayerValue(r, lowest);
  }

 private:
  const json& object_;
  std::string path_;
  std::vector<std::string> known_;
};

// A list of at most `limit` entries; entries past its end read as left out.
class List {
 public:
  List(const Ref& ref, std::size_t limit, const std::string& what)
      : list_(*ref.value), path_(ref.path) {
    if (!list_.is_array()) Fail(path_, "expected a list of " + what + ", found " + TypeName(list_));
    if (list_.size() > limit) {
      Fail(path_, "expected at most " + std::to_string(limit) + " " + what + ", found " +
                      std::to_string(list_.size()));
    }
  }
  std::size_t size() const { return list_.size(); }
  Ref operator[](std::size_t i) const {
    return Ref{i < list_.size() ? &list_[i] : nullptr, path_ + "[" + std::to_string(i) + "]"};
  }
  template <class T>
  void Int(std::size_t i, T& out) const {
    if (Ref r = (*this)[i]) out = IntegerValue<T>(r);
  }
  void Length(std::size_t i, Coord& out) const {
    if (Ref r = (*this)[i]) out = CoordValue(r);
  }
  void Real(std::size_t i, double& out) const {
    if (Ref r = (*this)[i]) out = RealValue(r);
  }
  void Text(std::size_t i, std::string& out, std::size_t limit, const char* field) const {
    if (Ref r = (*this)[i]) out = HostText(r, limit, field);
  }

 private:
  const json& list_;
  std::string path_;
};

constexpr std::size_t kAnyLength = std::numeric_limits<std::size_t>::max();

// The layer of a key of a layer map ("TopLayer": ..., or "1": ...).
HostLayer LayerKey(const std::string& key, const std::string& path, int lowest);

}  // namespace boardfile
