// string_lists.cpp - the host's string lists: ordered members of owned,
// writable text. Callers create and free their own lists; materials' maps
// own the lists that hold their parameter text.
//
// Every list handle is checked against the set of live lists, so a stale or
// foreign handle makes an operation fail instead of touching freed memory.
#include <cstring>
#include <memory>
#include <unordered_set>

#include "host_state.h"

struct XelStringListRec {
  std::vector<std::unique_ptr<char[]>> members;
  bool ownedByHost = false;
};

namespace cadhost {
namespace {

struct ListState {
  std::unordered_set<XelStringListRec *> live;
  int32_t callerOwned = 0;
  detail::FailureSwitch createFailure;
  detail::FailureSwitch insertFailure;
};

ListState &state() {
  static auto *s = new ListState;
  return *s;
}

bool isLive(XelStringList list) {
  return list != nullptr && state().live.count(list) != 0;
}

std::unique_ptr<char[]> copyText(const char *text) {
  const size_t length = std::strlen(text);
  auto copy = std::make_unique<char[]>(length + 1);
  std::memcpy(copy.get(), text, length + 1);
  return copy;
}

XelStringList newList(const std::vector<std::string> &members, bool ownedByHost) noexcept {
  try {
    auto list = std::make_unique<XelStringListRec>();
    list->ownedByHost = ownedByHost;
    list->members.reserve(members.size());
    for (const std::string &member : members) list->members.push_back(copyText(member.c_str()));
    state().live.insert(list.get());
    if (!ownedByHost) ++state().callerOwned;
    return list.release();
  } catch (...) {
    return nullptr;
  }
}

void releaseList(XelStringList list) {
  state().live.erase(list);
  if (!list->ownedByHost) --state().callerOwned;
  delete list;
}

} // namespace

XelStringList detail::newHostList(const std::vector<std::string> &members) noexcept {
  return newList(members, true);
}

void detail::freeHostList(XelStringList list) noexcept {
  if (isLive(list) && list->ownedByHost) releaseList(list);
}

void detail::resetStringLists() {
  state().createFailure.set(kNeverFail);
  state().insertFailure.set(kNeverFail);
}

void setStringListCreateFailure(FailurePlan plan) {
  state().createFailure.set(plan);
}
void setStringListInsertFailure(FailurePlan plan) {
  state().insertFailure.set(plan);
}

XelStringList makeStringList(const std::vector<std::string> &members) {
  return newList(members, false);
}

std::vector<std::string> stringListMembers(XelStringList list) {
  std::vector<std::string> texts;
  if (!isLive(list)) return texts;
  for (const auto &member : list->members) texts.emplace_back(member.get());
  return texts;
}

std::vector<std::string> splitParameterText(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

int32_t liveStringLists() {
  return state().callerOwned;
}

} // namespace cadhost

using cadhost::isLive;
using cadhost::state;

extern "C" {

XelStringList xelStringList_create(int32_t, int32_t) {
  cadhost::detail::countCall("xelStringList_create");
  if (state().createFailure.nextCallFails()) return nullptr;
  return cadhost::newList({}, false);
}

void xelStringList_free(XelStringList list) {
  cadhost::detail::countCall("xelStringList_free");
  // Lists of materials' maps are the host's own; stale handles are ignored.
  if (isLive(list) && !list->ownedByHost) cadhost::releaseList(list);
}

int32_t xelStringList_insertMember(int32_t *index, XelStringList list, int32_t position,
                                   int32_t count) {
  cadhost::detail::countCall("xelStringList_insertMember");
  if (!isLive(list) || count < 1) return 1;
  const auto size = static_cast<int64_t>(list->members.size());
  if (position < -1 || position > size) return 1;
  if (state().insertFailure.nextCallFails()) return 1;
  const int64_t first = position == -1 ? size : position;
  try {
    std::vector<std::unique_ptr<char[]>> added;
    added.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) added.push_back(cadhost::copyText(""));
    list->members.insert(list->members.begin() + first, std::make_move_iterator(added.begin()),
                         std::make_move_iterator(added.end()));
  } catch (...) {
    return 1;
  }
  if (index != nullptr) *index = static_cast<int32_t>(first);
  return 0;
}

int32_t xelStringList_setMember(XelStringList list, int32_t index, const char *text, void *) {
  cadhost::detail::countCall("xelStringList_setMember");
  if (!isLive(list) || text == nullptr || index < 0 ||
      static_cast<size_t>(index) >= list->members.size())
    return 1;
  try {
    list->members[static_cast<size_t>(index)] = cadhost::copyText(text);
  } catch (...) {
    return 1;
  }
  return 0;
}

int32_t xelStringList_size(XelStringList list) {
  cadhost::detail::countCall("xelStringList_size");
  return isLive(list) ? static_cast<int32_t>(list->members.size()) : 0;
}

int32_t xelStringList_getMember(char **text, void *, XelStringList list, int32_t index) {
  cadhost::detail::countCall("xelStringList_getMember");
  if (text == nullptr) return 1;
  if (!isLive(list) || index < 0 || static_cast<size_t>(index) >= list->members.size()) {
    *text = nullptr;
    return 1;
  }
  // The member's own text: a caller may write into it, within its length.
  // It stays valid until the member is set again or the list is released.
  *text = list->members[static_cast<size_t>(index)].get();
  return 0;
}

} // extern "C"
