// animation_clock.h - ties a parameter block to the host's animation time.
//
// A block whose drift or swirl speed is not 0 wants the host's animation
// clock: the address the host publishes as "animatorSecondsP", read through
// the block's timeSource at every sample and never copied. Blocks without a
// live clock read staticZeroTime. When the host unloads its animation
// application it sends the notice "animashr"; the module then points every
// instance back at staticZeroTime, so that nothing reads a clock the host has
// released.
#ifndef FOG_TEXTURE_ANIMATION_CLOCK_H
#define FOG_TEXTURE_ANIMATION_CLOCK_H

#include <cstdint>

#include "cad_host.h"
#include "fog_params.h"

// Sets animated, timeSource and useUV of a block just parsed from `material`
// (null: a block made without a material, which keeps its useUV). Binds the
// clock and registers the notice function when the block is animated and the
// host publishes the clock; otherwise points the block at staticZeroTime and
// removes the registration, unless a cached instance still reads the host's
// clock (the notice must keep reaching the module while one does).
void animationClock_bind(XelMaterial *material, FogTextureParams *params);

// Binds an animated block that waits for the clock, and registers the notice
// function; true when the block reads the host's clock afterwards.
bool animationClock_bindLate(FogTextureParams *params);

// The module's notice function: for "animashr" (in any case of letters) every
// cached instance drops its clock. Always returns 0; the registration stays.
int32_t animationClock_release(int32_t unused, const char *applicationName);

#endif
