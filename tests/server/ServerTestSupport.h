// Helpers of the stand-in server tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "server/StandInBoard.h"

namespace standin_test {

// A buffer of N bytes between guard bytes that a correct call never touches.
template <std::size_t N>
struct Guarded {
  static constexpr std::uint8_t kGuard = 0xA5;
  std::array<std::uint8_t, 16> before;
  std::array<std::uint8_t, N> data;
  std::array<std::uint8_t, 16> after;
  Guarded() {
    before.fill(kGuard);
    data.fill(kGuard);
    after.fill(kGuard);
  }
  std::uint8_t* get() { return data.data(); }
  bool GuardsIntact() const {
    for (auto b : before)
      if (b != kGuard) return false;
    for (auto b : after)
      if (b != kGuard) return false;
    return true;
  }
  std::string Text() const {
    return std::string(reinterpret_cast<const char*>(data.data() + 1), data[0]);
  }
  void Set(const std::string& text) {
    data[0] = static_cast<std::uint8_t>(text.size());
    std::memcpy(data.data() + 1, text.data(), std::min(text.size(), N - 1));
  }
};

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server().Reset();
    board = server().CreateBoard();
  }
  void TearDown() override { server().Reset(); }
  static standin::Server& server() { return standin::TheServer(); }

  // Every handle an iterator over owner yields.
  static std::vector<ObjectHandle> Walk(ObjectHandle owner, standin::Kind kind,
                                        HostLayer layer = 0) {
    std::vector<ObjectHandle> out;
    const ObjectHandle it =
        PcbApi_CreateIterator(owner, static_cast<ObjectKindCode>(kind), 0, layer);
    for (ObjectHandle h = PcbApi_GetFirstObject(it); h != 0; h = PcbApi_GetNextObject(it)) {
      out.push_back(h);
    }
    PcbApi_DestroyIterator(it);
    return out;
  }

  ObjectHandle AddTrack(HostLayer layer, ObjectHandle net = 0, ObjectHandle component = 0) {
    standin::Track t;
    t.layer = layer;
    t.net = net;
    return server().Add(t, component);
  }
  ObjectHandle AddNet(const std::string& name) {
    standin::Net n;
    n.name = name;
    return server().Add(n);
  }
  ObjectHandle AddComponent(const std::string& designator) {
    const ObjectHandle c = server().Add(standin::Component{});
    standin::Text text;
    text.text = designator;
    text.layer = kTopOverlay;
    server().AddDesignator(c, text);
    return c;
  }

  ObjectHandle board = 0;
};

}  // namespace standin_test
