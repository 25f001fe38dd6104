// The stand-in server's model: handle table, document order, walks,
// iterators, dominant rules and the test-support state.
#include <algorithm>
#include <new>

#include "server/Server.h"

namespace standin {

namespace {

constexpr ObjectHandle kIteratorBit = 0x80000000u;
constexpr std::size_t kMaxIterators = 0x10000;

// Asks the processor to fetch an object's first 128 bytes (a pad whole, the
// common block and first fields of the larger objects) into the cache,
// whatever cache lines they straddle.
void Prefetch(const Object* object) {
  if (object == nullptr) return;
  const char* bytes = reinterpret_cast<const char*>(object);
  for (std::size_t offset : {0, 64, 127}) __builtin_prefetch(bytes + offset);
}

bool IsLayerless(Kind kind) {
  return kind == Kind::Net || kind == Kind::Class || kind == Kind::FromTo ||
         kind == Kind::ManualFromTo;
}

void Erase(std::vector<ObjectHandle>& list, ObjectHandle handle) {
  auto it = std::find(list.begin(), list.end(), handle);
  if (it != list.end()) list.erase(it);
}

void Erase(std::vector<Component::Member>& list, ObjectHandle handle) {
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const Component::Member& m) { return m.handle == handle; });
  if (it != list.end()) list.erase(it);
}

}  // namespace

Server::Server() { Reset(); }
Server::~Server() = default;

void Server::Reset() {
  objects_.clear();
  objects_.push_back(nullptr);  // handle 0 names nothing
  std::apply([](auto&... store) { (store.clear(), ...); }, stores_);
  currentBoard_ = 0;
  iterators_.clear();
  freeIterators_.clear();
  openIterators_ = 0;
  MembersChanged();
  netMembersPeakBytes_ = 0;
  objectCount_ = ruleCount_ = 0;
  limitReached_.clear();
  unfinished_ = UnfinishedWalks{};
  progress_ = ProgressState{};
  recording_ = false;
  calls_.clear();
  hidden_.clear();
}

ObjectHandle Server::CreateBoard(bool makeCurrent) {
  Board* board = Store(Board{});
  const auto handle = static_cast<ObjectHandle>(objects_.size());
  board->handle = handle;
  board->board = handle;
  objects_.push_back(board);
  if (makeCurrent || currentBoard_ == 0) currentBoard_ = handle;
  return handle;
}

bool Server::SetCurrentBoard(ObjectHandle board) {
  if (Get<Board>(board) == nullptr) return false;
  currentBoard_ = board;
  return true;
}

bool Server::IsPrimitiveKind(Kind kind) {
  switch (kind) {
    case Kind::Arc:
    case Kind::Pad:
    case Kind::Via:
    case Kind::Track:
    case Kind::Text:
    case Kind::Fill:
    case Kind::Component:
    case Kind::Polygon:
    case Kind::BoardOutline:
    case Kind::Coordinate:
    case Kind::Dimension:
      return true;
    default:
      return false;
  }
}

bool Server::CanInsert(Kind kind, ObjectHandle component) {
  if (CurrentBoard() == nullptr || kind == Kind::None || objects_.size() >= kIteratorBit) {
    return false;
  }
  if (component == 0) return WithinLimits(kind, nullptr);
  const Component* owner = Get<Component>(component);
  return owner != nullptr && owner->board == currentBoard_ && IsPrimitiveKind(kind) &&
         kind != Kind::Component && WithinLimits(kind, owner);
}

bool Server::WithinLimits(Kind kind, const Component* owner) {
  auto refuse = [this](std::size_t limit, const char* what, const char* holder) {
    const std::string n = std::to_string(limit);
    limitReached_ = "more than " + n + " " + what + ": " + holder + " holds at most " + n;
    return false;
  };
  if (objectCount_ >= ServerLimits::kObjects)
    return refuse(ServerLimits::kObjects, "objects", "a board (all kinds together)");
  if (kind == Kind::Rule && ruleCount_ >= ServerLimits::kRules)
    return refuse(ServerLimits::kRules, "rules", "a board");
  if (owner != nullptr &&
      owner->members.size() + (owner->nameText != 0) + (owner->commentText != 0) >=
          ServerLimits::kComponentObjects)
    return refuse(ServerLimits::kComponentObjects, "objects in one component",
                  "a component (its designator and comment included)");
  ++objectCount_;
  if (kind == Kind::Rule) ++ruleCount_;
  return true;
}

