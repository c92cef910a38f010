// The input object and its devices, over the backend's key state.
#include <cstring>
#include <new>

#include "platform/common/backend.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "platform/status.h"

struct PlatInput {
    int alive = 1;
};

struct PlatInputDevice {
    int32_t kind = 0;
    int32_t format = 0;
    int acquired = 0;
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

int plat_input_device_create(PlatInput* input, int32_t kind, PlatInputDevice** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!input) return PLAT_ERR_INVALID;
    if (kind != PLAT_INPUT_KEYBOARD) return PLAT_ERR_UNSUPPORTED;
    if (!backend_allows("keyboard")) return PLAT_ERR_REFUSED;
    PlatInputDevice* d = new (std::nothrow) PlatInputDevice;
    if (!d) return PLAT_ERR_NO_MEMORY;
    d->kind = kind;
    *out = d;
    return PLAT_OK;
}

int plat_input_device_set_cooperative(PlatInputDevice* device, uint32_t flags) {
    if (!device) return PLAT_ERR_INVALID;
    if ((flags & (PLAT_COOP_NONEXCLUSIVE | PLAT_COOP_BACKGROUND)) != flags) return PLAT_ERR_INVALID;
    return backend_allows("keyboard_cooperative") ? PLAT_OK : PLAT_ERR_REFUSED;
}

int plat_input_device_set_format(PlatInputDevice* device, int32_t kind) {
    if (!device || kind != device->kind) return PLAT_ERR_INVALID;
    if (!backend_allows("keyboard_format")) return PLAT_ERR_REFUSED;
    device->format = kind;
    return PLAT_OK;
}

int plat_input_device_acquire(PlatInputDevice* device) {
    if (!device || device->format == 0) return PLAT_ERR_INVALID;
    if (!backend_allows("keyboard_acquire")) return PLAT_ERR_REFUSED;
    device->acquired = 1;
    return PLAT_OK;
}

int plat_input_device_unacquire(PlatInputDevice* device) {
    if (!device) return PLAT_ERR_INVALID;
    device->acquired = 0;
    return PLAT_OK;
}

void plat_input_device_release(PlatInputDevice* device) { delete device; }

int plat_input_device_get_state(PlatInputDevice* device, void* state, uint32_t size) {
    if (!device || !state) return PLAT_ERR_INVALID;
    if (!device->acquired) return PLAT_ERR_REFUSED;
    if (device->kind != PLAT_INPUT_KEYBOARD || size != 256) return PLAT_ERR_INVALID;
    if (!backend_allows("keyboard_read")) return PLAT_ERR_REFUSED;
    backend_pump_events();
    const uint8_t* scancodes = backend_scancode_state();
    uint8_t* out = static_cast<uint8_t*>(state);
    std::memset(out, 0, 256);
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) {
        const KeyInfo& info = key_info(sc);
        if (scancodes[sc] && info.key_code) out[info.key_code] = 0x80;
    }
    return PLAT_OK;
}
