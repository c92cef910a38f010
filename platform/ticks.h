#pragma once
// The millisecond counter.
#include <cstdint>

uint32_t plat_ticks();
//   Milliseconds since an arbitrary start, unsigned 32-bit, wrapping after about 49.7 days.
