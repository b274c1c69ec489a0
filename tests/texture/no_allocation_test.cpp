// The per-point path (noise, fractal sums, shading) makes no heap allocation.
//
// Every C++ allocation in this executable goes through the operator new
// below, and every C allocation made by code linked into it goes through the
// wrapped malloc, calloc and realloc (the link wraps them for texture_tests),
// so a counter sees them all while it is armed.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>

#include "fog_shading.h"
#include "noise3.h"

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);
void *__real_realloc(void *pointer, size_t size);
}

namespace {

// Volatile: the compiler must not assume that malloc leaves them alone.
volatile bool countingArmed = false;
volatile long allocationCount = 0;

void noteAllocation() {
  if (countingArmed) {
    allocationCount = allocationCount + 1;
  }
}

// Counts the allocations made while it lives.
class AllocationCounter {
 public:
  AllocationCounter() {
    allocationCount = 0;
    countingArmed = true;
  }
  ~AllocationCounter() { countingArmed = false; }
  long count() const { return allocationCount; }
};

void *allocateOrThrow(size_t size) {
  void *p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  return p;
}

}  // namespace

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

void *operator new(size_t size) { return allocateOrThrow(size); }
void *operator new[](size_t size) { return allocateOrThrow(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return std::malloc(size == 0 ? 1 : size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, size_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }

namespace {

void *volatile escaped = nullptr;

TEST(PerPointPath, CounterSeesBothAllocators) {
  AllocationCounter counter;
  escaped = ::operator new(24);
  ::operator delete(escaped);
  escaped = std::malloc(24);
  std::free(escaped);
  escaped = std::calloc(3, 8);
  std::free(escaped);
  EXPECT_EQ(counter.count(), 3);
}

TEST(PerPointPath, AllocatesNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float points[][3] = {{0, 0, 0}, {1, 2, 3}, {-0.5f, 0.25f, 7.5f}, {5e8f, -5e8f, 1e9f}, {nan, 0, 1}};
  const float levels[] = {3.0f, 0.0f, 30.0f, 2.5f, -1.0f};
  AllocationCounter counter;
  for (const auto &point : points) {
    noise3Evaluate(point);
    for (float level : levels) {
      FogTextureParams params = fogParamDefaults;
      params.levelOfDetail = level;
      params.contrast = level < 0 ? nan : 1.0f;
      TextureColor color;
      shadeFogPoint(color, params, point, 1.5);
      fractalSum(point, level);
    }
  }
  EXPECT_EQ(counter.count(), 0);
}

}  // namespace
