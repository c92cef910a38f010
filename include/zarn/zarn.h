#pragma once
/// \file
/// The whole support layer: display and sprites, imaging and drawing, sound, input, and the
/// window with its message queue that every program runs.
/// Link Zarn::zarn with one backend: Zarn::platform_sdl or Zarn::platform_headless.

#include "display/display.h"
#include "imaging/bmp.h"
#include "imaging/clock.h"
#include "imaging/draw.h"
#include "imaging/image.h"
#include "imaging/log.h"
#include "imaging/palette.h"
#include "imaging/text.h"
#include "imaging/transition.h"
#include "input/joystick.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/status.h"
#include "platform/window.h"
#include "sound/sound.h"
#include "sprites/bob.h"
