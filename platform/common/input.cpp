// The input object and its devices (keyboard, mouse, joystick), over the backend's key state,
// mouse motion and joysticks.
#include <cstring>
#include <new>

#include "platform/common/backend.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "platform/status.h"

namespace {

enum { AXIS_COUNT = 8, RAW_MIN = -32768, RAW_SPAN = 65535, DEFAULT_MAX = 65535 };

// The names under which each kind's requests can be refused.
struct KindNames {
    const char* create;
    const char* cooperative;
    const char* format;
    const char* acquire;
    const char* read;
};

const KindNames* names_of(int32_t kind) {
    static const KindNames keyboard{"keyboard", "keyboard_cooperative", "keyboard_format", "keyboard_acquire",
                                    "keyboard_read"};
    static const KindNames mouse{"mouse", "mouse_cooperative", "mouse_format", "mouse_acquire", "mouse_read"};
    static const KindNames joystick{"joystick", "joystick_cooperative", "joystick_format", "joystick_acquire",
                                    "joystick_read"};
    switch (kind) {
        case PLAT_INPUT_KEYBOARD: return &keyboard;
        case PLAT_INPUT_MOUSE: return &mouse;
        case PLAT_INPUT_JOYSTICK: return &joystick;
        default: return nullptr;
    }
}

uint32_t layout_size(int32_t kind) {
    switch (kind) {
        case PLAT_INPUT_KEYBOARD: return 256;
        case PLAT_INPUT_MOUSE: return sizeof(PlatMouseState);
        case PLAT_INPUT_JOYSTICK: return sizeof(PlatJoyState);
        default: return 0;
    }
}

// A raw axis value (-32768..32767) placed in min..max, rounded to the nearest.
int32_t scale_axis(int32_t raw, int32_t min, int32_t max) {
    if (raw < RAW_MIN) raw = RAW_MIN;
    if (raw > RAW_MIN + RAW_SPAN) raw = RAW_MIN + RAW_SPAN;
    const int64_t offset = int64_t(raw) - RAW_MIN;  // 0..65535
    const int64_t span = int64_t(max) - min;        // 0..2^32 - 1
    return static_cast<int32_t>(min + (2 * offset * span + RAW_SPAN) / (2 * int64_t(RAW_SPAN)));
}

}  // namespace

struct PlatInput {
    int alive = 1;
};

struct PlatInputDevice {
    int32_t kind = 0;
    int32_t format = 0;
    int acquired = 0;
    int32_t joystick = -1;  // the backend's handle of an open joystick
    int32_t range_min[AXIS_COUNT] = {};
    int32_t range_max[AXIS_COUNT] = {DEFAULT_MAX, DEFAULT_MAX, DEFAULT_MAX, DEFAULT_MAX,
                                     DEFAULT_MAX, DEFAULT_MAX, DEFAULT_MAX, DEFAULT_MAX};
};

int plat_input_create(PlatInput** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!backend_allows("input")) return PLAT_ERR_REFUSED;
    PlatInput* in = new (std::nothrow) PlatInput;
    if (!in) return PLAT_ERR_NO_MEMORY;
    *out = in;
    return PLAT_OK;
}

void plat_input_release(PlatInput* input) { delete input; }

namespace {

int open_joystick(const PlatGuid* guid, PlatInputDevice** out) {
    int32_t handle = -1;
    const int r = backend_joystick_open(guid, &handle);
    if (r != PLAT_OK) return r;
    PlatInputDevice* d = new (std::nothrow) PlatInputDevice;
    if (!d) {
        backend_joystick_close(handle);
        return PLAT_ERR_NO_MEMORY;
    }
    d->kind = PLAT_INPUT_JOYSTICK;
    d->joystick = handle;
    *out = d;
    return PLAT_OK;
}

}  // namespace

int plat_input_device_create(PlatInput* input, int32_t kind, PlatInputDevice** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!input) return PLAT_ERR_INVALID;
    const KindNames* names = names_of(kind);
    if (!names) return PLAT_ERR_UNSUPPORTED;
    if (!backend_allows(names->create)) return PLAT_ERR_REFUSED;
    if (kind == PLAT_INPUT_JOYSTICK) {
        PlatDeviceInstance first{};
        if (backend_joystick_count() < 1 || backend_joystick_info(0, &first) != PLAT_OK) return PLAT_ERR_REFUSED;
        return open_joystick(&first.guidInstance, out);
    }
    PlatInputDevice* d = new (std::nothrow) PlatInputDevice;
    if (!d) return PLAT_ERR_NO_MEMORY;
    d->kind = kind;
    *out = d;
    return PLAT_OK;
}

int plat_input_enum_joysticks(PlatInput* input, PlatEnumCallback callback, void* reference) {
    if (!input || !callback) return PLAT_ERR_INVALID;
    if (!backend_allows("joystick_enum")) return PLAT_ERR_REFUSED;
    const int32_t n = backend_joystick_count();
    for (int32_t i = 0; i < n; ++i) {
        PlatDeviceInstance info{};
        if (backend_joystick_info(i, &info) != PLAT_OK) continue;
        info.tszProductName[sizeof info.tszProductName - 1] = 0;
        if (callback(&info, reference) == PLAT_ENUM_STOP) break;
    }
    return PLAT_OK;
}

int plat_input_device_create_instance(PlatInput* input, const PlatGuid* guid, PlatInputDevice** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!input || !guid) return PLAT_ERR_INVALID;
    if (!backend_allows("joystick")) return PLAT_ERR_REFUSED;
    return open_joystick(guid, out);
}

