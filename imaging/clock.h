#pragma once
/// \file
/// The frame clock: a stamp of the millisecond counter and a busy wait measured from it.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

extern uint32_t clock_start_count;  ///< the tick count taken by the last clock_start()

/// The current tick count.
uint32_t clock_now(void);
/// Stores the current tick count in clock_start_count and returns it.
uint32_t clock_start(void);
/// Spins until count milliseconds have passed since the last clock_start() (right across the
/// counter's wrap), then returns a fresh tick count. Returns at once when they already have.
uint32_t clock_wait(uint32_t count);

#ifdef __cplusplus
}  // extern "C"
#endif
