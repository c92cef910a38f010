// The web backend: the page's canvas shows the 8-bit picture through the palette, keys come by
// physical position from the page's keyboard events (and its touch controls and gamepads press
// keys too), the mouse from the pointer over the canvas, text uses the desktop's glyphs rendered
// at build time. There are no joysticks.
#include <emscripten.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/convert.h"
#include "platform/common/glyph_table.h"
#include "platform/keys.h"
#include "platform/status.h"
#include "platform/web/web_backend.h"

namespace {

struct State {
    int window = 0;
    int device = 0;
    uint8_t scancodes[KEY_SCANCODE_COUNT] = {};        // written by the page's key handlers
    int32_t mouse_dx = 0, mouse_dy = 0, mouse_dz = 0;  // gathered since the last take
    int32_t mouse_buttons = 0;                         // bits: left, right, middle, back
    int32_t mode_w = 0, mode_h = 0;
    std::vector<uint8_t> picture;  // the last picture shown, mode_w x mode_h, no padding
    PaletteEntry palette[256] = {};
    int unpainted = 0;           // shown since the canvas was last painted
    std::vector<uint32_t> rgba;  // what the canvas was last painted with
    std::string error;
};

State g;

}  // namespace

const char* plat_error_text() { return g.error.c_str(); }

void web_backend_fail(const char* what) { g.error = what; }

// ---- window and keys ----

int backend_window_open(const char* title) {
    std::memset(g.scancodes, 0, sizeof g.scancodes);
    g.mouse_dx = g.mouse_dy = g.mouse_dz = g.mouse_buttons = 0;
    if (!web_js_window_open(g.scancodes, title)) {
        g.error = "cannot open the display: the page has no canvas";
        return PLAT_ERR_REFUSED;
    }
    g.window = 1;
    return PLAT_OK;
}

void backend_window_close() {
    backend_device_close();
    if (g.window) web_js_window_close();
    g.window = 0;
    std::memset(g.scancodes, 0, sizeof g.scancodes);
    g.mouse_buttons = 0;
}

// Keys are written as the page's events arrive, so there is nothing to move; what matters here is
// that the game has looked at its events, and that what it wrote into the primary shows (before
// the look ends the wait that showing it starts).
void backend_pump_events() {
    backend_present_written();
    web_pace_events();
}

void backend_cursor_show(int shown) {
    if (g.window) web_js_cursor(shown);
}

// The page's console carries stderr.
void backend_show_error(const char*, const char*) {}

const uint8_t* backend_scancode_state() { return g.scancodes; }

void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dx = g.mouse_dx;
    *dy = g.mouse_dy;
    *dz = g.mouse_dz;
    g.mouse_dx = g.mouse_dy = g.mouse_dz = 0;
    for (int i = 0; i < 4; ++i) buttons[i] = (g.mouse_buttons >> i) & 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE void web_mouse_event(int32_t dx, int32_t dy, int32_t dz, int32_t buttons) {
    if (!g.window) return;
    backend_motion_add(g.mouse_dx, dx);
    backend_motion_add(g.mouse_dy, dy);
    backend_motion_add(g.mouse_dz, dz);
    g.mouse_buttons = buttons;
}

extern "C" EMSCRIPTEN_KEEPALIVE const int32_t* web_mouse_take() {
    static int32_t taken[7];
    uint8_t buttons[4];
    backend_mouse_take(&taken[0], &taken[1], &taken[2], buttons);
    for (int i = 0; i < 4; ++i) taken[3 + i] = buttons[i];
    return taken;
}

int32_t backend_joystick_count() { return 0; }
int backend_joystick_info(int32_t, PlatDeviceInstance*) { return PLAT_ERR_INVALID; }
int backend_joystick_open(const PlatGuid*, int32_t*) { return PLAT_ERR_REFUSED; }
void backend_joystick_close(int32_t) {}
int backend_joystick_poll(int32_t) { return PLAT_ERR_INVALID; }
int backend_joystick_read(int32_t, BackendJoystickRaw*) { return PLAT_ERR_REFUSED; }

// ---- display ----

int backend_allows(const char*) { return 1; }

int backend_device_open() {
    if (!g.window) {
        g.error = "cannot open the display: there is no window";
        return PLAT_ERR_REFUSED;
    }
    g.device = 1;
    return PLAT_OK;
}

void backend_device_close() {
    g.device = 0;
    g.mode_w = g.mode_h = 0;
    g.picture.clear();
    g.unpainted = 0;
}

int backend_set_mode(int32_t width, int32_t height, int32_t) {
    if (!g.device) return PLAT_ERR_REFUSED;
    g.mode_w = width;
    g.mode_h = height;
    g.picture.assign(static_cast<size_t>(width) * height, 0);
    g.unpainted = 0;
    web_js_set_mode(width, height);
    return PLAT_OK;
}

// The picture is kept as it is and turned into the canvas's pixels when the browser paints, at
// most once per display refresh, so a fade's many palette steps cost one conversion a refresh.
void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, const PaletteEntry* palette,
                     int wait_refresh) {
    if (!g.device || width != g.mode_w || height != g.mode_h) return;
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&g.picture[static_cast<size_t>(y) * width], pixels + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(width));
    if (palette) std::memcpy(g.palette, palette, sizeof g.palette);
    else std::memset(g.palette, 0, sizeof g.palette);
    g.unpainted = 1;
    web_pace_shown(wait_refresh);
}

void backend_wait_vblank() {}

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    glyph_text_draw(glyph_table_of, pixels, pitch, width, height, x, y, text, index);
    return PLAT_OK;
}

// ---- the page's paint ----

extern "C" EMSCRIPTEN_KEEPALIVE uint8_t* web_paint() {
    if (!g.unpainted || g.picture.empty()) return nullptr;
    uint32_t lut[256];
    convert_palette_to_rgba(g.palette, lut);
    g.rgba.resize(g.picture.size());
    convert_frame(g.picture.data(), g.mode_w, g.mode_w, g.mode_h, lut, g.rgba.data(), g.mode_w * 4);
    g.unpainted = 0;
    return reinterpret_cast<uint8_t*>(g.rgba.data());
}
