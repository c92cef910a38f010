#pragma once
// The millisecond counter.
#include <cstdint>

uint32_t plat_ticks();
//   Milliseconds since an arbitrary start, unsigned 32-bit, wrapping after about 49.7 days.

int plat_ticks_fine(uint64_t* microseconds);
//   The same clock in microseconds, where the backend has a finer reading: PLAT_OK, or an error
//   when it has none (then only the millisecond counter exists). The millisecond counter reads
//   this reading divided by 1000, cut to 32 bits.
