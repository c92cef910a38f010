// The SDL backend's keyboard, mouse and joysticks: keys by physical position, mouse motion
// gathered from events, joysticks through SDL's joystick subsystem.
#include <SDL.h>

#include <cstring>

#include "platform/common/backend.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

void sdl_keys_refresh() {
    int n = 0;
    const Uint8* keys = SDL_GetKeyboardState(&n);
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) sdl.scancodes[sc] = (keys && sc < n) ? keys[sc] : 0;
    sdl_pads_press(sdl.scancodes);
}

const uint8_t* backend_scancode_state() { return sdl.scancodes; }

// Gathers mouse motion as the desktop reports it. Installed before the renderer, whose own
// watch rescales motion to the logical picture (and rounds slow motion away), so this one sees
// the events first.
int sdl_mouse_watch(void*, SDL_Event* e) {
    if (e->type == SDL_MOUSEMOTION) {
        backend_motion_add(sdl.mouse_dx, e->motion.xrel);
        backend_motion_add(sdl.mouse_dy, e->motion.yrel);
    } else if (e->type == SDL_MOUSEWHEEL) {
        const int64_t notches = e->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -int64_t{e->wheel.y} : e->wheel.y;
        backend_motion_add(sdl.mouse_dz, notches * 120);
    }
    return 1;
}

namespace {

// SDL's joystick subsystem runs while joysticks are being enumerated or are open.
int joystick_system_up() {
    if (sdl.joystick_system) return 1;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
    sdl.joystick_system = 1;
    return 1;
}

void joystick_system_idle() {
    if (sdl.joystick_system && sdl.joysticks.empty()) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        sdl.joystick_system = 0;
    }
}

SDL_Joystick* open_joystick(int32_t handle) {
    for (SDL_Joystick* j : sdl.joysticks)
        if (SDL_JoystickInstanceID(j) == handle) return j;
    return nullptr;
}

PlatGuid guid_at(int index) {
    const SDL_JoystickGUID sg = SDL_JoystickGetDeviceGUID(index);
    PlatGuid out{};
    static_assert(sizeof sg.data == sizeof out.data, "both identifiers are 16 bytes");
    std::memcpy(out.data, sg.data, sizeof out.data);
    return out;
}

// A hat's directions as hundredths of degrees clockwise from up; centred is 0xFFFFFFFF.
uint32_t pov_of_hat(Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return 0xFFFFFFFFu;
    }
}

}  // namespace

void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dx = sdl.mouse_dx;
    *dy = sdl.mouse_dy;
    *dz = sdl.mouse_dz;
    sdl.mouse_dx = sdl.mouse_dy = sdl.mouse_dz = 0;
    const Uint32 held = sdl.window ? SDL_GetMouseState(nullptr, nullptr) : 0;
    buttons[0] = (held & SDL_BUTTON_LMASK) ? 1 : 0;
    buttons[1] = (held & SDL_BUTTON_RMASK) ? 1 : 0;
    buttons[2] = (held & SDL_BUTTON_MMASK) ? 1 : 0;
    buttons[3] = (held & SDL_BUTTON_X1MASK) ? 1 : 0;
}

int32_t backend_joystick_count() {
    if (!joystick_system_up()) return 0;
    const int n = SDL_NumJoysticks();
    joystick_system_idle();
    return n > 0 ? n : 0;
}

int backend_joystick_info(int32_t index, PlatDeviceInstance* info) {
    if (!joystick_system_up()) return PLAT_ERR_REFUSED;
    int r = PLAT_ERR_INVALID;
    if (index >= 0 && index < SDL_NumJoysticks()) {
        std::memset(info, 0, sizeof *info);
        info->guidInstance = guid_at(index);
        const char* name = SDL_JoystickNameForIndex(index);
        SDL_strlcpy(info->tszProductName, name ? name : "", sizeof info->tszProductName);
        r = PLAT_OK;
    }
    joystick_system_idle();
    return r;
}

int backend_joystick_open(const PlatGuid* guid, int32_t* handle) {
    if (!joystick_system_up()) return PLAT_ERR_REFUSED;
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i) {
        const PlatGuid at = guid_at(i);
        if (std::memcmp(at.data, guid->data, sizeof at.data) != 0) continue;
        SDL_Joystick* j = SDL_JoystickOpen(i);
        if (!j) break;
        sdl.joysticks.push_back(j);
        *handle = SDL_JoystickInstanceID(j);
        return PLAT_OK;
    }
    joystick_system_idle();
    return PLAT_ERR_REFUSED;
}

void backend_joystick_close(int32_t handle) {
    for (size_t i = 0; i < sdl.joysticks.size(); ++i)
        if (SDL_JoystickInstanceID(sdl.joysticks[i]) == handle) {
            SDL_JoystickClose(sdl.joysticks[i]);
            sdl.joysticks.erase(sdl.joysticks.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    joystick_system_idle();
}

int backend_joystick_poll(int32_t handle) {
    SDL_Joystick* j = open_joystick(handle);
    if (!j) return PLAT_ERR_INVALID;
    SDL_JoystickUpdate();
    return SDL_JoystickGetAttached(j) ? PLAT_OK : PLAT_ERR_REFUSED;
}

int backend_joystick_read(int32_t handle, BackendJoystickRaw* raw) {
    SDL_Joystick* j = open_joystick(handle);
    if (!j || !SDL_JoystickGetAttached(j)) return PLAT_ERR_REFUSED;
    std::memset(raw, 0, sizeof *raw);
    const int axes = SDL_JoystickNumAxes(j);
    raw->axis_count = axes < 0 ? 0 : (axes > 8 ? 8 : axes);
    for (int i = 0; i < raw->axis_count; ++i) raw->axes[i] = SDL_JoystickGetAxis(j, i);
    const int hats = SDL_JoystickNumHats(j);
    for (int i = 0; i < 4; ++i) raw->pov[i] = i < hats ? pov_of_hat(SDL_JoystickGetHat(j, i)) : 0xFFFFFFFFu;
    const int buttons = SDL_JoystickNumButtons(j);
    for (int i = 0; i < 32 && i < buttons; ++i) raw->buttons[i] = SDL_JoystickGetButton(j, i) ? 1 : 0;
    return PLAT_OK;
}
