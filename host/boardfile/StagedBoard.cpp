#include "boardfile/StagedBoard.h"

#include <type_traits>

namespace boardfile {

namespace {

using standin::Kind;

class Committer {
 public:
  explicit Committer(StagedBoard& staged) : s_(staged), server_(standin::TheServer()) {}

  bool Run(std::string& limit) {
    server_.Reset();
    const ObjectHandle board = server_.CreateBoard();
    standin::Board* target = server_.CurrentBoard();
    if (board == 0 || target == nullptr) return Failed();
    standin::Board settings = s_.board;
    settings.handle = target->handle;
    settings.board = target->board;
    *target = std::move(settings);

    for (auto& net : s_.nets) nets_.push_back(Add(std::move(net)));
    for (auto& area : s_.areas) {
      area->net = NetHandle(area->net);
      if (area->kind == Kind::BoardOutline) {
        areas_.push_back(Add(static_cast<standin::BoardOutline&>(*area)));
      } else {
        areas_.push_back(Add(*area));
      }
    }
    for (auto& c : s_.classes) Add(std::move(c));
    for (auto& r : s_.rules) Add(std::move(r));
    for (auto& sc : s_.components) {
      const ObjectHandle c = Add(std::move(sc.component));
      if (sc.designator && server_.AddDesignator(c, Linked(*sc.designator)) == 0) failed_ = true;
      if (sc.comment && server_.AddComment(c, Linked(*sc.comment)) == 0) failed_ = true;
      AddAll(sc.tracks, c);
      AddAll(sc.arcs, c);
      AddAll(sc.pads, c);
      AddAll(sc.fills, c);
      AddAll(sc.vias, c);
      AddAll(sc.texts, c);
    }
    AddAll(s_.tracks);
    AddAll(s_.arcs);
    AddAll(s_.vias);
    AddAll(s_.fills);
    AddAll(s_.texts);
    AddAll(s_.pads);
    AddAll(s_.fromTos);
    AddAll(s_.manualFromTos);
    AddAll(s_.coordinates);
    AddAll(s_.dimensions);
    if (!failed_) return true;
    limit = server_.LimitReached();
    return Failed();
  }

 private:
  bool Failed() {
    server_.Reset();
    return false;
  }

  ObjectHandle NetHandle(ObjectHandle staged) const { return staged == 0 ? 0 : nets_[staged - 1]; }
  ObjectHandle AreaHandle(ObjectHandle staged) const {
    return staged == 0 ? 0 : areas_[staged - 1];
  }

  // Turns staged numbers into server handles.
  template <class T>
  T& Linked(T& object) {
    if constexpr (std::is_base_of_v<standin::Primitive, T> || std::is_same_v<T, standin::FromTo>) {
      object.net = NetHandle(object.net);
    }
    if constexpr (requires { object.polygon; }) object.polygon = AreaHandle(object.polygon);
    return object;
  }

  template <class T>
  ObjectHandle Add(T object, ObjectHandle component = 0) {
    const ObjectHandle handle = server_.Add(std::move(object), component);
    if (handle == 0) failed_ = true;
    return handle;
  }
  template <class T>
  void AddAll(std::vector<T>& objects, ObjectHandle component = 0) {
    for (auto& object : objects) Add(std::move(Linked(object)), component);
  }

  StagedBoard& s_;
  standin::Server& server_;
  std::vector<ObjectHandle> nets_, areas_;
  bool failed_ = false;
};

}  // namespace

bool CommitStagedBoard(StagedBoard& staged, std::string& limit) {
  Committer committer(staged);
  return committer.Run(limit);
}

}  // namespace boardfile
