// The window's message queue: posted messages and desktop events, taken one at a time.
// The queue is bounded; the quit request is a flag that shows only once the queue is empty, or
// holds nothing but a paint.
#include "platform/common/messages.h"

#include <array>
#include <cstdio>

#include "platform/common/backend.h"
#include "platform/keys.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

std::array<PlatMessage, MESSAGE_QUEUE_CAPACITY> g_queue{};
int g_head = 0, g_count = 0;
int g_quit_posted = 0;
int32_t g_quit_code = 0;
int g_window_open = 0;

}  // namespace

int message_queue_push(int32_t kind, int32_t param) {
    if (kind == PLAT_MSG_PAINT) {
        for (int i = 0; i < g_count; ++i)
            if (g_queue[(g_head + i) % MESSAGE_QUEUE_CAPACITY].kind == PLAT_MSG_PAINT) return PLAT_OK;
    }
    if (g_count == MESSAGE_QUEUE_CAPACITY) return PLAT_ERR_REFUSED;
    g_queue[(g_head + g_count) % MESSAGE_QUEUE_CAPACITY] = PlatMessage{kind, param};
    ++g_count;
    return PLAT_OK;
}

void message_queue_clear() {
    g_head = g_count = 0;
    g_quit_posted = 0;
    g_quit_code = 0;
}

int plat_window_create(const char* title) {
    if (g_window_open) return PLAT_ERR_REFUSED;
    if (!backend_allows("window")) return PLAT_ERR_REFUSED;
    int r = backend_window_open(title ? title : "");
    if (r != PLAT_OK) return r;
    g_window_open = 1;
    message_queue_clear();
    message_queue_push(PLAT_MSG_CREATE, 0);
    return PLAT_OK;
}

void plat_window_destroy() {
    if (g_window_open) backend_window_close();
    g_window_open = 0;
    message_queue_clear();
}

int plat_message_take(PlatMessage* out) {
    if (!out) return 0;
    if (g_window_open) backend_pump_events();
    // A paint alone does not hold the quit back: where every picture shown uncovers the window
    // again (as under Wine), one would always be waiting and the quit would never come.
    const int only_a_paint = g_count == 1 && g_queue[g_head].kind == PLAT_MSG_PAINT;
    if (g_count > 0 && !(g_quit_posted && only_a_paint)) {
        *out = g_queue[g_head];
        g_head = (g_head + 1) % MESSAGE_QUEUE_CAPACITY;
        --g_count;
        return 1;
    }
    if (g_quit_posted) {
        g_quit_posted = 0;
        *out = PlatMessage{PLAT_MSG_QUIT, g_quit_code};
        return 1;
    }
    return 0;
}

int plat_message_post(int32_t kind, int32_t param) {
    if (kind == PLAT_MSG_QUIT) {
        plat_post_quit(param);
        return PLAT_OK;
    }
    return message_queue_push(kind, param);
}

void plat_post_quit(int32_t code) {
    g_quit_posted = 1;
    g_quit_code = code;
}

void plat_cursor_show(int shown) { backend_cursor_show(shown); }

void plat_report_error(const char* program, const char* text) {
    program = program ? program : "";
    text = text ? text : "";
    std::fprintf(stderr, "%s: %s\n", program, text);
    std::fflush(stderr);
    backend_show_error(program, text);
}

int plat_key_down_now(int32_t key_code) {
    if (!g_window_open) return 0;
    backend_pump_events();
    const int32_t scancode = key_scancode_of_code(key_code);
    return scancode >= 0 && backend_scancode_state()[scancode] ? 1 : 0;
}
