// The value helpers the streaming reader calls out of line.
#include "boardfile/FastFields.h"

namespace boardfile::fast {

od::number NumberOf(Value& v) {
  Need(v.type() == Type::number);
  return v.get_number();  // an integer beyond 64 bits is an error here
}

std::string_view StringOf(Value& v) {
  Need(v.type() == Type::string);
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
  if (v.type() == Type::string) {
    Coord out = 0;
    std::string what;
    Need(LengthToHost(StringOf(v), out, what));
    return out;
  }
  return Integer<Coord>(v);
}

double Real(Value& v) {
  od::number n = NumberOf(v);
  switch (n.get_number_type()) {
    case od::number_type::signed_integer:
      return static_cast<double>(n.get_int64());
    case od::number_type::unsigned_integer:
      return static_cast<double>(n.get_uint64());
    default:
      return n.get_double();
  }
}

std::string_view HostView(Value& v, std::size_t limit, std::string& scratch) {
  const std::string_view text = StringOf(v);
  bool plain = true;
  for (const char c : text) plain &= static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
  if (plain) {
    Need(text.size() <= limit);
    return text;
  }
  std::string what;
  Need(ToHostString(text, scratch, what) && scratch.size() <= limit);
  return scratch;
}

void HostString(Value& v, std::size_t limit, std::string& out) {
  const std::string_view text = HostView(v, limit, out);
  if (text.data() != out.data()) out.assign(text);
}

HostLayer Layer(Value& v, int lowest) {
  int code = -1;
  if (v.type() == Type::string) {
    code = LayerCodeOf(StringOf(v));
  } else {
    od::number n = NumberOf(v);
    Need(n.get_number_type() == od::number_type::signed_integer);
    const std::int64_t i = n.get_int64();
    Need(i >= 0 && i <= kLastHostLayer);
    code = static_cast<int>(i);
  }
  Need(code >= lowest && code >= 0);
  return static_cast<HostLayer>(code);
}

std::string AreaId(Value& v) {
  if (v.type() == Type::string) {
    const std::string_view id = StringOf(v);
    Need(!id.empty());
    return std::string(id);
  }
  od::number n = NumberOf(v);
  if (n.get_number_type() == od::number_type::signed_integer) return std::to_string(n.get_int64());
  Need(n.get_number_type() == od::number_type::unsigned_integer);
  return std::to_string(n.get_uint64());
}

}  // namespace boardfile::fast
