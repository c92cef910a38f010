#include "imaging/clock.h"

#include "platform/status.h"
#include "platform/ticks.h"

uint32_t clock_start_count = 0;

namespace {

// The stamp on the finer clock, where the platform has one: a millisecond counter alone lets a
// wait end up to a millisecond early (the stamp may fall late in its millisecond), so the wait
// also holds out until the finer clock agrees.
uint64_t g_start_fine = 0;
int g_has_fine = 0;

}  // namespace

uint32_t clock_now() { return plat_ticks(); }

uint32_t clock_start() {
    g_has_fine = plat_ticks_fine(&g_start_fine) == PLAT_OK;
    clock_start_count = plat_ticks();
    return clock_start_count;
}

uint32_t clock_wait(uint32_t count) {
    // Unsigned subtraction measures the elapsed time correctly across the wrap.
    while (static_cast<uint32_t>(plat_ticks() - clock_start_count) < count) {
    }
    uint64_t now = 0;
    if (g_has_fine) {
        const uint64_t wanted = static_cast<uint64_t>(count) * 1000u;
        // Readings are whole microseconds cut down: one more than wanted guarantees the time.
        while (plat_ticks_fine(&now) == PLAT_OK && now - g_start_fine <= wanted) {
        }
    }
    return plat_ticks();
}