ObjectHandle Server::Insert(Object* object, ObjectHandle component) {
  Board* board = CurrentBoard();
  Component* owner = Get<Component>(component);
  const auto handle = static_cast<ObjectHandle>(objects_.size());
  object->handle = handle;
  object->board = currentBoard_;
  const auto kind = static_cast<std::size_t>(object->kind);
  if (IsPrimitiveKind(object->kind)) static_cast<Primitive&>(*object).component = component;
  if (object->kind == Kind::Component) {
    board->components.push_back(handle);
  } else if (owner != nullptr) {
    // Room for eight members at once spares a component the first steps of
    // doubling (a component of ten pads: two allocations instead of five).
    if (owner->members.capacity() == 0) owner->members.reserve(8);
    owner->members.push_back({handle, object->kind});
  } else {
    board->freeObjects[kind].push_back(handle);
  }
  objects_.push_back(object);
  MembersChanged();
  return handle;
}

ObjectHandle Server::AddComponentText(ObjectHandle component, Text text, bool designator) {
  Component* owner = Get<Component>(component);
  if (owner == nullptr || owner->board != currentBoard_) return 0;
  ObjectHandle& slot = designator ? owner->nameText : owner->commentText;
  if (slot != 0) return 0;
  if (objects_.size() >= kIteratorBit || !WithinLimits(Kind::Text, owner)) return 0;
  const auto handle = static_cast<ObjectHandle>(objects_.size());
  Text* object = Store(std::move(text));
  object->handle = handle;
  object->board = currentBoard_;
  object->component = component;
  objects_.push_back(object);
  slot = handle;
  MembersChanged();
  return handle;
}

ObjectHandle Server::AddDesignator(ObjectHandle component, Text text) {
  return AddComponentText(component, std::move(text), true);
}

ObjectHandle Server::AddComment(ObjectHandle component, Text text) {
  return AddComponentText(component, std::move(text), false);
}

ObjectHandle Server::FindNet(std::string_view name) const {
  if (currentBoard_ >= objects_.size()) return 0;
  const auto* board = static_cast<const Board*>(objects_[currentBoard_]);
  if (board == nullptr) return 0;
  for (ObjectHandle h : board->freeObjects[static_cast<std::size_t>(Kind::Net)]) {
    if (static_cast<const Net&>(*objects_[h]).name == name) return h;
  }
  return 0;
}

ObjectHandle Server::FindComponent(std::string_view designator) {
  Board* board = CurrentBoard();
  if (board == nullptr) return 0;
  for (ObjectHandle h : board->components) {
    const Text* text = Get<Text>(Get<Component>(h)->nameText);
    if (text != nullptr && text->text == designator) return h;
  }
  return 0;
}

bool Server::Reparent(ObjectHandle object, ObjectHandle component) {
  auto* primitive = Get<Primitive>(object);
  if (primitive == nullptr || primitive->kind == Kind::Component) return false;
  auto* board = Get<Board>(primitive->board);
  Component* target = nullptr;
  if (component != 0) {
    target = Get<Component>(component);
    if (target == nullptr || target->board != primitive->board) return false;
  }
  if (primitive->component == component) return true;
  MembersChanged();
  const auto kind = static_cast<std::size_t>(primitive->kind);
  if (auto* old = Get<Component>(primitive->component)) {
    if (old->nameText == object) {
      old->nameText = 0;
    } else if (old->commentText == object) {
      old->commentText = 0;
    } else {
      Erase(old->members, object);
    }
  } else {
    Erase(board->freeObjects[kind], object);
  }
  if (target != nullptr) {
    target->members.push_back({object, primitive->kind});
  } else {
    board->freeObjects[kind].push_back(object);
  }
  primitive->component = component;
  return true;
}

