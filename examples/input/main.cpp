// Input: the keyboard, the mouse and a joystick, each read once a frame as a snapshot.
//
// keyboard_read fills keyboard_state, a byte per key code that is non-zero while the key is down;
// mouse_read fills mouse_state with the motion and the wheel's turn since the previous read and
// the buttons held; joystick_read fills joystick_state with the axes (in the ranges asked for),
// the hats and the buttons of the first joystick attached at start-up. This example shows all
// three: the keys held by name, a pointer that follows the mouse, and the joystick's stick and
// buttons.
//
// Keys: every key shows while it is held; Escape ends.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include <zarn/zarn.h>

#include "../common/example.h"

namespace {

enum { RED = 0, GREEN = 64, BLUE = 128, GREY = 192 };  // ramps of the display's start-up palette

// Names of the key codes: the keyboard's scan codes, with 0x80 added for the keys sent with the
// extended prefix (arrows, the block above them, right-hand modifiers, keypad Enter and /).
struct KeyName {
    uint8_t code;
    const char* name;
};
// clang-format off
const KeyName kKeyNames[] = {
    {0x01, "Esc"}, {0x02, "1"}, {0x03, "2"}, {0x04, "3"}, {0x05, "4"}, {0x06, "5"}, {0x07, "6"}, {0x08, "7"},
    {0x09, "8"}, {0x0A, "9"}, {0x0B, "0"}, {0x0C, "-"}, {0x0D, "="}, {0x0E, "Backspace"}, {0x0F, "Tab"},
    {0x10, "Q"}, {0x11, "W"}, {0x12, "E"}, {0x13, "R"}, {0x14, "T"}, {0x15, "Y"}, {0x16, "U"}, {0x17, "I"},
    {0x18, "O"}, {0x19, "P"}, {0x1A, "["}, {0x1B, "]"}, {0x1C, "Enter"}, {0x1D, "Left Ctrl"}, {0x1E, "A"},
    {0x1F, "S"}, {0x20, "D"}, {0x21, "F"}, {0x22, "G"}, {0x23, "H"}, {0x24, "J"}, {0x25, "K"}, {0x26, "L"},
    {0x27, ";"}, {0x28, "'"}, {0x29, "`"}, {0x2A, "Left Shift"}, {0x2B, "\\"}, {0x2C, "Z"}, {0x2D, "X"},
    {0x2E, "C"}, {0x2F, "V"}, {0x30, "B"}, {0x31, "N"}, {0x32, "M"}, {0x33, ","}, {0x34, "."}, {0x35, "/"},
    {0x36, "Right Shift"}, {0x37, "Keypad *"}, {0x38, "Left Alt"}, {0x39, "Space"}, {0x3A, "Caps Lock"},
    {0x3B, "F1"}, {0x3C, "F2"}, {0x3D, "F3"}, {0x3E, "F4"}, {0x3F, "F5"}, {0x40, "F6"}, {0x41, "F7"},
    {0x42, "F8"}, {0x43, "F9"}, {0x44, "F10"}, {0x45, "Num Lock"}, {0x46, "Scroll Lock"}, {0x47, "Keypad 7"},
    {0x48, "Keypad 8"}, {0x49, "Keypad 9"}, {0x4A, "Keypad -"}, {0x4B, "Keypad 4"}, {0x4C, "Keypad 5"},
    {0x4D, "Keypad 6"}, {0x4E, "Keypad +"}, {0x4F, "Keypad 1"}, {0x50, "Keypad 2"}, {0x51, "Keypad 3"},
    {0x52, "Keypad 0"}, {0x53, "Keypad ."}, {0x56, "<>"}, {0x57, "F11"}, {0x58, "F12"}, {0x9C, "Keypad Enter"},
    {0x9D, "Right Ctrl"}, {0xB5, "Keypad /"}, {0xB7, "Print Screen"}, {0xB8, "Right Alt"}, {0xC5, "Pause"},
    {0xC7, "Home"}, {0xC8, "Up"}, {0xC9, "Page Up"}, {0xCB, "Left"}, {0xCD, "Right"}, {0xCF, "End"},
    {0xD0, "Down"}, {0xD1, "Page Down"}, {0xD2, "Insert"}, {0xD3, "Delete"}, {0xDB, "Left Windows"},
    {0xDC, "Right Windows"}, {0xDD, "Menu"},
};
// clang-format on

void key_name(int code, char* out, size_t size) {
    for (const KeyName& k : kKeyNames)
        if (k.code == code) {
            std::snprintf(out, size, "%s", k.name);
            return;
        }
    std::snprintf(out, size, "key 0x%02X", code);
}

// The keys held, by name, each on a key cap; caps run on in rows across the panel.
void draw_keys(int32_t left, int32_t top) {
    int32_t x = left, y = top, held = 0;
    char name[24];
    for (int code = 0; code < 256; ++code) {
        if (!keyboard_state[code]) continue;
        key_name(code, name, sizeof name);
        const int32_t width = 14 + 8 * static_cast<int32_t>(std::strlen(name));  // about 8 pixels a letter
        if (x + width > 620) {
            x = left;
            y += 30;
        }
        rect_fill(x, y, x + width, y + 24, GREY + 40, display_back);
        rect_fill(x + 2, y + 2, x + width - 2, y + 20, GREY + 52, display_back);
        text_draw(name, x + 7, y + 4, 0x101010, display_back);
        x += width + 6;
        ++held;
    }
    if (!held) text_draw("(none: hold some keys)", left, top + 4, 0x909090, display_back);
}

// A panel with a title: a frame of one colour round a darker inside.
void draw_panel(const char* title, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    rect_fill(x1, y1, x2, y2, GREY + 14, display_back);
    rect_fill(x1 + 1, y1 + 1, x2 - 1, y2 - 1, GREY + 6, display_back);
    text_draw(title, x1 + 8, y1 + 5, 0xB0B0B0, display_back);
}

// A box lit while its button is down (the snapshots write 0x80 for a button held).
void draw_button(int32_t x, int32_t y, int32_t size, uint8_t down, uint8_t lit) {
    rect_fill(x, y, x + size, y + size, GREY + 16, display_back);
    rect_fill(x + 2, y + 2, x + size - 2, y + size - 2, down ? lit : GREY + 4, display_back);
}

}  // namespace

