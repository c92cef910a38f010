#pragma once
// The whole support layer: display and sprites, imaging and drawing, sound, input.
// Link Zarn::zarn with one backend: Zarn::platform_sdl or Zarn::platform_headless.

#include "display/display.h"
#include "imaging/clock.h"
#include "imaging/log.h"
#include "imaging/text.h"
#include "input/keyboard.h"
#include "sound/sound.h"
