// The headless backend: pictures, keys, ticks and messages kept in memory and scripted by tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/convert.h"
#include "platform/common/messages.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/status.h"
#include "platform/ticks.h"

namespace {

// Every request the platform layer can be asked to refuse, by the name it asks under.
// clang-format off
const char* const kRequestNames[] = {
    "window", "device", "cooperative", "mode", "primary", "back", "palette", "palette_attach",
    "palette_set", "clipper", "clip_list", "clipper_attach", "surface", "color_key", "lock", "fill",
    "blit", "flip", "text", "input", "keyboard", "keyboard_cooperative", "keyboard_format",
    "keyboard_acquire", "keyboard_read", "mouse", "mouse_cooperative", "mouse_format",
    "mouse_acquire", "mouse_read", "joystick_enum", "joystick", "joystick_cooperative",
    "joystick_format", "joystick_range", "joystick_acquire", "joystick_poll", "joystick_read",
    "sound", "sound_cooperative", "sound_buffer", "sound_lock", "sound_unlock", "sound_position",
    "sound_play", "sound_stop", "sound_status", "sound_volume", "sound_frequency", "sound_pan",
    "sound_duplicate", nullptr};
// clang-format on
constexpr int kRequestCount = static_cast<int>(sizeof kRequestNames / sizeof kRequestNames[0]) - 1;

// A name outside the list is a mistake in a test (or a request the list has not learnt): a
// refusal by it would never happen and the test would pass without testing anything, so the
// run stops here, loudly.
int request_index(const char* request, const char* asked_by) {
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> m;
        for (int i = 0; i < kRequestCount; ++i) m.emplace(kRequestNames[i], i);
        return m;
    }();
    const auto it = request ? index.find(request) : index.end();
    if (it != index.end()) return it->second;
    std::fprintf(stderr, "%s: unknown request name \"%s\"\n", asked_by, request ? request : "(null)");
    std::fflush(stderr);
    std::abort();
}

// Refusals still to come for each request: 0 none, below 0 until allowed again.
int32_t g_refusals[kRequestCount] = {};
int g_refusing = 0;  // requests with refusals set, so that the usual case costs one test
int32_t g_counts[kRequestCount] = {};

void set_refusal(int i, int32_t remaining) {
    g_refusing += (remaining != 0) - (g_refusals[i] != 0);
    g_refusals[i] = remaining;
}

// Requests of each name that still go through before its refusals begin.
int32_t g_passing[kRequestCount] = {};

uint32_t g_ticks = 0, g_tick_step = 1;
int g_fine = 0;  // the counter has a finer reading
uint32_t g_fine_rest = 0, g_fine_step = 1;
void (*g_tick_observer)(uint32_t, void*) = nullptr;
void* g_tick_context = nullptr;
uint8_t g_scancodes[KEY_SCANCODE_COUNT] = {};
int g_cursor_shown = 1;
int g_window = 0;
int g_device_open = 0;
int32_t g_presents = 0;
uint32_t g_present_period = 0;  // ms between presents of a written primary from the counter; 0 none
int32_t g_vis_w = 0, g_vis_h = 0;
std::vector<uint8_t> g_visible;
PaletteEntry g_visible_palette[256] = {};
std::vector<HeadlessText> g_texts;
int32_t g_text_total = 0;

int32_t g_mouse_dx = 0, g_mouse_dy = 0, g_mouse_dz = 0;
uint8_t g_mouse_buttons[4] = {};

struct Joystick {
    uint32_t serial = 0;  // never reused, so a handle outlives no joystick
    int attached = 1;
    int32_t open = 0;  // devices open on it
    std::string name;
    BackendJoystickRaw raw{};
};
std::vector<Joystick> g_joysticks;  // in the order they were attached
uint32_t g_next_serial = 1;

