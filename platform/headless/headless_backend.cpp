// The headless backend: pictures, keys, ticks and messages kept in memory and scripted by tests.
#include <cstring>
#include <map>
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

struct Refusal {
    int32_t remaining = 0;  // < 0: for ever
};

std::map<std::string, Refusal> g_refusals;
// Request names are string literals of the platform layer, so views of them stay valid.
std::unordered_map<std::string_view, int32_t> g_counts;
uint32_t g_ticks = 0, g_tick_step = 1;
void (*g_tick_observer)(uint32_t, void*) = nullptr;
void* g_tick_context = nullptr;
uint8_t g_scancodes[KEY_SCANCODE_COUNT] = {};
int g_cursor_shown = 1;
int g_window = 0;
int32_t g_presents = 0;
int32_t g_vis_w = 0, g_vis_h = 0;
std::vector<uint8_t> g_visible;
PaletteEntry g_visible_palette[256] = {};
std::vector<HeadlessText> g_texts;
int32_t g_text_total = 0;

}  // namespace

// ---- script ----

void headless_reset() {
    g_refusals.clear();
    g_counts.clear();
    g_ticks = 0;
    g_tick_step = 1;
    g_tick_observer = nullptr;
    g_tick_context = nullptr;
    std::memset(g_scancodes, 0, sizeof g_scancodes);
    g_cursor_shown = 1;
    g_presents = 0;
    g_texts.clear();
    g_text_total = 0;
}

void headless_refuse(const char* request, int32_t times) {
    if (request) g_refusals[request].remaining = times < 0 ? -1 : times;
}

void headless_allow(const char* request) {
    if (request) g_refusals.erase(request);
}

int32_t headless_request_count(const char* request) {
    auto it = g_counts.find(std::string_view(request ? request : ""));
    return it == g_counts.end() ? 0 : it->second;
}

void headless_set_ticks(uint32_t now) { g_ticks = now; }
void headless_set_tick_step(uint32_t step) { g_tick_step = step; }

void headless_on_tick(void (*observer)(uint32_t, void*), void* context) {
    g_tick_observer = observer;
    g_tick_context = context;
}

void headless_key_set(int32_t key_code, int down) {
    int32_t sc = key_scancode_of_code(key_code);
    if (sc >= 0) g_scancodes[sc] = down ? 1 : 0;
}

void headless_scancode_set(int32_t scancode, int down) {
    if (scancode >= 0 && scancode < KEY_SCANCODE_COUNT) g_scancodes[scancode] = down ? 1 : 0;
}

void headless_keys_clear() { std::memset(g_scancodes, 0, sizeof g_scancodes); }
int headless_cursor_shown() { return g_cursor_shown; }
int headless_window_open() { return g_window; }
int32_t headless_present_count() { return g_presents; }

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
    ++g_counts[std::string_view(request)];
    if (g_refusals.empty()) return 1;
    auto it = g_refusals.find(request);
    if (it == g_refusals.end()) return 1;
    if (it->second.remaining < 0) return 0;
    if (it->second.remaining == 0) {
        g_refusals.erase(it);
        return 1;
    }
    if (--it->second.remaining == 0) g_refusals.erase(it);
    return 0;
}

int backend_device_open() { return PLAT_OK; }
void backend_device_close() {}
int backend_set_mode(int32_t, int32_t, int32_t) { return PLAT_OK; }

void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                     const PaletteEntry* palette) {
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
void backend_pump_events() {}
void backend_cursor_show(int shown) { g_cursor_shown = shown ? 1 : 0; }
const uint8_t* backend_scancode_state() { return g_scancodes; }

uint32_t plat_ticks() {
    uint32_t now = g_ticks;
    g_ticks += g_tick_step;
    if (g_tick_observer) g_tick_observer(now, g_tick_context);
    return now;
}

const char* plat_error_text() { return ""; }
