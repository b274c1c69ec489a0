// The animation clock: which blocks are animated, binding to the host's
// clock, the notice that drops it, late rebinding, and the notice
// registration kept while any instance reads the clock.
#include "animation_clock.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "cad_texture_fixture.h"
#include "sample_instance.h"

namespace {

class AnimationClockTest : public CadTextureTest {
 protected:
  // The params of a new instance of a material with the given text,
  // shaded once through the module's procedure.
  static FogTextureParams *shadeOnce(int32_t id, const std::string &text) {
    addMaterial(id, "Clocked " + std::to_string(id), text, 0);
    TextureSample sample = sampleFor(id, SAMPLE_UV);
    TextureColor color{};
    dlmTextureProcedure(&color, &sample);
    return textureInstance_find(id, 1);
  }

  static TextureColor colorAt(int32_t id) {
    TextureSample sample = sampleFor(id, SAMPLE_UV);
    sample.u = 0.25f;
    sample.v = 0.5f;
    TextureColor color{};
    dlmTextureProcedure(&color, &sample);
    return color;
  }

  static bool sameColor(const TextureColor &a, const TextureColor &b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue &&
           a.transparency == b.transparency;
  }
};

TEST_F(AnimationClockTest, OnlyBlocksThatMoveAreAnimated) {
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float drift, swirl;
    int32_t animated;
  };
  const Case cases[] = {
      {0.3f, 90.0f, 1}, {0.0f, 0.0f, 0}, {0.0f, -1.0f, 1}, {-0.0f, 0.0f, 0},
      {nan, 0.0f, 0},   {0.0f, nan, 0},  {nan, 2.0f, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.drift << " " << c.swirl);
    FogTextureParams block = fogParamDefaults;
    block.driftSpeed = c.drift;
    block.swirlSpeed = c.swirl;
    animationClock_bind(nullptr, &block);
    EXPECT_EQ(block.animated, c.animated);
    EXPECT_EQ(block.timeSource, c.animated ? cadhost::animationSecondsAddress() : &staticZeroTime);
    EXPECT_EQ(block.useUV, 1);
  }
  // Through a material: its text decides, and map 1's mode sets useUV.
  FogTextureParams *still = shadeOnce(1, "fog_drift_speed 0\nfog_swirl_speed 0");
  ASSERT_NE(still, nullptr);
  EXPECT_EQ(still->animated, 0);
  EXPECT_EQ(still->timeSource, &staticZeroTime);
  EXPECT_EQ(still->useUV, 1);
}

TEST_F(AnimationClockTest, ABoundBlockReadsTheHostsTimeAtEverySample) {
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  cadhost::setAnimationSeconds(0.0);
  FogTextureParams *moving = shadeOnce(1, "");
  FogTextureParams *still = shadeOnce(2, "fog_drift_speed 0\nfog_swirl_speed 0");
  ASSERT_TRUE(moving && still);
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), &animationClock_release);

  const TextureColor movingAt0 = colorAt(1);
  const TextureColor stillAt0 = colorAt(2);
  cadhost::setAnimationSeconds(1.0);
  EXPECT_FALSE(sameColor(colorAt(1), movingAt0));
  EXPECT_TRUE(sameColor(colorAt(2), stillAt0));
  cadhost::setAnimationSeconds(0.0);
  EXPECT_TRUE(sameColor(colorAt(1), movingAt0));
}

TEST_F(AnimationClockTest, TheNoticeForTheAnimatorInAnyCaseDropsEveryClock) {
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  FogTextureParams *a = shadeOnce(1, "");
  FogTextureParams *b = shadeOnce(2, "fog_swirl_speed 10");
  ASSERT_TRUE(a && b);
  const FogTextureParams currentBefore = currentFogParams;

  for (const char *other : {"animator", "animash", "animashr2", ""}) {
    EXPECT_EQ(animationClock_release(0, other), 0);
    EXPECT_EQ(a->timeSource, cadhost::animationSecondsAddress()) << other;
  }
  EXPECT_EQ(animationClock_release(0, nullptr), 0);
  EXPECT_EQ(a->timeSource, cadhost::animationSecondsAddress());

  EXPECT_EQ(cadhost::sendNotice("ANIMASHR"), 1);
  EXPECT_EQ(a->timeSource, &staticZeroTime);
  EXPECT_EQ(b->timeSource, &staticZeroTime);
  EXPECT_EQ(a->animated, 1);
  EXPECT_EQ(currentFogParams.timeSource, currentBefore.timeSource);
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), &animationClock_release);
}

TEST_F(AnimationClockTest, AWaitingBlockBindsAtItsNextSampleOnceTheClockIsThere) {
  FogTextureParams *params = shadeOnce(1, "");
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(params->animated, 1);
  EXPECT_EQ(params->timeSource, &staticZeroTime);
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), nullptr);

  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  colorAt(1);
  EXPECT_EQ(params->timeSource, cadhost::animationSecondsAddress());
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), &animationClock_release);

  // Released by the notice, it binds again at its next sample.
  cadhost::sendNotice("animashr");
  EXPECT_EQ(params->timeSource, &staticZeroTime);
  colorAt(1);
  EXPECT_EQ(params->timeSource, cadhost::animationSecondsAddress());

  // Without the clock it keeps asking, and keeps time 0.
  cadhost::sendNotice("animashr");
  cadhost::withdraw(cadhost::Symbol::AnimatorSeconds);
  const int32_t asked = cadhost::expressionLookups("animatorSecondsP");
  colorAt(1);
  colorAt(1);
  EXPECT_EQ(cadhost::expressionLookups("animatorSecondsP"), asked + 2);
  EXPECT_EQ(params->timeSource, &staticZeroTime);
}

TEST_F(AnimationClockTest, TheNoticeStaysRegisteredWhileAnInstanceReadsTheClock) {
  cadhost::publish(cadhost::Symbol::AnimatorSeconds);
  FogTextureParams *moving = shadeOnce(1, "");
  ASSERT_EQ(moving->timeSource, cadhost::animationSecondsAddress());

  // A still material loaded afterwards must not cut the notice off from the
  // instance above, or that instance would read a clock the host released.
  shadeOnce(2, "fog_drift_speed 0\nfog_swirl_speed 0");
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), &animationClock_release);
  cadhost::sendNotice("animashr");
  EXPECT_EQ(moving->timeSource, &staticZeroTime);

  // With no instance on the clock, a still material removes the registration.
  shadeOnce(3, "fog_drift_speed 0\nfog_swirl_speed 0");
  EXPECT_EQ(cadhost::noticeFunction(kModuleHandle), nullptr);
}

} // namespace
