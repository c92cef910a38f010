// Sound board: the sound table played by keys.
//
// Four WAV files and a VOC file are loaded into the table of 64 sound slots; a sound is named by
// its slot's id. Choose a row with Up and Down, then play it once or looping, stop it, change its
// volume, pan and frequency, duplicate it (a second slot that plays the same samples with its
// own position and controls, so one sound can sound twice at once) or delete it. Each row shows
// what sound_status says of its slot.
//
// Keys: Up/Down choose, Space plays, L loops, S stops, D duplicates, Delete deletes,
// A/Z volume, Left/Right pan, Page Up/Page Down frequency, Escape ends.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <zarn/zarn.h>

#include "../common/example.h"

namespace {

// Key codes of the snapshot beyond those input/keyboard.h names: the keyboard's scan codes.
enum { KEY_S = 0x1F, KEY_D = 0x20, KEY_L = 0x26, KEY_PAGE_UP = 0xC9, KEY_PAGE_DOWN = 0xD1, KEY_DELETE = 0xD3 };
// Colours of the display's start-up palette: ramps of 64 steps from these entries.
enum { RED = 0, GREEN = 64, BLUE = 128, GREY = 192 };

// What the board knows of each sound beside its slot: the platform keeps volume, pan and
// frequency but does not hand them back.
struct Row {
    int32_t id;
    char name[32];
    int32_t volume;     // 0 (quietest) to 100 (full)
    int32_t pan;        // -10000 (left only) to 10000 (right only)
    int32_t frequency;  // samples per second
};

void add_row(std::vector<Row>& rows, int32_t id, const char* name) {
    if (id < 0) return;  // there is no sound device
    Row row{id, {}, 100, 0, sound_table[id].rate};
    std::snprintf(row.name, sizeof row.name, "%s", name);
    // Sounds play at 11025 samples per second until told otherwise; the table keeps the rate
    // that the file states.
    sound_set_frequency(id, row.frequency);
    rows.push_back(row);
}

bool readable(const char* name) {
    std::FILE* file = std::fopen(name, "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

// What sound_status says of a slot, in words and as a colour: -1 for a slot that holds no sound,
// else the playing and looping flags.
struct Status {
    const char* text;
    uint8_t colour;
};

Status status_of(int32_t id) {
    const int status = sound_status(id);
    if (status < 0) return {"free", RED + 40};
    if (status & DSBSTATUS_LOOPING) return {"looping", BLUE + 63};
    if (status & DSBSTATUS_PLAYING) return {"playing", GREEN + 63};
    return {"stopped", GREY + 24};
}

void draw_row(const Row& row, int32_t y, bool chosen) {
    char text[48];
    if (chosen) rect_fill(8, y - 3, 632, y + 21, BLUE + 14, display_back);
    std::snprintf(text, sizeof text, "%2d  %s", row.id, row.name);
    text_draw(text, 16, y, 0xFFFFFF, display_back);
    const Status status = status_of(row.id);
    rect_fill(196, y + 1, 210, y + 15, status.colour, display_back);
    text_draw(status.text, 216, y, 0xFFFFFF, display_back);
    rect_fill(300, y + 4, 400, y + 12, GREY + 12, display_back);  // volume, a bar of 100 pixels
    rect_fill(300, y + 4, 300 + row.volume, y + 12, GREEN + 50, display_back);
    rect_fill(430, y + 7, 530, y + 9, GREY + 30, display_back);  // pan, a mark on a line
    const int32_t mark = 480 + row.pan / 200;
    rect_fill(mark - 2, y + 2, mark + 3, y + 14, GREY + 63, display_back);
    std::snprintf(text, sizeof text, "%d Hz", row.frequency);
    text_draw(text, 548, y, 0xFFFFFF, display_back);
}

}  // namespace

int main(int argc, char** argv) {
    if (!example_start("sound-board", argc, argv)) return 1;

    // Without a sound device the board still runs, silently and with no rows.
    char device[96] = "sound device open";
    const int device_open = sound_init();
    if (!device_open) {
        const char* why = plat_error_text();
        std::snprintf(device, sizeof device, "no sound device: %s", (why && *why) ? why : "none found");
    }
    // Volume, pan and frequency can be changed only for sounds loaded with their control flags.
    const uint32_t controls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
    std::vector<Row> rows;
    for (const char* name : {"chime.wav", "drum.wav", "engine.wav", "laser.wav", "blip.voc"}) {
        // VOC sounds always have all three controls.
        const int32_t id = std::strstr(name, ".voc") ? sound_load_voc(name) : sound_load_wav(name, controls);
        // A sound that does not load is a missing or broken file; without a device nothing loads,
        // and only a file that cannot be opened at all is missing.
        if (id < 0 && (device_open || !readable(name))) {
            example_missing(name);
            sound_shutdown();
            example_stop();
            return 1;
        }
        add_row(rows, id, name);
    }

    uint8_t keys_before[256] = {};
    size_t chosen = 0;
    while (example_running()) {
        clock_start();
        auto pressed = [&](int code) { return keyboard_state[code] && !keys_before[code]; };
        // Settings step on the press, then every sixth frame while the key stays down.
        auto stepping = [&](int code) { return pressed(code) || (keyboard_state[code] && example_frame() % 6 == 0); };
        if (pressed(DIK_UP) && chosen > 0) --chosen;
        if (pressed(DIK_DOWN) && chosen + 1 < rows.size()) ++chosen;
        if (chosen < rows.size()) {
            Row& row = rows[chosen];
            if (pressed(DIK_SPACE)) sound_play(row.id, 0);  // once, from the start
            if (pressed(KEY_L)) sound_play(row.id, DSBPLAY_LOOPING);
            if (pressed(KEY_S)) sound_stop(row.id);
            if (stepping(DIK_A) && row.volume < 100) sound_set_volume(row.id, row.volume += 10);
            if (stepping(DIK_Z) && row.volume > 0) sound_set_volume(row.id, row.volume -= 10);
            if (stepping(DIK_LEFT) && row.pan > -10000) sound_set_pan(row.id, row.pan -= 1000);
            if (stepping(DIK_RIGHT) && row.pan < 10000) sound_set_pan(row.id, row.pan += 1000);
            if (stepping(KEY_PAGE_UP) || stepping(KEY_PAGE_DOWN)) {  // a semitone up or down
                const double factor = keyboard_state[KEY_PAGE_UP] ? 1.0594631 : 1 / 1.0594631;
                const int32_t wanted = static_cast<int32_t>(std::lround(row.frequency * factor));
                if (sound_set_frequency(row.id, wanted)) row.frequency = wanted;  // refused outside 100..100000
            }
            if (pressed(KEY_D)) {
                // The duplicate starts from the source's volume, pan and frequency.
                const int32_t copy = sound_replicate(row.id);
                if (copy >= 0 && rows.size() < 12) {
                    Row twin = row;
                    twin.id = copy;
                    std::snprintf(twin.name, sizeof twin.name, "%.20s copy", row.name);
                    rows.push_back(twin);
                } else if (copy >= 0) {
                    sound_delete(copy);  // the board has no room to show it
                }
            } else if (pressed(KEY_DELETE)) {
                sound_delete(row.id);  // stops it and frees the slot for the next load
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(chosen));
                if (chosen > 0 && chosen >= rows.size()) --chosen;
            }
        }
        std::memcpy(keys_before, keyboard_state, sizeof keys_before);

        display_fill_surface(display_back, GREY + 4);
        rect_fill(0, 0, 640, 44, GREY + 14, display_back);
        text_draw("Sound board", 16, 6, 0xFFFFFF, display_back);
        text_draw(device, 16, 24, 0xC0C0C0, display_back);
        text_draw("slot sound", 16, 56, 0xA0A0A0, display_back);
        text_draw("status", 196, 56, 0xA0A0A0, display_back);
        text_draw("volume", 300, 56, 0xA0A0A0, display_back);
        text_draw("pan", 470, 56, 0xA0A0A0, display_back);
        text_draw("frequency", 548, 56, 0xA0A0A0, display_back);
        for (size_t i = 0; i < rows.size(); ++i) draw_row(rows[i], 80 + static_cast<int32_t>(i) * 26, i == chosen);
        text_draw("Up/Down: choose   Space: play   L: loop   S: stop   D: duplicate   Delete: delete", 16, 424,
                  0xE0E0E0, display_back);
        text_draw("A/Z: volume   Left/Right: pan   Page Up/Down: frequency   Esc: quit", 16, 446, 0xE0E0E0,
                  display_back);
        display_flip();
        clock_wait(EXAMPLE_FRAME_MS);
    }

    sound_stop_all();
    sound_shutdown();  // releases every slot's sound, then the sound system
    example_stop();
    return 0;
}