PlatGuid guid_of(uint32_t serial) {
    PlatGuid g{};
    const char tag[] = "ZJOY";
    std::memcpy(g.data, tag, 4);
    for (int i = 0; i < 4; ++i) g.data[12 + i] = static_cast<uint8_t>(serial >> (8 * i));
    return g;
}

Joystick* joystick_numbered(int32_t n) {
    return n >= 0 && n < static_cast<int32_t>(g_joysticks.size()) ? &g_joysticks[static_cast<size_t>(n)] : nullptr;
}

Joystick* joystick_by_serial(int32_t handle) {
    for (Joystick& j : g_joysticks)
        if (static_cast<int32_t>(j.serial) == handle) return &j;
    return nullptr;
}

}  // namespace

// ---- script ----

void headless_reset() {
    std::memset(g_refusals, 0, sizeof g_refusals);
    std::memset(g_passing, 0, sizeof g_passing);
    g_refusing = 0;
    std::memset(g_counts, 0, sizeof g_counts);
    g_ticks = 0;
    g_tick_step = 1;
    g_fine = 0;
    g_tick_observer = nullptr;
    g_tick_context = nullptr;
    std::memset(g_scancodes, 0, sizeof g_scancodes);
    g_cursor_shown = 1;
    g_presents = 0;
    g_present_period = 0;
    g_texts.clear();
    g_text_total = 0;
    g_mouse_dx = g_mouse_dy = g_mouse_dz = 0;
    std::memset(g_mouse_buttons, 0, sizeof g_mouse_buttons);
    g_joysticks.clear();
}

void headless_refuse(const char* request, int32_t times) {
    set_refusal(request_index(request, "headless_refuse"), times < 0 ? -1 : times);
}

void headless_refuse_after(const char* request, int32_t passing, int32_t times) {
    const int i = request_index(request, "headless_refuse_after");
    set_refusal(i, times < 0 ? -1 : times);
    g_passing[i] = passing < 0 ? 0 : passing;
}

void headless_allow(const char* request) {
    const int i = request_index(request, "headless_allow");
    set_refusal(i, 0);
    g_passing[i] = 0;
}

int32_t headless_request_count(const char* request) {
    return g_counts[request_index(request, "headless_request_count")];
}

const char* const* headless_request_names() { return kRequestNames; }

void headless_set_ticks(uint32_t now) { g_ticks = now; }
void headless_set_tick_step(uint32_t step) { g_tick_step = step; }

void headless_on_tick(void (*observer)(uint32_t, void*), void* context) {
    g_tick_observer = observer;
    g_tick_context = context;
}

void headless_set_fine_ticks(uint32_t rest_us, uint32_t step_us) {
    g_fine = 1;
    g_fine_rest = rest_us % 1000u;
    g_fine_step = step_us ? step_us : 1;
}

void headless_key_set(int32_t key_code, int down) {
    int32_t sc = key_scancode_of_code(key_code);
    if (sc >= 0) g_scancodes[sc] = down ? 1 : 0;
}

void headless_scancode_set(int32_t scancode, int down) {
    if (scancode >= 0 && scancode < KEY_SCANCODE_COUNT) g_scancodes[scancode] = down ? 1 : 0;
}

void headless_mouse_move(int32_t dx, int32_t dy, int32_t wheel) {
    backend_motion_add(g_mouse_dx, dx);
    backend_motion_add(g_mouse_dy, dy);
    backend_motion_add(g_mouse_dz, wheel);
}

void headless_mouse_button(int32_t button, int down) {
    if (button >= 0 && button < 4) g_mouse_buttons[button] = down ? 1 : 0;
}

int32_t headless_joystick_attach(const char* product_name) {
    Joystick j;
    j.serial = g_next_serial++;
    j.name = product_name ? product_name : "";
    j.raw.axis_count = 8;
    for (uint32_t& p : j.raw.pov) p = 0xFFFFFFFFu;
    g_joysticks.push_back(j);
    return static_cast<int32_t>(g_joysticks.size()) - 1;
}

