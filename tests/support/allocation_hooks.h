// allocation_hooks.h - watching and refusing the heap allocations of the
// texture tests.
//
// tests/texture/allocation_hooks.cpp replaces the global operator new and
// delete of texture_tests and wraps the C allocator for code linked into it
// (the link wraps malloc, calloc and realloc), so every allocation of the
// executable, and every operator new of the libraries it loads, passes
// through these hooks.
#ifndef FOG_TESTS_ALLOCATION_HOOKS_H
#define FOG_TESTS_ALLOCATION_HOOKS_H

#include <cstddef>

void allocationCountingStart();
long allocationCountingStop();
void allocationRefusalSet(size_t smallestRefused);

// Counts the allocations made while it lives.
class AllocationCounter {
 public:
  AllocationCounter() { allocationCountingStart(); }
  ~AllocationCounter() { allocationCountingStop(); }
  AllocationCounter(const AllocationCounter &) = delete;
  AllocationCounter &operator=(const AllocationCounter &) = delete;
  long count() const;
};

// While it lives, operator new fails (throws std::bad_alloc) for every
// request of `smallestRefused` bytes or more; smaller ones still succeed.
class AllocationRefusal {
 public:
  explicit AllocationRefusal(size_t smallestRefused) { allocationRefusalSet(smallestRefused); }
  ~AllocationRefusal() { allocationRefusalSet(static_cast<size_t>(-1)); }
  AllocationRefusal(const AllocationRefusal &) = delete;
  AllocationRefusal &operator=(const AllocationRefusal &) = delete;
};

#endif