bool Server::OnLayer(const Object& object, HostLayer layer) const {
  if (layer == 0) return true;
  if (IsLayerless(object.kind)) return layer == kMultiLayer;
  if (object.kind == Kind::Rule) {
    const auto& layers = static_cast<const Rule&>(object).layers;
    if (layers.empty()) return layer == kMultiLayer;
    return std::find(layers.begin(), layers.end(), layer) != layers.end();
  }
  if (IsPrimitiveKind(object.kind)) return static_cast<const Primitive&>(object).layer == layer;
  return false;
}

void Server::CollectMembers(const Component& component, Kind kind,
                            std::vector<ObjectHandle>& out) const {
  if (kind == Kind::Text) {
    if (component.nameText != 0) out.push_back(component.nameText);
    if (component.commentText != 0) out.push_back(component.commentText);
  }
  for (const Component::Member& member : component.members)
    if (member.kind == kind) out.push_back(member.handle);
}

void Server::MembersChanged() {
  walkOrderBoard_ = 0;
  InvalidateNetMembers();
}

const std::vector<ObjectHandle>& Server::ComponentMembers(const Board& board, Kind kind) {
  if (walkOrderBoard_ != board.handle) {
    for (auto& members : walkOrder_) members.clear();
    auto& texts = walkOrder_[static_cast<std::size_t>(Kind::Text)];
    for (ObjectHandle c : board.components) {
      const auto& component = static_cast<const Component&>(*objects_[c]);
      // Per kind as CollectMembers yields them: the designator and comment
      // texts first, then the members in the order they were added.
      if (component.nameText != 0) texts.push_back(component.nameText);
      if (component.commentText != 0) texts.push_back(component.commentText);
      for (const Component::Member& member : component.members)
        walkOrder_[static_cast<std::size_t>(member.kind)].push_back(member.handle);
    }
    walkOrderBoard_ = board.handle;
  }
  return walkOrder_[static_cast<std::size_t>(kind)];
}

void Server::CollectWalk(const Board& board, Kind kind, std::vector<ObjectHandle>& out) {
  if (kind == Kind::Component) {
    out.insert(out.end(), board.components.begin(), board.components.end());
    return;
  }
  const auto& members = ComponentMembers(board, kind);
  out.insert(out.end(), members.begin(), members.end());
  const auto& free = board.freeObjects[static_cast<std::size_t>(kind)];
  out.insert(out.end(), free.begin(), free.end());
}

void Server::Collect(ObjectHandle owner, Kind kind, HostLayer layer,
                     std::vector<ObjectHandle>& out) {
  out.clear();
  const auto code = static_cast<std::size_t>(kind);
  if (code == 0 || code >= static_cast<std::size_t>(kKindCount)) return;
  Object* object = Find(owner);
  if (object == nullptr) return;
  if (object->kind == Kind::None) {
    CollectWalk(static_cast<const Board&>(*object), kind, out);
  } else if (object->kind == Kind::Component) {
    CollectMembers(static_cast<const Component&>(*object), kind, out);
  } else if (object->kind == Kind::Net) {
    auto* board = Get<Board>(object->board);
    if (board == nullptr) return;
    if (openIterators_ > 0) {
      const std::span<const ObjectHandle> members = NetMembersOf(*board, owner, kind);
      out.assign(members.begin(), members.end());
    } else {
      CollectWalk(*board, kind, out);
      std::erase_if(out, [&](ObjectHandle h) { return NetOf(h) != owner; });
    }
  } else {
    return;
  }
  if (layer != 0) {
    std::erase_if(out, [&](ObjectHandle h) { return !OnLayer(*objects_[h], layer); });
  }
}

ObjectHandle Server::NetOf(ObjectHandle member) const {
  const Object& object = *objects_[member];
  if (IsPrimitiveKind(object.kind)) return static_cast<const Primitive&>(object).net;
  if (object.kind == Kind::FromTo) return static_cast<const FromTo&>(object).net;
  return 0;
}

void Server::InvalidateNetMembers() {
  if (netMembersBoard_ == 0) return;
  netMembersBoard_ = 0;
  netMembersBytes_ = 0;
  for (NetMembers& index : netMembers_) {
    index.built = false;
    index.first = {};
    index.members = {};
  }
}

