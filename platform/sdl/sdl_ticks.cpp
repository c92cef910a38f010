// The SDL backend's clock: the millisecond counter and its finer reading, from SDL's
// performance counter; each reading also shows what was drawn into the primary surface, and so
// do the unlock of the primary and the event pump.
#include <SDL.h>

#include "platform/common/backend.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"
#include "platform/ticks.h"

namespace {

// Microseconds since the first reading, from the performance counter; the millisecond counter
// is the same clock cut to whole milliseconds, so the two never disagree.
uint64_t fine_now() {
    static const uint64_t freq = SDL_GetPerformanceFrequency();
    static const uint64_t origin = SDL_GetPerformanceCounter();
    const uint64_t t = SDL_GetPerformanceCounter() - origin;
    return (t / freq) * 1000000u + (t % freq) * 1000000u / freq;
}

// Shows what was written into the primary surface since it was last shown, at most once a
// refresh. Where showing a picture costs more than a refresh allows (software rendering), it is
// shown less often, so that showing takes at most an eighth of the time and a paced drawing keeps
// its pace.
void present_written(uint64_t now) {
    if (video_present_primary_if_changed(now, sdl.present_every_us)) {
        const uint64_t cost = fine_now() - now;
        sdl.present_every_us = cost * 8 > sdl.refresh_us ? cost * 8 : sdl.refresh_us;
    }
}

}  // namespace

void backend_present_written() { present_written(fine_now()); }

// Each reading of the counter also shows what was written into the primary surface: a program
// drawing into it step by step waits on the counter.
uint32_t plat_ticks() {
    const uint64_t now = fine_now();
    present_written(now);
    const uint32_t ms = static_cast<uint32_t>(now / 1000u);
    if (sdl.tick_observer) sdl.tick_observer(ms, sdl.tick_context);
    return ms;
}

void sdl_backend_on_tick(void (*observer)(uint32_t now, void* context), void* context) {
    sdl.tick_observer = observer;
    sdl.tick_context = context;
}

int plat_ticks_fine(uint64_t* microseconds) {
    if (!microseconds) return PLAT_ERR_INVALID;
    *microseconds = fine_now();
    return PLAT_OK;
}
