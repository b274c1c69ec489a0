// The allocation hooks of texture_tests (allocation_hooks.h): a counter of
// every allocation, and operator new refusing requests from a given size on.
#include "allocation_hooks.h"

#include <cstdlib>
#include <new>

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void *__real_realloc(void *pointer, size_t size);
}

namespace {

// Volatile: the compiler must not assume that malloc leaves them alone.
volatile bool countingArmed = false;
volatile long allocationCount = 0;
volatile size_t smallestRefusedSize = static_cast<size_t>(-1);

void noteAllocation() {
  if (countingArmed) {
    allocationCount = allocationCount + 1;
  }
}

void *allocateOrThrow(size_t size) {
  if (size >= smallestRefusedSize) {
    throw std::bad_alloc();
  }
  void *p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  return p;
}

void *allocateOrNull(size_t size) noexcept {
  if (size >= smallestRefusedSize) {
    return nullptr;
  }
  return std::malloc(size == 0 ? 1 : size);
}

} // namespace

void allocationCountingStart() {
  allocationCount = 0;
  countingArmed = true;
}

long allocationCountingStop() {
  countingArmed = false;
  return allocationCount;
}

long AllocationCounter::count() const {
  return allocationCount;
}

void allocationRefusalSet(size_t smallestRefused) {
  smallestRefusedSize = smallestRefused;
}

extern "C" {
void *__wrap_malloc(size_t size) {
  noteAllocation();
  return __real_malloc(size);
}
void *__wrap_calloc(size_t count, size_t size) {
  noteAllocation();
  return __real_calloc(count, size);
}
void *__wrap_realloc(void *pointer, size_t size) {
  noteAllocation();
  return __real_realloc(pointer, size);
}
}

void *operator new(size_t size) {
  return allocateOrThrow(size);
}
void *operator new[](size_t size) {
  return allocateOrThrow(size);
}
void *operator new(size_t size, const std::nothrow_t &) noexcept {
  return allocateOrNull(size);
}
void *operator new[](size_t size, const std::nothrow_t &) noexcept {
  return allocateOrNull(size);
}
void operator delete(void *p) noexcept {
  std::free(p);
}
void operator delete[](void *p) noexcept {
  std::free(p);
}
void operator delete(void *p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void *p, size_t) noexcept {
  std::free(p);
}
void operator delete(void *p, const std::nothrow_t &) noexcept {
  std::free(p);
}
void operator delete[](void *p, const std::nothrow_t &) noexcept {
  std::free(p);
}
