// The mouse and joystick snapshots through the headless sources, and their refusals.
#include <cstring>
#include <string>

#include "headless_fixture.h"
#include "input/device.h"
#include "input/joystick.h"
#include "input/mouse.h"
#include "platform/status.h"

namespace {

class MouseJoystick : public Headless {
protected:
    void SetUp() override {
        Headless::SetUp();
        joystick_found = 0;  // kept for the whole run otherwise
        std::memset(&joystick_guid, 0, sizeof joystick_guid);
        std::memset(&joystick_state, 0, sizeof joystick_state);
        std::memset(&mouse_state, 0, sizeof mouse_state);
        std::memset(joystick_name, 0, sizeof joystick_name);
    }
};

bool all_zero(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

TEST_F(MouseJoystick, MouseReportsMotionSinceThePreviousRead) {
    ASSERT_EQ(input_init(), 1);
    headless_mouse_move(50, 50, 0);  // before the mouse is acquired: never reported
    ASSERT_EQ(mouse_init(), 1);
    headless_mouse_move(3, -4, 120);
    headless_mouse_move(2, 1, 0);
    headless_mouse_button(0, 1);
    headless_mouse_button(3, 1);
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 5);
    EXPECT_EQ(mouse_state.lY, -3);
    EXPECT_EQ(mouse_state.lZ, 120);
    EXPECT_EQ(mouse_state.rgbButtons[0], 0x80);
    EXPECT_EQ(mouse_state.rgbButtons[1], 0);
    EXPECT_EQ(mouse_state.rgbButtons[3], 0x80);
    // No movement between two reads: the second gives 0, buttons still held.
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 0);
    EXPECT_EQ(mouse_state.lY, 0);
    EXPECT_EQ(mouse_state.lZ, 0);
    EXPECT_EQ(mouse_state.rgbButtons[0], 0x80);

    // A refused read keeps the snapshot; the motion is not lost.
    headless_mouse_move(7, 0, 0);
    headless_refuse("mouse_read", 1);
    EXPECT_EQ(mouse_read(), 0);
    EXPECT_EQ(mouse_state.lX, 0);
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, 7);

    // Motion scripted past the int range stops at its ends.
    for (int i = 0; i < 2; ++i) headless_mouse_move(INT32_MAX, INT32_MIN, INT32_MAX);
    headless_mouse_move(-1, 1, -1);
    ASSERT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lX, INT32_MAX - 1);
    EXPECT_EQ(mouse_state.lY, INT32_MIN + 1);
    EXPECT_EQ(mouse_state.lZ, INT32_MAX - 1);

    // Released: forgotten, and the read takes the no-device path.
    mouse_release();
    EXPECT_EQ(mouse_device, nullptr);
    EXPECT_EQ(mouse_read(), 0);
    EXPECT_TRUE(all_zero(&mouse_state, sizeof mouse_state));
    mouse_release();
}

// The keyboard, the mouse and the joystick start up by one shared path. Without the input object
// none is made; a refused creation leaves none; a refused later step leaves the device made,
// unacquired and unread; the input object's end releases all three.
TEST_F(MouseJoystick, EveryDeviceStartUpStepCanBeRefused) {
    struct Device {
        const char* request;  // the creation's name; the later steps add theirs to it
        int32_t kind;
        int (*init)();
        int (*read)();
        PlatInputDevice** device;
    };
    const Device devices[] = {
        {"keyboard", PLAT_INPUT_KEYBOARD, keyboard_init, keyboard_read, &keyboard_device},
        {"mouse", PLAT_INPUT_MOUSE, mouse_init, mouse_read, &mouse_device},
        {"joystick", PLAT_INPUT_JOYSTICK, [] { return joystick_init(-1, 1, -1, 1); }, joystick_read, &joystick_device},
    };
    headless_joystick_attach("Pad");
    for (const Device& d : devices) {
        EXPECT_EQ(d.init(), 0) << d.request;  // no input object
        EXPECT_EQ(*d.device, nullptr) << d.request;
    }
    ASSERT_EQ(input_init(), 1);
    for (const Device& d : devices) {
        for (const char* step : {"", "_cooperative", "_format", "_acquire"}) {
            const std::string request = std::string(d.request) + step;
            SCOPED_TRACE(request);
            headless_refuse(request.c_str(), 1);
            EXPECT_EQ(d.init(), 0);
            EXPECT_EQ(*d.device != nullptr, *step != 0);
            EXPECT_EQ(d.read(), 0);
            EXPECT_EQ(joystick_found, 0);
        }
        ASSERT_EQ(d.init(), 1) << d.request;
        EXPECT_EQ(d.read(), 1) << d.request;
        EXPECT_EQ(input_device_configure(*d.device, d.kind), 1) << d.request;
    }
    input_shutdown();
    for (const Device& d : devices) EXPECT_EQ(*d.device, nullptr) << d.request;
    EXPECT_EQ(headless_joystick_open_count(), 0);
}

