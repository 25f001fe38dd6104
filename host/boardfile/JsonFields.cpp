// The value readers, and the messages of refused values.
#include "boardfile/JsonFields.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace boardfile {

void Fail(std::string what, const char* key) { throw Fault{std::move(what), key, {}}; }

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  if (text.size() <= kShown) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kShown)) + "...'";
}

// Shortest digits that read back as `d`, then laid out with a decimal point
// up to 15 integer digits and 4 leading zeros, else with an exponent.
std::string NumberText(double d) {
  if (!std::isfinite(d)) return "null";
  if (d == 0) return std::signbit(d) ? "-0.0" : "0.0";
  char buffer[40];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, std::abs(d), std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t e = text.find('e');
  std::string digits(text.substr(0, e));
  if (digits.size() > 1) digits.erase(1, 1);  // the point after the first digit
  const int exponent = std::atoi(text.data() + e + 1);
  const int count = static_cast<int>(digits.size());
  const int n = exponent + 1;  // digits before the decimal point
  std::string out = d < 0 ? "-" : "";
  if (n >= count && n <= 15) {
    out += digits + std::string(static_cast<std::size_t>(n - count), '0') + ".0";
  } else if (n > 0 && n <= 15) {
    out += digits.substr(0, static_cast<std::size_t>(n)) + "." +
           digits.substr(static_cast<std::size_t>(n));
  } else if (n > -4 && n <= 0) {
    out += "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
  } else {
    out += digits.substr(0, 1);
    if (count > 1) out += "." + digits.substr(1);
    const int shown = n - 1;
    const std::string magnitude = std::to_string(std::abs(shown));
    out +=
        std::string("e") + (shown < 0 ? "-" : "+") + (magnitude.size() < 2 ? "0" : "") + magnitude;
  }
  return out;
}

namespace {

// A number; an integer past 64 bits is read as the number it is, and the
// caller's refusal `fail` gets it.
template <class F>
od::number NumberOf(Value& v, F&& fail) {
  const simdjson::simdjson_result<od::number> number = v.get_number();
  if (number.error() != simdjson::SUCCESS) [[unlikely]]
    fail(v.get_double());
  return number.value_unsafe();
}

// A number token as messages show it: an integer within 64 bits as
// written, any other number through its double.
std::string NumberToken(std::string_view token) {
  while (!token.empty() && (token.back() == ' ' || token.back() == '\n' || token.back() == '\r' ||
                            token.back() == '\t'))
    token.remove_suffix(1);
  const bool integer = token.find_first_of(".eE") == std::string_view::npos;
  if (integer) {
    std::int64_t i = 0;
    auto [p, ec] = std::from_chars(token.data(), token.data() + token.size(), i);
    if (ec == std::errc() && p == token.data() + token.size()) return std::to_string(i);
    std::uint64_t u = 0;
    auto [q, ec2] = std::from_chars(token.data(), token.data() + token.size(), u);
    if (ec2 == std::errc() && q == token.data() + token.size()) return std::to_string(u);
  }
  return NumberText(std::strtod(std::string(token).c_str(), nullptr));
}

bool IsIntegerToken(std::string_view token) {
  return token.find_first_of(".eE") == std::string_view::npos &&
         NumberToken(token).find_first_of(".en") == std::string::npos;
}

}  // namespace

std::string FoundToken(Type type, std::string_view token) {
  switch (type) {
    case Type::null:
      return "null";
    case Type::boolean:
      return "a boolean";
    case Type::number:
      return (IsIntegerToken(token) ? "the integer " : "the number ") + NumberToken(token);
    case Type::string:
      return "a string";
    case Type::array:
      return "a list";
    default:
      return "an object";
  }
}

std::string Found(Value& v) {
  const Type type = v.type();
  return FoundToken(type, type == Type::number ? v.raw_json_token() : std::string_view());
}

od::object ObjectOf(Value& v, const char* what) {
  if (v.type() != Type::object) [[unlikely]]
    Fail(std::string("expected ") + what + ", found " + Found(v));
  return v.get_object();
}

namespace {

std::string Range(std::int64_t lo, std::int64_t hi) {
  return "an integer " + std::to_string(lo) + " to " + std::to_string(hi);
}

}  // namespace

void FailRange(const std::string& number, std::int64_t lo, std::int64_t hi) {
  Fail("value " + number + " out of range: expected " + Range(lo, hi));
}

void FailFraction(double d, std::int64_t lo, std::int64_t hi) {
  if (std::abs(d) >= 9.2e18) FailRange(NumberText(d), lo, hi);
  Fail("expected " + Range(lo, hi) + ", found the number " + NumberText(d));
}

void FailNotInteger(Value& v, std::int64_t lo, std::int64_t hi) {
  if (v.type() == Type::number) {
    const std::string_view token = v.raw_json_token();
    if (IsIntegerToken(token)) FailRange(NumberToken(token), lo, hi);
    FailFraction(std::strtod(std::string(token).c_str(), nullptr), lo, hi);
  }
  Fail("expected " + Range(lo, hi) + ", found " + Found(v));
}

std::string_view StringOf(Value& v) {
  if (v.type() != Type::string) [[unlikely]]
    Fail("expected a string, found " + Found(v));
  const std::string_view token = v.raw_json_token();
  const char* start = token.data() + 1;
  const char* end = start;
  while (*end != '"' && *end != '\\') ++end;
  if (*end == '\\') return v.get_string();
  od::raw_json_string consumed = v.get_raw_json_string();
  (void)consumed;
  return {start, static_cast<std::size_t>(end - start)};
}

