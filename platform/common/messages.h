#pragma once
// The bounded message queue behind the window. Internal to the platform layer.
#include <cstdint>

enum { MESSAGE_QUEUE_CAPACITY = 64 };

int message_queue_push(int32_t kind, int32_t param);
//   PLAT_OK, or PLAT_ERR_REFUSED when the queue is full. A paint already waiting absorbs another.
void message_queue_clear();
