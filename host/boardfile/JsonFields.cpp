#include "boardfile/JsonFields.h"

#include "HostLayers.h"

namespace boardfile {

void Fail(const std::string& place, std::string what) {
  throw LoadError{place.empty() ? "top level" : place, std::move(what)};
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  if (text.size() <= kShown) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kShown)) + "...'";
}

std::string TypeName(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::boolean:
      return "a boolean";
    case json::value_t::number_float:
      return "the number " + value.dump();
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
      return "the integer " + value.dump();
    case json::value_t::string:
      return "a string";
    case json::value_t::array:
      return "a list";
    case json::value_t::object:
      return "an object";
    default:
      return "a value of another kind";
  }
}

void FailInteger(const Ref& ref, std::int64_t lo, std::int64_t hi) {
  const json& v = *ref.value;
  std::string range = std::to_string(lo);
  range.append(" to ").append(std::to_string(hi));
  if (v.is_number_integer() || (v.is_number_float() && std::abs(v.get<double>()) >= 9.2e18)) {
    Fail(ref.path, "value " + v.dump() + " out of range: expected an integer " + range);
  }
  Fail(ref.path, "expected an integer " + range + ", found " + TypeName(v));
}

Coord CoordValue(const Ref& ref) {
  const json& v = *ref.value;
  if (v.is_string()) {
    Coord out = 0;
    std::string what;
    if (!LengthToHost(v.get_ref<const std::string&>(), out, what)) {
      Fail(ref.path, what + ", found " + Quoted(v.get_ref<const std::string&>()));
    }
    return out;
  }
  if (!v.is_number_integer()) {
    Fail(ref.path,
         "expected host units (an integer) or a length such as \"12.5mil\" or \"0.25mm\", found " +
             TypeName(v));
  }
  return IntegerValue<Coord>(ref);
}

double RealValue(const Ref& ref) {
  if (!ref.value->is_number()) Fail(ref.path, "expected a number, found " + TypeName(*ref.value));
  return ref.value->get<double>();
}

std::string HostText(const Ref& ref, std::size_t limit, const char* field) {
  const json& v = *ref.value;
  if (!v.is_string()) Fail(ref.path, std::string("expected a string, found ") + TypeName(v));
  std::string out, what;
  if (!ToHostString(v.get_ref<const std::string&>(), out, what)) Fail(ref.path, what);
  if (out.size() > limit) {
    Fail(ref.path, std::string("a ") + field + " holds at most " + std::to_string(limit) +
                       " characters; this one has " + std::to_string(out.size()));
  }
  return out;
}

HostLayer LayerValue(const Ref& ref, int lowest) {
  const json& v = *ref.value;
  const std::string expected = "expected a host layer name (TopLayer, MidLayer1, ...) or a code " +
                               std::to_string(lowest) + " to 82";
  int code = -1;
  if (v.is_string()) {
    code = LayerCodeOf(v.get_ref<const std::string&>());
    if (code < 0) Fail(ref.path, "unknown layer " + Quoted(v.get<std::string>()) + "; " + expected);
  } else if (v.is_number_integer()) {
    const auto i = v.get<std::int64_t>();
    if (i < 0 || i > kLastHostLayer)
      Fail(ref.path, "layer code " + v.dump() + " out of range; " + expected);
    code = static_cast<int>(i);
  } else {
    Fail(ref.path, expected + ", found " + TypeName(v));
  }
  if (code < lowest) Fail(ref.path, "layer " + v.dump() + " is not allowed here; " + expected);
  return static_cast<HostLayer>(code);
}
HostLayer LayerKey(const std::string& key, const std::string& path, int lowest) {
  const int code = LayerCodeOf(key);
  if (code < lowest) {
    Fail(path, "unknown layer " + Quoted(key) +
                   " as a key; expected a host layer name (TopLayer, MidLayer1, ...) or a code " +
                   std::to_string(lowest) + " to 82");
  }
  return static_cast<HostLayer>(code);
}

}  // namespace boardfile