Coord Length(Value& v) {
  constexpr auto lo = static_cast<std::int64_t>(std::numeric_limits<Coord>::min());
  constexpr auto hi = static_cast<std::int64_t>(std::numeric_limits<Coord>::max());
  const char* expected =
      "expected host units (an integer) or a length such as \"12.5mil\" or \"0.25mm\", found ";
  const Type type = v.type();
  if (type == Type::string) {
    const std::string_view text = StringOf(v);
    Coord out = 0;
    std::string what;
    if (!LengthToHost(text, out, what)) [[unlikely]]
      Fail(what + ", found " + Quoted(text));
    return out;
  }
  if (type != Type::number) [[unlikely]]
    Fail(expected + Found(v));
  const od::number n =
      NumberOf(v, [&](double d) { Fail(expected + ("the number " + NumberText(d))); });
  switch (n.get_number_type()) {
    case od::number_type::signed_integer:
      if (n.get_int64() < lo || n.get_int64() > hi) [[unlikely]]
        FailRange(std::to_string(n.get_int64()), lo, hi);
      return static_cast<Coord>(n.get_int64());
    case od::number_type::unsigned_integer:
      FailRange(std::to_string(n.get_uint64()), lo, hi);
    default:
      Fail(expected + ("the number " + NumberText(n.get_double())));
  }
}

double Real(Value& v) {
  if (v.type() != Type::number) [[unlikely]]
    Fail("expected a number, found " + Found(v));
  return v.get_double();
}

std::string_view HostView(Value& v, std::size_t limit, const char* field, std::string& scratch) {
  const std::string_view text = StringOf(v);
  bool plain = true;
  for (const char c : text) plain &= static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
  std::string_view out = text;
  if (!plain) {
    std::string what;
    if (!ToHostString(text, scratch, what)) Fail(what);
    out = scratch;
  }
  if (out.size() > limit) [[unlikely]] {
    Fail(std::string("a ") + field + " holds at most " + std::to_string(limit) +
         " characters; this one has " + std::to_string(out.size()));
  }
  return out;
}

void HostString(Value& v, std::size_t limit, const char* field, std::string& out) {
  const std::string_view text = HostView(v, limit, field, out);
  if (text.data() != out.data()) out.assign(text);
}

namespace {

std::string LayersExpected(int lowest) {
  return "expected a host layer name (TopLayer, MidLayer1, ...) or a code " +
         std::to_string(lowest) + " to 82";
}

}  // namespace

HostLayer Layer(Value& v, int lowest) {
  const Type type = v.type();
  if (type == Type::string) {
    const std::string_view name = StringOf(v);
    const int code = LayerCodeOf(name);
    if (code < 0) [[unlikely]]
      Fail("unknown layer " + Quoted(name) + "; " + LayersExpected(lowest));
    if (code < lowest) [[unlikely]]
      Fail("layer \"" + std::string(name) + "\" is not allowed here; " + LayersExpected(lowest));
    return static_cast<HostLayer>(code);
  }
  if (type != Type::number) [[unlikely]]
    Fail(LayersExpected(lowest) + ", found " + Found(v));
  const od::number n = NumberOf(
      v, [&](double d) { Fail(LayersExpected(lowest) + ", found the number " + NumberText(d)); });
  std::string written;
  switch (n.get_number_type()) {
    case od::number_type::signed_integer: {
      const std::int64_t i = n.get_int64();
      if (i >= lowest && i <= kLastHostLayer) return static_cast<HostLayer>(i);
      written = std::to_string(i);
      if (i >= 0 && i <= kLastHostLayer)
        Fail("layer " + written + " is not allowed here; " + LayersExpected(lowest));
      break;
    }
    case od::number_type::unsigned_integer:
      written = std::to_string(n.get_uint64());
      break;
    default:
      Fail(LayersExpected(lowest) + ", found the number " + NumberText(n.get_double()));
  }
  Fail("layer code " + written + " out of range; " + LayersExpected(lowest));
}

HostLayer LayerOfKey(std::string_view key, int lowest) {
  const int code = LayerCodeOf(key);
  if (code < lowest) {
    Fail("unknown layer " + Quoted(key) + " as a key; " + LayersExpected(lowest));
  }
  return static_cast<HostLayer>(code);
}

std::string AreaId(Value& v) {
  const Type type = v.type();
  if (type == Type::string) {
    const std::string_view id = StringOf(v);
    if (!id.empty()) return std::string(id);
    Fail("expected a polygon id (a non-empty string or an integer), found a string");
  }
  if (type != Type::number) [[unlikely]]
    Fail("expected a polygon id (a non-empty string or an integer), found " + Found(v));
  const od::number n = NumberOf(v, [](double d) {
    Fail("expected a polygon id (a non-empty string or an integer), found the number " +
         NumberText(d));
  });
  switch (n.get_number_type()) {
    case od::number_type::signed_integer:
      return std::to_string(n.get_int64());
    case od::number_type::unsigned_integer:
      return std::to_string(n.get_uint64());
    default:
      Fail("expected a polygon id (a non-empty string or an integer), found the number " +
           NumberText(n.get_double()));
  }
}

}  // namespace boardfile
