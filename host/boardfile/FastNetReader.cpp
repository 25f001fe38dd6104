// Streaming: nets, classes, rules, from-tos, coordinates and dimensions.
#include "boardfile/FastBoardReader.h"

namespace boardfile::fast {

// One line per key.
// clang-format off

void Reader::Net(Value& v) {
  standin::Net n;
  const std::uint64_t present = EachField(v, kNetKeys, [&](int k, Value& x) {
    switch (k) {
      case 0: HostString(x, kNameLimit, n.name); break;
      case 1: Int(x, n.netValue); break;
      case 2: Int(x, n.netByte); break;
      case 3: Int(x, n.index); break;
      default: Common(k - 4 + kBits2, x, n);
    }
  });
  Need((present & Bit(0)) != 0 && !n.name.empty() && !nets_.Contains(n.name));
  const std::string name = n.name;
  const ObjectHandle handle = server_.Add(std::move(n));
  Added(handle);
  nets_.Insert(name, handle);
}

void Reader::Class(Value& v) {
  standin::ObjectClass c;
  EachField(v, kClassKeys, [&](int k, Value& x) {
    switch (k) {
      case 0: HostString(x, kNameLimit, c.name); break;
      case 1:
        EachItem(x, 2, [&](std::size_t i, Value& b) { Int(b, i == 0 ? c.byte1 : c.byte2); });
        break;
      case 2:
        EachItem(x, kAny, [&](std::size_t, Value& m) {
          HostString(m, kNameLimit, c.members.emplace_back());
        });
        break;
      case 3: Int(x, c.index); break;
      default: Common(k - 4 + kBits2, x, c);
    }
  });
  Added(server_.Add(std::move(c)));
}

void Reader::Rule(Value& v) {
  od::object object = ObjectOf(v);
  standin::Rule rule;
  const char* valueKinds = "L";  // the Clearance kind, code 0
  const std::uint64_t present = EachField(object, kRuleKeys, [&](int k, Value& x) {
    switch (k) {
      case kKind:
        if (x.type() == Type::string) {
          const std::string_view name = StringOf(x);
          const RuleKindName* found = nullptr;
          for (const auto& kind : kRuleKinds) {
            if (name == kind.name) found = &kind;
          }
          Need(found != nullptr);
          rule.ruleKind = static_cast<std::uint8_t>(found->kind);
        } else {
          Int(x, rule.ruleKind);
        }
        valueKinds = "";
        for (const auto& kind : kRuleKinds) {
          if (static_cast<std::uint8_t>(kind.kind) == rule.ruleKind) valueKinds = kind.values;
        }
        break;
      case kPriority: Int(x, rule.priority); break;
      case kScope: Scope(x, rule); break;
      case kValues:
        break;  // once the kind is known, below
      case kRLayers:
        EachItem(x, kAny, [&](std::size_t, Value& l) { rule.layers.push_back(Layer(l, 1)); });
        break;
      case kRBytes:
        EachItem(x, 8, [&](std::size_t i, Value& b) { Int(b, rule.bytes[i]); });
        break;
      case kTexts1:
        EachItem(x, 4,
                 [&](std::size_t i, Value& t) { HostString(t, kNameLimit, rule.texts1[i]); });
        break;
      case kNumbers:
        EachItem(x, 4, [&](std::size_t i, Value& n) { Int(n, rule.numbers[i]); });
        break;
      case kTexts2:
        EachItem(x, 6,
                 [&](std::size_t i, Value& t) { HostString(t, kNameLimit, rule.texts2[i]); });
        break;
      default: Common(k - kRBits2 + kBits2, x, rule);
    }
  });
  if ((present & Bit(kValues)) != 0) {
    (void)object.reset();
    Value values = object.find_field_unordered("values");
    EachItem(values, std::char_traits<char>::length(valueKinds), [&](std::size_t i, Value& x) {
      rule.values[i] = valueKinds[i] == 'B' ? Integer<std::uint8_t>(x) : Length(x);
    });
  }
  Added(server_.Add(std::move(rule)));
}

void Reader::Scope(Value& v, standin::Rule& rule) {
  if (v.type() == Type::string) {
    Need(StringOf(v) == "all");
    return;
  }
  int keys = 0;
  EachField(v, kScopeKeys, [&](int k, Value& x) {
    ++keys;
    if (k == 0) {
      Need(NetRef(x) != 0);
      rule.scope = standin::RuleScope::Net;
      rule.scopeName = name_;
    } else {
      rule.scope = standin::RuleScope::Component;
      HostString(x, kTextLimit, rule.scopeName);
      scopeDesignators_.push_back(rule.scopeName);
    }
  });
  Need(keys == 1);
}

void Reader::FromTo(Value& v) {
  standin::FromTo t;
  EachField(v, kFromToKeys, [&](int k, Value& x) {
    switch (k) {
      case 0: t.x = Length(x); break;
      case 1: t.y = Length(x); break;
      case 2: t.x2 = Length(x); break;
      case 3: t.y2 = Length(x); break;
      case 4: Int(x, t.fromByte); break;
      case 5: Int(x, t.toByte); break;
      case 6: t.net = NetRef(x); break;
      case 7: Int(x, t.index); break;
      default: Common(k - 8 + kBits2, x, t);
    }
  });
  Added(server_.Add(std::move(t)));
}

void Reader::ManualFromTo(Value& v) {
  standin::ManualFromTo t;
  EachField(v, kManualFromToKeys, [&](int k, Value& x) {
    switch (k) {
      case 0:
        EachItem(x, 3, [&](std::size_t i, Value& s) { HostString(s, kNameLimit, t.texts[i]); });
        break;
      case 1: Int(x, t.value); break;
      case 2: Int(x, t.index); break;
      default: Common(k - 3 + kBits2, x, t);
    }
  });
  Added(server_.Add(std::move(t)));
}

void Reader::Coordinate(Value& v) {
  standin::Coordinate c;
  EachField(v, kCoordinateKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: c.x = Length(x); break;
      case 1: c.y = Length(x); break;
      case 2: EachItem(x, 6, [&](std::size_t i, Value& l) { c.values[i] = Length(l); }); break;
      default: Common(k, x, c, /*withNet=*/false);
    }
  });
  Added(server_.Add(std::move(c)));
}

