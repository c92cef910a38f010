#pragma once
/// \file
/// The millisecond counter.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// Milliseconds since an arbitrary start, unsigned 32-bit, wrapping after about 49.7 days.
uint32_t plat_ticks(void);

/// The same clock in microseconds, where the backend has a finer reading: PLAT_OK, or an error
/// when it has none (then only the millisecond counter exists). The millisecond counter reads
/// this reading divided by 1000, cut to 32 bits.
int plat_ticks_fine(uint64_t* microseconds);

#ifdef __cplusplus
}  // extern "C"
#endif
