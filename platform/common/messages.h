#pragma once
/// \file
/// The bounded message queue behind the window. Internal to the platform layer.
#include <cstdint>

enum { MESSAGE_QUEUE_CAPACITY = 64 };

/// PLAT_OK, or PLAT_ERR_REFUSED when the queue is full. A paint already waiting absorbs another.
int message_queue_push(int32_t kind, int32_t param);
/// Empties the queue and forgets a quit message asked for (and its code).
void message_queue_clear();