int plat_input_device_set_cooperative(PlatInputDevice* device, uint32_t flags) {
    if (!device) return PLAT_ERR_INVALID;
    if ((flags & (PLAT_COOP_NONEXCLUSIVE | PLAT_COOP_BACKGROUND)) != flags) return PLAT_ERR_INVALID;
    return backend_allows(names_of(device->kind)->cooperative) ? PLAT_OK : PLAT_ERR_REFUSED;
}

int plat_input_device_set_format(PlatInputDevice* device, int32_t kind) {
    if (!device || kind != device->kind) return PLAT_ERR_INVALID;
    if (!backend_allows(names_of(device->kind)->format)) return PLAT_ERR_REFUSED;
    device->format = kind;
    return PLAT_OK;
}

int plat_input_device_set_range(PlatInputDevice* device, const PlatAxisRange* range) {
    if (!device || !range || device->kind != PLAT_INPUT_JOYSTICK) return PLAT_ERR_INVALID;
    if (range->dwSize != sizeof(PlatAxisRange) || range->dwHeaderSize != 16 ||
        range->dwHow != PLAT_PROPERTY_BY_OFFSET || range->dwObj % 4 != 0 || range->dwObj / 4 >= AXIS_COUNT ||
        range->lMin > range->lMax)
        return PLAT_ERR_INVALID;
    if (!backend_allows("joystick_range")) return PLAT_ERR_REFUSED;
    device->range_min[range->dwObj / 4] = range->lMin;
    device->range_max[range->dwObj / 4] = range->lMax;
    return PLAT_OK;
}

int plat_input_device_acquire(PlatInputDevice* device) {
    if (!device || device->format == 0) return PLAT_ERR_INVALID;
    if (!backend_allows(names_of(device->kind)->acquire)) return PLAT_ERR_REFUSED;
    if (device->kind == PLAT_INPUT_MOUSE && !device->acquired) {
        // The first read tells the motion since the mouse was acquired.
        int32_t dx, dy, dz;
        uint8_t buttons[4];
        backend_pump_events();
        backend_mouse_take(&dx, &dy, &dz, buttons);
    }
    device->acquired = 1;
    return PLAT_OK;
}

int plat_input_device_unacquire(PlatInputDevice* device) {
    if (!device) return PLAT_ERR_INVALID;
    device->acquired = 0;
    return PLAT_OK;
}

void plat_input_device_release(PlatInputDevice* device) {
    if (!device) return;
    if (device->joystick >= 0) backend_joystick_close(device->joystick);
    delete device;
}

int plat_input_device_poll(PlatInputDevice* device) {
    if (!device || device->kind != PLAT_INPUT_JOYSTICK) return PLAT_ERR_INVALID;
    if (!device->acquired) return PLAT_ERR_REFUSED;
    if (!backend_allows("joystick_poll")) return PLAT_ERR_REFUSED;
    return backend_joystick_poll(device->joystick) == PLAT_OK ? PLAT_OK : PLAT_ERR_REFUSED;
}

namespace {

void read_keyboard(uint8_t* out) {
    backend_pump_events();
    const uint8_t* scancodes = backend_scancode_state();
    std::memset(out, 0, 256);
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) {
        const KeyInfo& info = key_info(sc);
        if (scancodes[sc] && info.key_code) out[info.key_code] = 0x80;
    }
}

void read_mouse(PlatMouseState* out) {
    backend_pump_events();
    uint8_t buttons[4] = {};
    backend_mouse_take(&out->lX, &out->lY, &out->lZ, buttons);
    for (int i = 0; i < 4; ++i) out->rgbButtons[i] = buttons[i] ? 0x80 : 0;
}

int read_joystick(const PlatInputDevice* device, PlatJoyState* out) {
    BackendJoystickRaw raw{};
    if (backend_joystick_read(device->joystick, &raw) != PLAT_OK) return PLAT_ERR_REFUSED;
    int32_t axes[AXIS_COUNT];
    for (int i = 0; i < AXIS_COUNT; ++i)
        axes[i] = i < raw.axis_count ? scale_axis(raw.axes[i], device->range_min[i], device->range_max[i]) : 0;
    std::memset(out, 0, sizeof *out);
    out->lX = axes[0];
    out->lY = axes[1];
    out->lZ = axes[2];
    out->lRx = axes[3];
    out->lRy = axes[4];
    out->lRz = axes[5];
    out->rglSlider[0] = axes[6];
    out->rglSlider[1] = axes[7];
    for (int i = 0; i < 4; ++i) out->rgdwPOV[i] = raw.pov[i];
    for (int i = 0; i < 32; ++i) out->rgbButtons[i] = raw.buttons[i] ? 0x80 : 0;
    return PLAT_OK;
}

}  // namespace

int plat_input_device_get_state(PlatInputDevice* device, void* state, uint32_t size) {
    if (!device || !state) return PLAT_ERR_INVALID;
    if (!device->acquired) return PLAT_ERR_REFUSED;
    if (size != layout_size(device->kind)) return PLAT_ERR_INVALID;
    if (!backend_allows(names_of(device->kind)->read)) return PLAT_ERR_REFUSED;
    switch (device->kind) {
        case PLAT_INPUT_KEYBOARD: read_keyboard(static_cast<uint8_t*>(state)); return PLAT_OK;
        case PLAT_INPUT_MOUSE: read_mouse(static_cast<PlatMouseState*>(state)); return PLAT_OK;
        case PLAT_INPUT_JOYSTICK: return read_joystick(device, static_cast<PlatJoyState*>(state));
        default: return PLAT_ERR_INVALID;
    }
}
