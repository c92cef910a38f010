// Input's operations for the call-sequence fuzzer: the input object, keyboard, mouse and joystick,
// the platform's devices beneath them, and the headless script's keys, mouse and joysticks.
#include "api.h"

#include <cstring>

#include "platform/status.h"

namespace {

void op_input_init(Input&) { input_init(); }
void op_input_shutdown(Input&) { input_shutdown(); }
void op_keyboard_init(Input&) { keyboard_init(); }
void op_keyboard_read(Input&) { keyboard_read(); }
void op_keyboard_release(Input&) { keyboard_release(); }
void op_mouse_init(Input&) { mouse_init(); }
void op_mouse_read(Input&) { mouse_read(); }
void op_mouse_release(Input&) { mouse_release(); }

void op_joystick_init(Input& in) {
    const int32_t a = in.value(), b = in.value(), c = in.value(), d = in.value();
    joystick_init(a, b, c, d);
}

void op_joystick_read(Input&) { joystick_read(); }
void op_joystick_release(Input&) { joystick_release(); }

void op_joystick_enum_callback(Input& in) {
    PlatDeviceInstance instance;
    std::memset(&instance, in.coin() ? 'J' : 0, sizeof instance);  // a name that may have no end
    PlatGuid guid{};
    joystick_enum_callback(in.pick(8) ? &instance : nullptr, in.coin() ? &guid : nullptr);
}

int count_joysticks(const PlatDeviceInstance*, void* reference) {
    int* n = static_cast<int*>(reference);
    return ++*n >= 2 ? PLAT_ENUM_STOP : PLAT_ENUM_CONTINUE;
}

void op_plat_input_create(Input& in) {
    PlatInput*& slot = empty_slot(pick_slot(in, w.inputs), plat_input_release);
    plat_input_create(in.pick(16) ? &slot : nullptr);
}

void op_plat_input_release(Input& in) { empty_slot(pick_slot(in, w.inputs), plat_input_release); }

void op_plat_input_device_create(Input& in) {
    PlatInput* input = input_arg(in);
    const int32_t kind = in.pick(4) ? in.pick(5) : in.value();
    PlatInputDevice*& slot = empty_slot(pick_slot(in, w.input_devices), plat_input_device_release);
    if (in.pick(2)) {
        plat_input_device_create(input, kind, in.pick(16) ? &slot : nullptr);
    } else {
        PlatGuid guid = joystick_guid;
        if (in.pick(4) == 0) guid.data[in.pick(16)] ^= 1;
        plat_input_device_create_instance(input, in.pick(16) ? &guid : nullptr, in.pick(16) ? &slot : nullptr);
    }
}

void op_plat_input_device_release(Input& in) { empty_slot(pick_slot(in, w.input_devices), plat_input_device_release); }

void op_plat_input_enum_joysticks(Input& in) {
    PlatInput* input = input_arg(in);
    int count = 0;
    switch (in.pick(3)) {
        case 0: plat_input_enum_joysticks(input, count_joysticks, &count); break;
        case 1: plat_input_enum_joysticks(input, joystick_enum_callback, &joystick_guid); break;
        default: plat_input_enum_joysticks(input, nullptr, nullptr); break;
    }
}

void op_plat_input_device_calls(Input& in) {
    PlatInputDevice* d = input_device_arg(in);
    switch (in.pick(7)) {
        case 0: plat_input_device_set_cooperative(d, in.pick(2) ? 0x0A : in.uvalue()); break;
        case 1: plat_input_device_set_format(d, in.pick(2) ? in.pick(4) : in.value()); break;
        case 2: {
            PlatAxisRange r{sizeof(PlatAxisRange),   16,         static_cast<uint32_t>(4 * in.pick(9)),
                            PLAT_PROPERTY_BY_OFFSET, in.value(), in.value()};
            switch (in.pick(5)) {
                case 0: r.dwSize = in.uvalue(); break;
                case 1: r.dwObj = in.uvalue(); break;
                case 2: r.dwHow = in.uvalue(); break;
                default: break;
            }
            plat_input_device_set_range(d, in.pick(16) ? &r : nullptr);
            break;
        }
        case 3: plat_input_device_poll(d); break;
        case 4: plat_input_device_acquire(d); break;
        case 5: plat_input_device_unacquire(d); break;
        default: {
            uint8_t state[256];
            static const uint32_t SIZES[] = {256, sizeof(PlatMouseState), sizeof(PlatJoyState), 0, 255, 4};
            plat_input_device_get_state(d, in.pick(16) ? state : nullptr, SIZES[in.pick(6)]);
            break;
        }
    }
}

void op_headless_keys(Input& in) {
    switch (in.pick(3)) {
        case 0: {
            const int32_t code = in.pick(2) ? in.byte() : in.value();
            headless_key_set(code, in.coin());
            break;
        }
        case 1: {
            const int32_t sc = in.pick(2) ? in.byte() : in.value();
            headless_scancode_set(sc, in.coin());
            break;
        }
        default: headless_keys_clear(); break;
    }
}

void op_headless_mouse(Input& in) {
    if (in.pick(3) == 0) {
        const int32_t button = in.pick(2) ? in.pick(4) : in.value();
        headless_mouse_button(button, in.coin());
        return;
    }
    const int32_t dx = in.value(), dy = in.value(), wheel = in.value();
    headless_mouse_move(dx, dy, wheel);
}

void op_headless_joystick(Input& in) {
    static const char LONG_NAME[] =
        "A joystick whose product name runs on far past the length that the snapshot keeps of it, "
        "and then some more, so that every cut on the way is met: enumeration, the name record, "
        "and the backend's own copy of it. Still going, and going, and going, to the very end....";
    const int32_t n = in.pick(3) ? in.pick(3) : in.value();
    switch (in.pick(6)) {
        case 0: {
            const int32_t c = in.pick(4);
            headless_joystick_attach(c == 0 ? nullptr : c == 1 ? LONG_NAME : "Pad");
            break;
        }
        case 1: headless_joystick_detach(n); break;
        case 2: {
            const int32_t axis = in.pick(2) ? in.pick(8) : in.value();
            headless_joystick_axis(n, axis, in.value());
            break;
        }
        case 3: {
            const int32_t hat = in.pick(2) ? in.pick(4) : in.value();
            headless_joystick_pov(n, hat, in.uvalue());
            break;
        }
        case 4: {
            const int32_t button = in.pick(2) ? in.pick(32) : in.value();
            headless_joystick_button(n, button, in.coin());
            break;
        }
        default: headless_joystick_open_count(); break;
    }
}

const Op INPUT_OPS[] = {
    OP(input_init),
    OP(input_shutdown),
    OP(keyboard_init),
    OP(keyboard_read),
    OP(keyboard_release),
    OP(mouse_init),
    OP(mouse_read),
    OP(mouse_release),
    OP(joystick_init),
    OP(joystick_read),
    OP(joystick_release),
    OP(joystick_enum_callback),
    OP(plat_input_create),
    OP(plat_input_release),
    OP(plat_input_device_create),
    OP(plat_input_device_release),
    OP(plat_input_enum_joysticks),
    OP(plat_input_device_calls),
    OP(headless_keys),
    OP(headless_mouse),
    OP(headless_joystick),
};

}  // namespace

const OpTable input_ops = INPUT_OPS;
