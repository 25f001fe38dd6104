// Reading nets, classes, rules, from-tos, coordinates and dimensions.
#include "boardfile/BoardReader.h"

#include "HostLayers.h"

namespace boardfile {

void Reader::Net(Fields& f) {
  standin::Net n;
  Ref name = f["name"];
  if (!name) Fail(f.path(), "a net needs a 'name'");
  n.name = HostText(name, kNameLimit, "net name");
  if (n.name.empty()) Fail(name.path, "a net's name cannot be empty (an empty name means no net)");
  if (!netNumbers_.emplace(n.name, static_cast<ObjectHandle>(s_.nets.size() + 1)).second) {
    Fail(name.path, "net name " + Quoted(n.name) + " is used twice");
  }
  f.Int("value", n.netValue);
  f.Int("byte", n.netByte);
  f.Int("index", n.index);
  Bits(f, n);
  s_.nets.push_back(std::move(n));
}

void Reader::Class(Fields& f) {
  standin::ObjectClass c;
  f.Text("name", c.name, kNameLimit, "class name");
  if (Ref r = f["bytes"]) {
    List l(r, 2, "class bytes");
    l.Int(0, c.byte1);
    l.Int(1, c.byte2);
  }
  if (Ref r = f["members"]) {
    List l(r, kAnyLength, "member names");
    for (std::size_t i = 0; i < l.size(); ++i) {
      c.members.push_back(HostText(l[i], kNameLimit, "class member name"));
    }
  }
  f.Int("index", c.index);
  Bits(f, c);
  s_.classes.push_back(std::move(c));
}

void Reader::Rule(Fields& f) {
  standin::Rule rule;
  const char* valueKinds = "L";  // the Clearance kind, code 0
  if (Ref r = f["kind"]) {
    if (r.value->is_string()) {
      const auto& name = r.value->get_ref<const std::string&>();
      const RuleKindName* found = nullptr;
      for (const auto& k : kRuleKinds) {
        if (name == k.name) found = &k;
      }
      if (found == nullptr) {
        std::string names;
        for (const auto& k : kRuleKinds) names += std::string(names.empty() ? "" : ", ") + k.name;
        Fail(r.path,
             "unknown rule kind " + Quoted(name) + "; expected a code 0 to 255 or one of " + names);
      }
      rule.ruleKind = static_cast<std::uint8_t>(found->kind);
    } else {
      rule.ruleKind = IntegerValue<std::uint8_t>(r);
    }
    valueKinds = "";
    for (const auto& k : kRuleKinds) {
      if (static_cast<std::uint8_t>(k.kind) == rule.ruleKind) valueKinds = k.values;
    }
  }
  f.Int("priority", rule.priority);
  if (Ref r = f["scope"]) Scope(r, rule);
  if (Ref r = f["values"]) {
    const std::size_t count = std::char_traits<char>::length(valueKinds);
    List l(r, count, "values for rule kind " + std::to_string(rule.ruleKind));
    for (std::size_t i = 0; i < l.size(); ++i) {
      if (valueKinds[i] == 'B') {
        rule.values[i] = IntegerValue<std::uint8_t>(l[i]);
      } else {
        rule.values[i] = CoordValue(l[i]);
      }
    }
  }
  if (Ref r = f["layers"]) {
    List l(r, kAnyLength, "layers");
    for (std::size_t i = 0; i < l.size(); ++i) rule.layers.push_back(LayerValue(l[i], 1));
  }
  if (Ref r = f["bytes"]) {
    List l(r, 8, "rule bytes");
    for (std::size_t i = 0; i < 8; ++i) l.Int(i, rule.bytes[i]);
  }
  if (Ref r = f["texts1"]) {
    List l(r, 4, "rule texts");
    for (std::size_t i = 0; i < 4; ++i) l.Text(i, rule.texts1[i], kNameLimit, "rule text");
  }
  if (Ref r = f["numbers"]) {
    List l(r, 4, "rule numbers");
    for (std::size_t i = 0; i < 4; ++i) l.Int(i, rule.numbers[i]);
  }
  if (Ref r = f["texts2"]) {
    List l(r, 6, "rule texts");
    for (std::size_t i = 0; i < 6; ++i) l.Text(i, rule.texts2[i], kNameLimit, "rule text");
  }
  Bits(f, rule);
  s_.rules.push_back(std::move(rule));
}

void Reader::Scope(const Ref& ref, standin::Rule& rule) {
  const char* expected = "expected \"all\", {\"net\": NAME} or {\"component\": DESIGNATOR}";
  if (ref.value->is_string()) {
    if (ref.value->get_ref<const std::string&>() != "all") Fail(ref.path, expected);
    return;
  }
  if (!ref.value->is_object() || ref.value->size() != 1) {
    Fail(ref.path, std::string(expected) + ", found " + TypeName(*ref.value));
  }
  Fields f(ref, "a scope");
  if (Ref net = f["net"]) {
    if (NetRef(net) == 0) Fail(net.path, "expected the name of a net, found an empty name");
    rule.scope = standin::RuleScope::Net;
    rule.scopeName = HostText(net, kNameLimit, "net name");
  } else if (Ref component = f["component"]) {
    rule.scope = standin::RuleScope::Component;
    rule.scopeName = HostText(component, kTextLimit, "designator");
    if (!designators_.contains(rule.scopeName)) {
      Fail(component.path, "no component with the designator " + Quoted(rule.scopeName));
    }
  }
  f.Done();
}

void Reader::FromTo(Fields& f) {
  standin::FromTo t;
  f.Length("x", t.x);
  f.Length("y", t.y);
  f.Length("x2", t.x2);
  f.Length("y2", t.y2);
  f.Int("from_byte", t.fromByte);
  f.Int("to_byte", t.toByte);
  NetKey(f, t.net);
  f.Int("index", t.index);
  Bits(f, t);
  s_.fromTos.push_back(t);
}

void Reader::ManualFromTo(Fields& f) {
  standin::ManualFromTo t;
  if (Ref r = f["texts"]) {
    List l(r, 3, "texts");
    for (std::size_t i = 0; i < 3; ++i) l.Text(i, t.texts[i], kNameLimit, "manual from-to text");
  }
  f.Int("value", t.value);
  f.Int("index", t.index);
  Bits(f, t);
  s_.manualFromTos.push_back(std::move(t));
}

void Reader::Coordinate(Fields& f) {
  standin::Coordinate c;
  Common(f, c, /*withNet=*/false);
  f.Length("x", c.x);
  f.Length("y", c.y);
  if (Ref r = f["values"]) {
    List l(r, 6, "coordinate values");
    for (std::size_t i = 0; i < 6; ++i) l.Length(i, c.values[i]);
  }
  s_.coordinates.push_back(c);
}

void Reader::Dimension(Fields& f) {
  standin::Dimension d;
  Common(f, d, /*withNet=*/false);
  f.Length("x", d.x);
  f.Length("y", d.y);
  if (Ref r = f["values"]) {
    List l(r, 8, "dimension values");
    l.Int(0, d.value1);
    l.Int(1, d.value2);
    l.Int(2, d.value3);
    l.Int(3, d.value4);
    l.Int(4, d.value5);
    l.Int(5, d.value6);
    l.Int(6, d.value7);
    l.Int(7, d.byte1);
  }
  if (Ref r = f["ext"]) {
    List l(r, 19, "extended dimension values");
    l.Int(0, d.dimensionCode);
    l.Int(1, d.extValue1);
    l.Int(2, d.extValue2);
    l.Int(3, d.ext1);
    l.Int(4, d.extByte1);
    l.Int(5, d.ext2);
    l.Text(6, d.extText1, kNameLimit, "dimension text");
    l.Int(7, d.extByte2);
    l.Int(8, d.ext3);
    l.Text(9, d.extText2, kNameLimit, "dimension text");
    l.Text(10, d.extText3, kNameLimit, "dimension text");
    l.Real(11, d.ext8Bytes);
    l.Int(12, d.ext4);
    l.Int(13, d.ext5);
    l.Int(14, d.ext6);
    l.Int(15, d.extByte3);
    l.Int(16, d.ext7);
    l.Int(17, d.ext8);
    l.Int(18, d.ext9);
  }
  if (Ref r = f["references"]) {
    List l(r, kMaxDimensionReferences, "references");
    for (std::size_t i = 0; i < l.size(); ++i) {
      List values(l[i], 4, "reference values");
      if (values.size() != 4) Fail(l[i].path, "a reference is a list of four integers");
      std::array<std::int32_t, 4> reference{};
      for (std::size_t k = 0; k < 4; ++k) values.Int(k, reference[k]);
      d.references.push_back(reference);
    }
  }
  s_.dimensions.push_back(std::move(d));
}

}  // namespace boardfile
