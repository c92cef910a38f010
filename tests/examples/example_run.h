#pragma once
/// \file
/// Runs one example's program on the headless backend for a fixed number of frames, from its
/// generated data folder, with the keys, mouse and joystick scripted by frame, and reads back
/// what the screen showed and which texts were drawn.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../headless_fixture.h"
#include "examples/common/example.h"

class ExampleRun : public Headless {
protected:
    /// Keeps the working directory for TearDown, then starts from a clean headless platform.
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        old_cwd_ = cwd;
        Headless::SetUp();
    }
    /// Ends the clock's cues, returns to the working directory SetUp found, cleans up.
    void TearDown() override {
        headless_on_tick(nullptr, nullptr);
        ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
        Headless::TearDown();
    }

    /// Runs the program with `--frames frames` in ZARN_EXAMPLES_DATA/folder (empty: the data
    /// folder itself, which holds none of the examples' files); its exit code. Every cue acts at
    /// the first reading of the clock in its frame, so that the frame after it sees what it did.
    int run(int (*program)(int, char**), const char* folder, int frames) {
        const std::string where = std::string(ZARN_EXAMPLES_DATA) + "/" + folder;
        EXPECT_EQ(chdir(where.c_str()), 0) << where;
        std::string count = std::to_string(frames);
        char name[] = "example", option[] = "--frames";
        char* argv[] = {name, option, count.data(), nullptr};
        frame_seen_ = -1;
        headless_on_tick(&ExampleRun::observe, this);
        const int code = program(3, argv);
        headless_on_tick(nullptr, nullptr);
        cues_.clear();  // a script serves one run
        each_reading = nullptr;
        return code;
    }

    /// Runs act at the first reading of the clock in that frame of the next run.
    void at(int frame, std::function<void()> act) { cues_.emplace_back(frame, std::move(act)); }
    /// Holds the key down from that frame for so many frames of the next run.
    void hold(int frame, int key, int frames) {
        at(frame, [key] { headless_key_set(key, 1); });
        at(frame + frames, [key] { headless_key_set(key, 0); });
    }
    std::function<void(uint32_t now)> each_reading;  ///< called at every reading of the clock

    /// Whether a text containing `part` (or, exactly, that text) was drawn since the reset.
    static bool drawn(const char* part, bool exactly = false) {
        for (int32_t i = 0; i < headless_text_count(); ++i) {
            const char* text = headless_text_at(i)->text;
            if (exactly ? std::strcmp(text, part) == 0 : std::strstr(text, part) != nullptr) return true;
        }
        return false;
    }
    /// Pixels shown with a palette index from low to high in the rectangle, every `step`th.
    static int shown(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int low, int high, int32_t step = 1) {
        int n = 0;
        for (int32_t y = y1; y < y2; y += step)
            for (int32_t x = x1; x < x2; x += step) {
                const int32_t i = headless_visible_index(x, y);
                n += i >= low && i <= high;
            }
        return n;
    }

private:
    /// At each reading of the clock: the cues of a frame just begun, then each_reading.
    static void observe(uint32_t now, void* self) {
        ExampleRun& r = *static_cast<ExampleRun*>(self);
        if (example_frame() != r.frame_seen_) {
            r.frame_seen_ = example_frame();
            for (auto& [frame, act] : r.cues_)
                if (frame == r.frame_seen_) act();
        }
        if (r.each_reading) r.each_reading(now);
    }

    std::string old_cwd_;
    int frame_seen_ = -1;
    std::vector<std::pair<int, std::function<void()>>> cues_;
};
