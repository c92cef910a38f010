#include "imaging/clock.h"

#include "platform/status.h"
#include "platform/ticks.h"

uint32_t clock_start_count = 0;

namespace {

// Where the last stamp fell within its millisecond, read on the finer clock where the platform
// has one. A millisecond counter alone lets a wait end up to a millisecond early (the stamp may
// fall late in its millisecond), so the wait also holds out for that part of a millisecond.
int g_has_fine = 0;
uint32_t g_stamp = 0;          // the stamp the rest belongs to
uint32_t g_stamp_rest_us = 0;  // microseconds into the stamp's millisecond

}  // namespace

uint32_t clock_now() { return plat_ticks(); }

uint32_t clock_start() {
    uint64_t fine = 0;
    g_has_fine = plat_ticks_fine(&fine) == PLAT_OK;
    clock_start_count = plat_ticks();
    g_stamp = clock_start_count;
    // Read just before the stamp: when the counter has moved on since, the stamp fell at the
    // very start of its millisecond.
    g_stamp_rest_us = g_has_fine && static_cast<uint32_t>(fine / 1000u) == clock_start_count
                          ? static_cast<uint32_t>(fine % 1000u)
                          : 0;
    return clock_start_count;
}

uint32_t clock_wait(uint32_t count) {
    // Unsigned subtraction measures the elapsed time correctly across the wrap.
    while (static_cast<uint32_t>(plat_ticks() - clock_start_count) < count) {
    }
    if (g_has_fine) {
        // The millisecond stamp has decided; the finer clock holds back only the rest of a
        // millisecond by which that stamp fell late. A stamp moved by the caller has no rest.
        const uint32_t rest = clock_start_count == g_stamp ? g_stamp_rest_us : 0;
        const uint64_t wanted = static_cast<uint64_t>(count) * 1000u + rest;
        uint64_t now = 0;
        while (plat_ticks_fine(&now) == PLAT_OK) {
            const uint32_t whole = static_cast<uint32_t>(now / 1000u) - clock_start_count;
            // Readings are whole microseconds cut down: one more than wanted guarantees the time.
            if (static_cast<uint64_t>(whole) * 1000u + now % 1000u > wanted) break;
        }
    }
    return plat_ticks();
}