TEST_F(MouseJoystick, JoystickScalesXAndYIntoTheRangesGiven) {
    const int32_t first = headless_joystick_attach("Zarn Test Pad");
    headless_joystick_attach("Second Stick");
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(joystick_init(-100, 100, -50, 1000), 1);
    EXPECT_EQ(joystick_found, 1);
    EXPECT_STREQ(joystick_name, "Zarn Test Pad");  // only the first is used
    EXPECT_EQ(headless_joystick_open_count(), 1);
    EXPECT_EQ(joy_axis_range.dwSize, 24u);
    EXPECT_EQ(joy_axis_range.dwHeaderSize, 16u);
    EXPECT_EQ(joy_axis_range.dwObj, uint32_t(DIJOFS_Y));

    ASSERT_EQ(joystick_read(), 1);  // centred
    EXPECT_EQ(joystick_state.lX, 0);
    EXPECT_EQ(joystick_state.lY, 475);
    EXPECT_EQ(joystick_state.lZ, 32768);  // other axes in the default 0..65535
    for (uint32_t pov : joystick_state.rgdwPOV) EXPECT_EQ(pov, 0xFFFFFFFFu);

    headless_joystick_axis(first, 0, -32768);
    headless_joystick_axis(first, 1, 32767);
    headless_joystick_axis(first, 2, 32767);
    headless_joystick_pov(first, 0, 9000);
    headless_joystick_button(first, 0, 1);
    headless_joystick_button(first, 31, 1);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, -100);
    EXPECT_EQ(joystick_state.lY, 1000);
    EXPECT_EQ(joystick_state.lZ, 65535);
    EXPECT_EQ(joystick_state.rgdwPOV[0], 9000u);
    EXPECT_EQ(joystick_state.rgbButtons[0], 0x80);
    EXPECT_EQ(joystick_state.rgbButtons[1], 0);
    EXPECT_EQ(joystick_state.rgbButtons[31], 0x80);
    // The other axes in their order, each from its own raw axis, into the default 0..65535.
    struct Axis {
        int32_t raw_axis;
        const int32_t* value;
    };
    const Axis others[] = {{3, &joystick_state.lRx},
                           {4, &joystick_state.lRy},
                           {5, &joystick_state.lRz},
                           {6, &joystick_state.rglSlider[0]},
                           {7, &joystick_state.rglSlider[1]}};
    for (const Axis& a : others) headless_joystick_axis(first, a.raw_axis, a.raw_axis * 1000);
    ASSERT_EQ(joystick_read(), 1);
    for (const Axis& a : others) EXPECT_EQ(*a.value, 32768 + a.raw_axis * 1000) << "axis " << a.raw_axis;
    headless_joystick_axis(first, 0, 32767);
    headless_joystick_axis(first, 1, -32768);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 100);
    EXPECT_EQ(joystick_state.lY, -50);

    // A refused poll or read leaves the snapshot as it was.
    headless_joystick_axis(first, 0, 0);
    for (const char* step : {"joystick_poll", "joystick_read"}) {
        headless_refuse(step, 1);
        EXPECT_EQ(joystick_read(), 0) << step;
        EXPECT_EQ(joystick_state.lX, 100) << step;
    }
    // Unplugged: the reads fail and keep the last snapshot.
    headless_joystick_detach(first);
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_EQ(joystick_state.lX, 100);

    // Released: forgotten, found stays 1, the read zeroes the snapshot.
    joystick_release();
    EXPECT_EQ(joystick_device, nullptr);
    EXPECT_EQ(headless_joystick_open_count(), 0);
    EXPECT_EQ(joystick_found, 1);
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_TRUE(all_zero(&joystick_state, sizeof joystick_state));
    // The second stick is now the first attached.
    ASSERT_EQ(joystick_init(0, 10, 0, 10), 1);
    EXPECT_STREQ(joystick_name, "Second Stick");
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 5);
}

TEST_F(MouseJoystick, NoJoystickAndRefusedStartUp) {
    ASSERT_EQ(input_init(), 1);
    std::memset(&joystick_state, 0x33, sizeof joystick_state);
    EXPECT_EQ(joystick_init(-100, 100, -100, 100), 0);
    EXPECT_EQ(joystick_device, nullptr);
    EXPECT_TRUE(all_zero(&joystick_guid, sizeof joystick_guid));
    EXPECT_EQ(joystick_read(), 0);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&joystick_state)[0], 0x33);  // untouched
    std::memset(&joystick_state, 0, sizeof joystick_state);

    // A product name longer than 80 characters is cut to 79 and ended.
    const std::string long_name(300, 'J');
    headless_joystick_attach(long_name.c_str());
    headless_refuse("joystick", 1);
    EXPECT_EQ(joystick_init(-1, 1, -1, 1), 0);
    EXPECT_EQ(std::string(joystick_name), std::string(79, 'J'));
    EXPECT_FALSE(all_zero(&joystick_guid, sizeof joystick_guid));
    EXPECT_EQ(joystick_device, nullptr);
    // Refused ranges are not looked at: the axes keep the default range.
    headless_refuse("joystick_range", 2);
    ASSERT_EQ(joystick_init(-1, 1, -1, 1), 1);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 32768);
    // A range upside down is refused by the platform the same way.
    ASSERT_EQ(joystick_init(10, -10, -1, 1), 1);
    ASSERT_EQ(joystick_read(), 1);
    EXPECT_EQ(joystick_state.lX, 32768);
    EXPECT_EQ(joystick_state.lY, 0);
    EXPECT_EQ(headless_joystick_open_count(), 1);  // the second init released the first device

    // Without the input object the platform makes nothing.
    input_shutdown();
    EXPECT_EQ(plat_input_device_create(nullptr, PLAT_INPUT_JOYSTICK, &joystick_device), PLAT_ERR_INVALID);
}