void Reader::DimensionExt(std::size_t i, Value& x, standin::Dimension& d) {
  switch (i) {
    case 0: return Int(x, d.dimensionCode);
    case 1: return Int(x, d.extValue1);
    case 2: return Int(x, d.extValue2);
    case 3: return Int(x, d.ext1);
    case 4: return Int(x, d.extByte1);
    case 5: return Int(x, d.ext2);
    case 6: return HostString(x, kNameLimit, d.extText1);
    case 7: return Int(x, d.extByte2);
    case 8: return Int(x, d.ext3);
    case 9: return HostString(x, kNameLimit, d.extText2);
    case 10: return HostString(x, kNameLimit, d.extText3);
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

void Reader::Dimension(Value& v) {
  standin::Dimension d;
  EachField(v, kDimensionKeys, [&](int k, Value& x) {
    switch (k - kCommonCount) {
      case 0: d.x = Length(x); break;
      case 1: d.y = Length(x); break;
      case 2:
        EachItem(x, 8, [&](std::size_t i, Value& n) {
          std::int32_t* values[] = {&d.value1, &d.value2, &d.value3, &d.value4,
                                    &d.value5, &d.value6, &d.value7};
          if (i < 7) return Int(n, *values[i]);
          Int(n, d.byte1);
        });
        break;
      case 3: EachItem(x, 19, [&](std::size_t i, Value& e) { DimensionExt(i, e, d); }); break;
      case 4:
        EachItem(x, kMaxDimensionReferences, [&](std::size_t, Value& r) {
          std::array<std::int32_t, 4> reference{};
          std::size_t count = 0;
          EachItem(r, 4, [&](std::size_t i, Value& n) {
            Int(n, reference[i]);
            ++count;
          });
          Need(count == 4);
          d.references.push_back(reference);
        });
        break;
      default: Common(k, x, d, /*withNet=*/false);
    }
  });
  Added(server_.Add(std::move(d)));
}

// clang-format on

}  // namespace boardfile::fast