void headless_joystick_detach(int32_t joystick) {
    if (Joystick* j = joystick_numbered(joystick)) j->attached = 0;
}

void headless_joystick_axis(int32_t joystick, int32_t axis, int32_t raw) {
    Joystick* j = joystick_numbered(joystick);
    if (j && axis >= 0 && axis < 8) j->raw.axes[axis] = raw < -32768 ? -32768 : (raw > 32767 ? 32767 : raw);
}

void headless_joystick_pov(int32_t joystick, int32_t hat, uint32_t value) {
    Joystick* j = joystick_numbered(joystick);
    if (j && hat >= 0 && hat < 4) j->raw.pov[hat] = value;
}

void headless_joystick_button(int32_t joystick, int32_t button, int down) {
    Joystick* j = joystick_numbered(joystick);
    if (j && button >= 0 && button < 32) j->raw.buttons[button] = down ? 1 : 0;
}

int32_t headless_joystick_open_count() {
    int32_t n = 0;
    for (const Joystick& j : g_joysticks) n += j.open;
    return n;
}

void headless_keys_clear() { std::memset(g_scancodes, 0, sizeof g_scancodes); }
int headless_cursor_shown() { return g_cursor_shown; }
int headless_window_open() { return g_window; }
int headless_device_open() { return g_device_open; }
int32_t headless_present_count() { return g_presents; }
void headless_present_on_tick(uint32_t period_ms) { g_present_period = period_ms; }

int headless_visible_size(int32_t* width, int32_t* height) {
    if (width) *width = g_vis_w;
    if (height) *height = g_vis_h;
    return g_vis_w > 0;
}

int32_t headless_visible_index(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= g_vis_w || y >= g_vis_h) return -1;
    return g_visible[static_cast<size_t>(y) * g_vis_w + x];
}

uint32_t headless_visible_rgb(int32_t x, int32_t y) {
    int32_t i = headless_visible_index(x, y);
    if (i < 0) return 0;
    const PaletteEntry& e = g_visible_palette[i];
    return (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
}

int32_t headless_text_count() { return static_cast<int32_t>(g_texts.size()); }

const HeadlessText* headless_text_at(int32_t i) {
    if (i < 0 || i >= static_cast<int32_t>(g_texts.size())) return nullptr;
    return &g_texts[static_cast<size_t>(i)];
}

void headless_text_clear() { g_texts.clear(); }

// ---- backend hooks ----

int backend_allows(const char* request) {
    const int i = request_index(request, "the platform layer");
    ++g_counts[i];
    if (!g_refusing || g_refusals[i] == 0) return 1;
    if (g_passing[i] > 0) {
        --g_passing[i];
        return 1;
    }
    if (g_refusals[i] > 0) set_refusal(i, g_refusals[i] - 1);
    return 0;
}

int backend_device_open() {
    g_device_open = 1;
    return PLAT_OK;
}

void backend_device_close() { g_device_open = 0; }
int backend_set_mode(int32_t, int32_t, int32_t) { return PLAT_OK; }

void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, const PaletteEntry* palette,
                     int) {
    ++g_presents;
    g_vis_w = width;
    g_vis_h = height;
    g_visible.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&g_visible[static_cast<size_t>(y) * width], pixels + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(width));
    if (palette) std::memcpy(g_visible_palette, palette, sizeof g_visible_palette);
    else std::memset(g_visible_palette, 0, sizeof g_visible_palette);
}

void backend_wait_vblank() {}

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    HeadlessText rec{};
    rec.x = x;
    rec.y = y;
    rec.index = index;
    std::strncpy(rec.text, text, sizeof rec.text - 1);
    if (g_texts.size() >= 256) g_texts.erase(g_texts.begin());
    g_texts.push_back(rec);
    ++g_text_total;
    auto plot = [&](int64_t px, int64_t py) {
        if (px >= 0 && py >= 0 && px < width && py < height) pixels[py * pitch + px] = index;
    };
    int64_t cx = x;
    for (const char* c = text; *c; ++c, cx += HEADLESS_GLYPH_W) {
        if (*c == ' ') continue;
        for (int i = 0; i < 6; ++i) {
            plot(cx + 1 + i, int64_t(y) + 1);
            plot(cx + 1 + i, int64_t(y) + 10);
        }
        for (int j = 0; j < 10; ++j) {
            plot(cx + 1, int64_t(y) + 1 + j);
            plot(cx + 6, int64_t(y) + 1 + j);
        }
    }
    return PLAT_OK;
}