int main(int argc, char** argv) {
    if (!example_start("input", argc, argv)) return 1;

    // The keyboard is open (example_start); the mouse and the first joystick are made from the
    // same input object. The joystick's x and y will read from -100 to 100.
    const int have_mouse = mouse_init();
    const int have_joystick = joystick_init(-100, 100, -100, 100);

    int32_t pointer_x = 480, pointer_y = 220, wheel = 0;
    while (example_running()) {  // reads the keyboard
        clock_start();
        mouse_read();
        pointer_x = std::clamp(pointer_x + mouse_state.lX, 0, 639);  // the motion since the last read
        pointer_y = std::clamp(pointer_y + mouse_state.lY, 0, 479);
        wheel += mouse_state.lZ / 120;  // 120 a notch, positive away from you
        if (have_joystick) joystick_read();

        char text[128];
        display_fill_surface(display_back, GREY + 2);
        text_draw("Hold keys, move the mouse, press its buttons, turn its wheel   Esc: quit", 10, 10, 0xFFFFFF,
                  display_back);

        draw_panel("Keyboard: the keys held", 10, 36, 630, 140);
        draw_keys(20, 60);

        draw_panel(have_mouse ? "Mouse" : "Mouse: none", 10, 150, 630, 266);
        std::snprintf(text, sizeof text, "pointer %d, %d   moved %d, %d", pointer_x, pointer_y, mouse_state.lX,
                      mouse_state.lY);
        text_draw(text, 20, 172, 0xFFFFFF, display_back);
        for (int b = 0; b < 4; ++b) draw_button(20 + b * 56, 196, 44, mouse_state.rgbButtons[b], GREEN + 63);
        text_draw("left      right     middle    fourth", 22, 244, 0xA0A0A0, display_back);
        // The wheel: a bar that grows up or down from the middle, a notch at a time.
        std::snprintf(text, sizeof text, "wheel %d", wheel);
        text_draw(text, 300, 172, 0xFFFFFF, display_back);
        rect_fill(300, 194, 316, 258, GREY + 16, display_back);
        const int32_t notch = std::clamp(wheel, -8, 8) * 4;
        rect_fill(301, notch < 0 ? 226 : 226 - notch, 315, notch < 0 ? 226 - notch : 226, BLUE + 63, display_back);

        draw_panel("Joystick", 10, 276, 630, 470);
        if (!have_joystick) {
            text_draw("none found at start-up (plug one in and start again)", 20, 300, 0x909090, display_back);
        } else {
            // A hat reads hundredths of degrees clockwise from up, 0xFFFFFFFF when centred.
            const uint32_t hat = joystick_state.rgdwPOV[0];
            std::snprintf(text, sizeof text, "%s   x %d  y %d   hat %s%d", joystick_name, joystick_state.lX,
                          joystick_state.lY, hat == 0xFFFFFFFFu ? "centred " : "",
                          hat == 0xFFFFFFFFu ? 0 : int(hat / 100));
            text_draw(text, 20, 300, 0xFFFFFF, display_back);
            // The stick: a dot in a square of 100 x 100, centred when x and y read 0.
            rect_fill(20, 330, 122, 432, GREY + 16, display_back);
            rect_fill(21, 331, 121, 431, GREY + 3, display_back);
            const int32_t dot_x = 71 + joystick_state.lX / 2, dot_y = 381 + joystick_state.lY / 2;
            rect_fill(dot_x - 4, dot_y - 4, dot_x + 5, dot_y + 5, RED + 63, display_back);
            for (int b = 0; b < 32; ++b)
                draw_button(150 + (b % 16) * 29, 340 + (b / 16) * 30, 25, joystick_state.rgbButtons[b], BLUE + 63);
        }

        // The pointer: a cross of two thin rectangles, drawn last so that it lies on top.
        rect_fill(pointer_x - 8, pointer_y, pointer_x + 9, pointer_y + 1, GREY + 63, display_back);
        rect_fill(pointer_x, pointer_y - 8, pointer_x + 1, pointer_y + 9, GREY + 63, display_back);
        display_flip();
        clock_wait(EXAMPLE_FRAME_MS);
    }

    // input_shutdown (in example_stop) releases the mouse and the joystick with the keyboard.
    example_stop();
    return 0;
}