std::span<const ObjectHandle> Server::NetMembersOf(const Board& board, ObjectHandle net,
                                                   Kind kind) {
  if (netMembersBoard_ != board.handle) {
    InvalidateNetMembers();
    netMembersBoard_ = board.handle;
  }
  NetMembers& index = netMembers_[static_cast<std::size_t>(kind)];
  if (!index.built) {
    // Counted by net, then placed: two passes over one board walk.
    std::vector<ObjectHandle> walk;
    CollectWalk(board, kind, walk);
    std::vector<ObjectHandle> netOf(walk.size());
    ObjectHandle top = 0;
    for (std::size_t i = 0; i < walk.size(); ++i) {
      // A net field may hold any value; only a handle of the model can own a
      // walk, and the index stays within the model's size.
      const ObjectHandle on = NetOf(walk[i]);
      netOf[i] = on < objects_.size() ? on : 0;
      top = std::max(top, netOf[i]);
    }
    index.first.assign(std::size_t{top} + 2, 0);
    for (ObjectHandle on : netOf)
      if (on != 0) ++index.first[on + 1];
    for (std::size_t n = 1; n < index.first.size(); ++n) index.first[n] += index.first[n - 1];
    index.members.resize(index.first.back());
    std::vector<std::uint32_t> next(index.first.begin(), index.first.end() - 1);
    for (std::size_t i = 0; i < walk.size(); ++i)
      if (netOf[i] != 0) index.members[next[netOf[i]]++] = walk[i];
    index.built = true;
    netMembersBytes_ += (index.first.capacity() + index.members.capacity()) * sizeof(std::uint32_t);
    // The build also held the board walk, its nets and the cursors.
    const std::size_t building = (walk.capacity() + netOf.capacity() + next.capacity()) * 4;
    netMembersPeakBytes_ = std::max(netMembersPeakBytes_, netMembersBytes_ + building);
  }
  if (std::size_t{net} + 1 >= index.first.size()) return {};
  return std::span<const ObjectHandle>(index.members)
      .subspan(index.first[net], index.first[net + 1] - index.first[net]);
}

bool Server::InScope(const Rule& rule, ObjectHandle handle) {
  if (rule.scope == RuleScope::All) return true;
  Object* object = Find(handle);
  if (object == nullptr) return false;
  if (rule.scope == RuleScope::Net) {
    ObjectHandle net = 0;
    if (object->kind == Kind::Net) {
      net = handle;
    } else if (IsPrimitiveKind(object->kind)) {
      net = static_cast<Primitive&>(*object).net;
    } else if (object->kind == Kind::FromTo) {
      net = static_cast<FromTo&>(*object).net;
    }
    const Net* found = Get<Net>(net);
    return found != nullptr && found->name == rule.scopeName;
  }
  ObjectHandle component = 0;
  if (object->kind == Kind::Component) {
    component = handle;
  } else if (IsPrimitiveKind(object->kind)) {
    component = static_cast<Primitive&>(*object).component;
  }
  const Component* owner = Get<Component>(component);
  if (owner == nullptr) return false;
  const Text* designator = Get<Text>(owner->nameText);
  return designator != nullptr && designator->text == rule.scopeName;
}

ObjectHandle Server::DominantRule(ObjectHandle handle, std::uint8_t ruleKind) {
  Object* object = Find(handle);
  if (object == nullptr) return 0;
  auto* board = Get<Board>(object->board);
  if (board == nullptr) return 0;
  ObjectHandle best = 0;
  std::int32_t bestPriority = 0;
  for (ObjectHandle h : board->freeObjects[static_cast<std::size_t>(Kind::Rule)]) {
    const auto& rule = static_cast<const Rule&>(*objects_[h]);
    if (rule.ruleKind != ruleKind || !InScope(rule, handle)) continue;
    if (best == 0 || rule.priority < bestPriority) {
      best = h;
      bestPriority = rule.priority;
    }
  }
  return best;
}

// ------------------------------------------------------------------ iterators

