#include "imaging/clock.h"

#include "platform/ticks.h"

uint32_t clock_start_count = 0;

uint32_t clock_now() { return plat_ticks(); }

uint32_t clock_start() {
    clock_start_count = plat_ticks();
    return clock_start_count;
}

uint32_t clock_wait(uint32_t count) {
    // Unsigned subtraction measures the elapsed time correctly across the wrap.
    while (static_cast<uint32_t>(plat_ticks() - clock_start_count) < count) {
    }
    return plat_ticks();
}