int backend_window_open(const char*) {
    g_window = 1;
    return PLAT_OK;
}

void backend_window_close() { g_window = 0; }
void backend_pump_events() { backend_present_written(); }
void backend_cursor_show(int shown) { g_cursor_shown = shown ? 1 : 0; }

void backend_show_error(const char*, const char*) {}
const uint8_t* backend_scancode_state() { return g_scancodes; }

void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dx = g_mouse_dx;
    *dy = g_mouse_dy;
    *dz = g_mouse_dz;
    g_mouse_dx = g_mouse_dy = g_mouse_dz = 0;
    std::memcpy(buttons, g_mouse_buttons, 4);
}

int32_t backend_joystick_count() {
    int32_t n = 0;
    for (const Joystick& j : g_joysticks) n += j.attached;
    return n;
}

int backend_joystick_info(int32_t index, PlatDeviceInstance* info) {
    for (const Joystick& j : g_joysticks) {
        if (!j.attached) continue;
        if (index-- > 0) continue;
        std::memset(info, 0, sizeof *info);
        info->guidInstance = guid_of(j.serial);
        std::strncpy(info->tszProductName, j.name.c_str(), sizeof info->tszProductName - 1);
        return PLAT_OK;
    }
    return PLAT_ERR_INVALID;
}

int backend_joystick_open(const PlatGuid* guid, int32_t* handle) {
    for (Joystick& j : g_joysticks) {
        const PlatGuid g = guid_of(j.serial);
        if (j.attached && std::memcmp(g.data, guid->data, sizeof g.data) == 0) {
            ++j.open;
            *handle = static_cast<int32_t>(j.serial);
            return PLAT_OK;
        }
    }
    return PLAT_ERR_REFUSED;
}

void backend_joystick_close(int32_t handle) {
    if (Joystick* j = joystick_by_serial(handle))
        if (j->open > 0) --j->open;
}

int backend_joystick_poll(int32_t handle) {
    Joystick* j = joystick_by_serial(handle);
    return j && j->attached ? PLAT_OK : PLAT_ERR_REFUSED;
}

int backend_joystick_read(int32_t handle, BackendJoystickRaw* raw) {
    Joystick* j = joystick_by_serial(handle);
    if (!j || !j->attached) return PLAT_ERR_REFUSED;
    *raw = j->raw;
    return PLAT_OK;
}

void backend_present_written() {
    if (g_present_period)
        video_present_primary_if_changed(uint64_t{g_ticks} * 1000u, uint64_t{g_present_period} * 1000u);
}

uint32_t plat_ticks() {
    const uint32_t now = g_ticks;
    backend_present_written();
    g_ticks += g_tick_step;
    if (g_tick_observer) g_tick_observer(now, g_tick_context);
    return now;
}

const char* plat_error_text() { return ""; }

int plat_ticks_fine(uint64_t* microseconds) {
    if (!microseconds) return PLAT_ERR_INVALID;
    if (!g_fine) return PLAT_ERR_UNSUPPORTED;  // whole milliseconds only, unless a test asks
    *microseconds = static_cast<uint64_t>(g_ticks) * 1000u + g_fine_rest;
    const uint64_t moved = static_cast<uint64_t>(g_fine_rest) + g_fine_step;
    g_ticks += static_cast<uint32_t>(moved / 1000u);
    g_fine_rest = static_cast<uint32_t>(moved % 1000u);
    return PLAT_OK;
}
