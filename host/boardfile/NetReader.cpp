// Nets, classes, rules, from-tos, coordinates and dimensions.
#include "boardfile/BoardReader.h"

namespace boardfile {

void Reader::Net(Value& v) {
  standin::Net o;
  bool named = false;
  const auto own = [&](NetKey, Value& x) {
    named = true;
    HostString(x, kNameLimit, "net name", o.name);
    if (o.name.empty()) Fail("a net's name cannot be empty (an empty name means no net)");
    if (nets_.Contains(o.name)) Fail("net name " + Quoted(o.name) + " is used twice");
  };
  EachField(v, "an object", kNetKeys, PCB28_FIELDS_OF(Net, PCB28_NET_FIELDS));
  if (!named) Fail(std::string("a net needs a '") + Name(NetKey::name) + "'");
  const std::string name = o.name;
  const ObjectHandle handle = server_.Add(std::move(o));
  Added(handle);
  nets_.Insert(name, handle);
}

void Reader::Class(Value& v) {
  standin::ObjectClass o;
  const auto own = [&](ClassKey k, Value& x) {
    if (k == ClassKey::bytes) return Integers(x, "class bytes", o.byte1, o.byte2);
    EachItem(x, kAny, "member names", [&](std::size_t, Value& m) {
      HostString(m, kNameLimit, "class member name", o.members.emplace_back());
    });
  };
  EachField(v, "an object", kClassKeys, PCB28_FIELDS_OF(Class, PCB28_CLASS_FIELDS));
  Added(server_.Add(std::move(o)));
}

namespace {

std::uint8_t RuleKindCode(Value& x) {
  if (x.type() != Type::string) return Integer<std::uint8_t>(x);
  const std::string_view name = StringOf(x);
  std::string names;
  for (const auto& kind : kRuleKinds) {
    if (name == kind.name) return static_cast<std::uint8_t>(kind.kind);
    names += std::string(names.empty() ? "" : ", ") + kind.name;
  }
  Fail("unknown rule kind " + Quoted(name) + "; expected a code 0 to 255 or one of " + names);
}

}  // namespace

void Reader::Rule(Value& v) {
  od::object object = ObjectOf(v, "an object");
  standin::Rule o;
  const char* valueKinds = "L";  // the Clearance kind, code 0
  // One line per key.
  // clang-format off
  const auto own = [&](RuleKey k, Value& x) {
    switch (k) {
      case RuleKey::kind:
        o.ruleKind = RuleKindCode(x);
        valueKinds = "";
        for (const auto& kind : kRuleKinds) {
          if (static_cast<std::uint8_t>(kind.kind) == o.ruleKind) valueKinds = kind.values;
        }
        break;
      case RuleKey::scope:
        Scope(x, o);
        break;
      case RuleKey::layers:
        EachItem(x, kAny, "layers",
                 [&](std::size_t, Value& l) { o.layers.push_back(Layer(l, 1)); });
        break;
      case RuleKey::bytes: Integers(x, "rule bytes", o.bytes); break;
      case RuleKey::texts1: Texts(x, "rule texts", "rule text", o.texts1); break;
      case RuleKey::numbers: Integers(x, "rule numbers", o.numbers); break;
      case RuleKey::texts2: Texts(x, "rule texts", "rule text", o.texts2); break;
      default:
        break;  // the values, once the kind is known
    }
  };
  // clang-format on
  const std::uint64_t present =
      EachField(object, kRuleKeys, PCB28_FIELDS_OF(Rule, PCB28_RULE_FIELDS));
  if ((present & Bit(RuleKey::values)) != 0) {
    (void)object.reset();
    Value values = Field(object, Name(RuleKey::values));
    Step& step = path_[depth_++];
    step = {Name(RuleKey::values)};
    EachItem(values, std::char_traits<char>::length(valueKinds),
             "values for rule kind " + std::to_string(o.ruleKind), [&](std::size_t i, Value& x) {
               o.values[i] = valueKinds[i] == 'B' ? Integer<std::uint8_t>(x) : Length(x);
             });
    --depth_;
  }
  Added(server_.Add(std::move(o)));
}

void Reader::Scope(Value& v, standin::Rule& rule) {
  const char* expected = "expected \"all\", {\"net\": NAME} or {\"component\": DESIGNATOR}";
  if (v.type() == Type::string) {
    if (StringOf(v) != "all") Fail(expected);
    return;
  }
  if (v.type() != Type::object) Fail(std::string(expected) + ", found " + Found(v));
  int keys = 0;
  const auto own = [&](ScopeKey k, Value& x) {
    ++keys;
    if (k == ScopeKey::net) {
      if (NetRef(x) == 0) Fail("expected the name of a net, found an empty name");
      rule.scope = standin::RuleScope::Net;
      rule.scopeName = name_;
    } else {
      rule.scope = standin::RuleScope::Component;
      HostString(x, kTextLimit, "designator", rule.scopeName);
      scopeDesignators_.emplace_back(rule.scopeName, Place());
    }
  };
  EachField(v, "a scope", kScopeKeys, PCB28_FIELDS_OF(Scope, PCB28_SCOPE_FIELDS));
  if (keys != 1) Fail(std::string(expected) + ", found an object");
}

void Reader::FromTo(Value& v) {
  standin::FromTo o;
  EachField(v, "an object", kFromToKeys, PCB28_FIELDS_OF(FromTo, PCB28_FROM_TO_FIELDS));
  Added(server_.Add(std::move(o)));
}

void Reader::ManualFromTo(Value& v) {
  standin::ManualFromTo o;
  const auto own = [&](ManualFromToKey, Value& x) {
    Texts(x, "texts", "manual from-to text", o.texts);
  };
  EachField(v, "an object", kManualFromToKeys,
            PCB28_FIELDS_OF(ManualFromTo, PCB28_MANUAL_FROM_TO_FIELDS));
  Added(server_.Add(std::move(o)));
}

void Reader::Coordinate(Value& v) {
  standin::Coordinate o;
  const auto own = [&](CoordinateKey, Value& x) {
    EachItem(x, 6, "coordinate values", [&](std::size_t i, Value& l) { o.values[i] = Length(l); });
  };
  EachField(v, "an object", kCoordinateKeys, PCB28_FIELDS_OF(Coordinate, PCB28_COORDINATE_FIELDS));
  Added(server_.Add(std::move(o)));
}

// One line per value.
// clang-format off
void Reader::DimensionExt(std::size_t i, Value& x, standin::Dimension& d) {
  switch (i) {
    case 0: return Int(x, d.dimensionCode);
    case 1: return Int(x, d.extValue1);
    case 2: return Int(x, d.extValue2);
    case 3: return Int(x, d.ext1);
    case 4: return Int(x, d.extByte1);
    case 5: return Int(x, d.ext2);
    case 6: return HostString(x, kNameLimit, "dimension text", d.extText1);
    case 7: return Int(x, d.extByte2);
    case 8: return Int(x, d.ext3);
    case 9: return HostString(x, kNameLimit, "dimension text", d.extText2);
    case 10: return HostString(x, kNameLimit, "dimension text", d.extText3);
    case 11:
      d.ext8Bytes = Real(x);
      return;
    case 12: return Int(x, d.ext4);
    case 13: return Int(x, d.ext5);
    case 14: return Int(x, d.ext6);
    case 15: return Int(x, d.extByte3);
    case 16: return Int(x, d.ext7);
    case 17: return Int(x, d.ext8);
    default: return Int(x, d.ext9);
  }
}
// clang-format on

void Reader::Dimension(Value& v) {
  standin::Dimension o;
  const auto own = [&](DimensionKey k, Value& x) {
    switch (k) {
      case DimensionKey::values:
        Integers(x, "dimension values", o.value1, o.value2, o.value3, o.value4, o.value5, o.value6,
                 o.value7, o.byte1);
        break;
      case DimensionKey::ext:
        EachItem(x, 19, "extended dimension values",
                 [&](std::size_t i, Value& e) { DimensionExt(i, e, o); });
        break;
      default:
        EachItem(x, kMaxDimensionReferences, "references", [&](std::size_t, Value& r) {
          std::array<std::int32_t, 4> reference{};
          std::size_t count = 0;
          EachItem(r, 4, "reference values", [&](std::size_t i, Value& n) {
            Int(n, reference[i]);
            ++count;
          });
          if (count != 4) Fail("a reference is a list of four integers");
          o.references.push_back(reference);
        });
    }
  };
  EachField(v, "an object", kDimensionKeys, PCB28_FIELDS_OF(Dimension, PCB28_DIMENSION_FIELDS));
  Added(server_.Add(std::move(o)));
}

}  // namespace boardfile