Server::Iterator* Server::FindIterator(ObjectHandle handle) {
  if ((handle & kIteratorBit) == 0) return nullptr;
  const std::size_t slot = handle & 0xFFFFu;
  const auto generation = static_cast<std::uint16_t>((handle >> 16) & 0x7FFFu);
  if (slot >= iterators_.size()) return nullptr;
  Iterator& it = iterators_[slot];
  return it.open && it.generation == generation ? &it : nullptr;
}

ObjectHandle Server::CreateIterator(ObjectHandle owner, std::uint8_t kind, std::uint8_t method,
                                    HostLayer layer) {
  Object* object = Find(owner);
  if (object == nullptr ||
      (object->kind != Kind::None && object->kind != Kind::Component &&
       object->kind != Kind::Net) ||
      layer > kLastHostLayer) {
    return 0;
  }
  std::size_t slot;
  if (!freeIterators_.empty()) {
    slot = freeIterators_.back();
    freeIterators_.pop_back();
  } else {
    if (iterators_.size() >= kMaxIterators) return 0;
    slot = iterators_.size();
    iterators_.emplace_back();
  }
  Iterator& it = iterators_[slot];
  it.open = true;
  it.generation = static_cast<std::uint16_t>((it.generation + 1) & 0x7FFFu);
  it.method = method;
  it.owner = object->kind;
  it.kind = static_cast<Kind>(kind);
  it.ended = false;
  it.next = 0;
  Collect(owner, static_cast<Kind>(kind), layer, it.items);  // before it counts as open
  ++openIterators_;
  return kIteratorBit | (static_cast<ObjectHandle>(it.generation) << 16) |
         static_cast<ObjectHandle>(slot);
}

ObjectHandle Server::FirstObject(ObjectHandle iterator) {
  Iterator* it = FindIterator(iterator);
  if (it == nullptr) return 0;
  it->next = 0;
  return NextObject(iterator);
}

ObjectHandle Server::NextObject(ObjectHandle iterator) {
  Iterator* it = FindIterator(iterator);
  if (it == nullptr) return 0;
  if (it->next >= it->items.size()) {
    it->ended = true;
    return 0;
  }
  // The object two steps ahead is fetched into the cache while the caller
  // asks about this one: walks in net order meet objects far apart.
  if (it->next + 2 < it->items.size()) Prefetch(Find(it->items[it->next + 2]));
  return it->items[it->next++];
}

bool Server::DestroyIterator(ObjectHandle iterator) {
  Iterator* it = FindIterator(iterator);
  if (it == nullptr) return false;
  it->open = false;
  if (!it->ended && !it->items.empty() && unfinished_.count++ == 0) {
    unfinished_.owner = it->owner;
    unfinished_.kind = it->kind;
    unfinished_.handles = it->items.size();
  }
  it->items.clear();  // keeps its capacity for the next walk
  freeIterators_.push_back(iterator & 0xFFFFu);
  if (--openIterators_ == 0) InvalidateNetMembers();
  return true;
}

std::size_t Server::WalkOrderBytes() const {
  std::size_t bytes = 0;
  for (const auto& members : walkOrder_) bytes += members.capacity() * sizeof(ObjectHandle);
  return bytes;
}

std::size_t Server::IteratorSnapshotBytes() const {
  std::size_t bytes = 0;
  for (const Iterator& it : iterators_) bytes += it.items.capacity() * sizeof(ObjectHandle);
  return bytes;
}

// ------------------------------------------------------------------ test support

void Server::Record(const char* name, std::initializer_list<std::int64_t> args) {
  if (!recording_) return;
  calls_.push_back(RecordedCall{name, std::vector<std::int64_t>(args)});
}

void Server::Hide(std::string_view name) {
  if (!IsHidden(name)) hidden_.emplace_back(name);
}

void Server::Unhide(std::string_view name) {
  std::erase_if(hidden_, [&](const std::string& hidden) { return hidden == name; });
}

bool Server::IsHidden(std::string_view name) const {
  return std::find(hidden_.begin(), hidden_.end(), name) != hidden_.end();
}

// A plain global rather than a function-local static: every entry point
// reaches it without a guard check.
Server g_server;

Server& TheServer() { return g_server; }

void SetOutOfMemoryHandler(void (*handler)()) { std::set_new_handler(handler); }

}  // namespace standin