TEST_F(MouseJoystick, PlatformDevicesCheckTheirLayouts) {
    PlatInput* in = reinterpret_cast<PlatInput*>(&in);  // refused: never left as it was
    headless_refuse("input", 1);
    EXPECT_EQ(plat_input_create(&in), PLAT_ERR_REFUSED);
    EXPECT_EQ(in, nullptr);
    ASSERT_EQ(plat_input_create(&in), PLAT_OK);
    struct Refused {
        const char* request;
        int32_t kind;  // 0: the joystick by its identifier
    };
    for (const Refused& r : {Refused{"keyboard", PLAT_INPUT_KEYBOARD}, Refused{"mouse", PLAT_INPUT_MOUSE},
                             Refused{"joystick", PLAT_INPUT_JOYSTICK}, Refused{"joystick", 0}}) {
        SCOPED_TRACE(r.request);
        PlatInputDevice* d = reinterpret_cast<PlatInputDevice*>(&d);
        headless_refuse(r.request, 1);
        PlatGuid any{};
        EXPECT_EQ(r.kind ? plat_input_device_create(in, r.kind, &d) : plat_input_device_create_instance(in, &any, &d),
                  PLAT_ERR_REFUSED);
        EXPECT_EQ(d, nullptr);
    }
    PlatInputDevice* m = nullptr;
    PlatInputDevice* j = nullptr;
    EXPECT_EQ(plat_input_device_create(in, PLAT_INPUT_JOYSTICK, &j), PLAT_ERR_REFUSED);  // none attached
    EXPECT_EQ(j, nullptr);
    headless_joystick_attach("Pad");
    ASSERT_EQ(plat_input_device_create(in, PLAT_INPUT_JOYSTICK, &j), PLAT_OK);
    ASSERT_EQ(plat_input_device_create(in, PLAT_INPUT_MOUSE, &m), PLAT_OK);
    EXPECT_EQ(plat_input_device_set_format(m, PLAT_INPUT_KEYBOARD), PLAT_ERR_INVALID);
    ASSERT_EQ(plat_input_device_set_format(m, PLAT_INPUT_MOUSE), PLAT_OK);
    ASSERT_EQ(plat_input_device_set_format(j, PLAT_INPUT_JOYSTICK), PLAT_OK);
    PlatMouseState ms{};
    EXPECT_EQ(plat_input_device_get_state(m, &ms, sizeof ms), PLAT_ERR_REFUSED);  // not acquired
    EXPECT_EQ(plat_input_device_poll(j), PLAT_ERR_REFUSED);
    ASSERT_EQ(plat_input_device_acquire(m), PLAT_OK);
    ASSERT_EQ(plat_input_device_acquire(j), PLAT_OK);
    uint8_t big[256] = {};
    EXPECT_EQ(plat_input_device_get_state(m, big, 256), PLAT_ERR_INVALID);
    EXPECT_EQ(plat_input_device_get_state(j, big, 16), PLAT_ERR_INVALID);
    EXPECT_EQ(plat_input_device_get_state(m, &ms, sizeof ms), PLAT_OK);
    EXPECT_EQ(plat_input_device_get_state(j, big, 80), PLAT_OK);
    EXPECT_EQ(plat_input_device_poll(m), PLAT_ERR_INVALID);
    PlatAxisRange r{24, 16, 28, DIPH_BYOFFSET, 0, 9};  // the second slider
    EXPECT_EQ(plat_input_device_set_range(j, &r), PLAT_OK);
    r.dwObj = 32;  // past the axes: a hat
    EXPECT_EQ(plat_input_device_set_range(j, &r), PLAT_ERR_INVALID);
    r.dwObj = 2;
    EXPECT_EQ(plat_input_device_set_range(j, &r), PLAT_ERR_INVALID);
    r = PlatAxisRange{20, 16, 0, DIPH_BYOFFSET, 0, 9};
    EXPECT_EQ(plat_input_device_set_range(j, &r), PLAT_ERR_INVALID);
    EXPECT_EQ(plat_input_device_set_range(m, &r), PLAT_ERR_INVALID);
    plat_input_device_release(m);
    plat_input_device_release(j);
    EXPECT_EQ(headless_joystick_open_count(), 0);
    plat_input_release(in);
}

}  // namespace
