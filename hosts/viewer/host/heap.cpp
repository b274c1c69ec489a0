// heap.cpp - the stand-in viewer's heap (hmsc_). Blocks come from malloc;
// the heap keeps the set of live blocks so that tests can see what a
// plug-in leaves behind, refuses to free a block it never handed out, and
// can be told to fail one allocation on purpose.
#include <cstdlib>
#include <unordered_set>

#include "viewer_control.h"

namespace {

std::unordered_set<void *> &liveBlocks() {
  static std::unordered_set<void *> blocks;
  return blocks;
}

// Allocations still to come before the one that fails; 0 = none planned.
std::size_t failCountdown = 0;
std::size_t invalidFrees = 0;

} // namespace

void *hmsc_HeapMalloc(uint32_t size) {
  if (failCountdown != 0 && --failCountdown == 0) return nullptr;
  // A zero-byte request still gets a distinct block, so it can be freed.
  void *block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) return nullptr;
  try {
    liveBlocks().insert(block);
  } catch (...) {
    std::free(block);
    return nullptr;
  }
  return block;
}

int32_t hmsc_HeapFree(void *block) {
  if (block == nullptr) return 0;
  // Freeing a foreign or already freed pointer would corrupt the C heap;
  // the call is refused and counted instead.
  if (liveBlocks().erase(block) == 0) {
    ++invalidFrees;
    return -1;
  }
  std::free(block);
  return 0;
}

namespace viewerhost {

std::size_t heapLiveBlocks() {
  return liveBlocks().size();
}

void heapFailAllocation(std::size_t n) {
  failCountdown = n;
}

bool heapFailurePending() {
  return failCountdown != 0;
}

std::size_t heapInvalidFrees() {
  return invalidFrees;
}

} // namespace viewerhost
