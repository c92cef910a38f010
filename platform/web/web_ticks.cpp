// The millisecond counter and its finer reading, from the page's clock (performance.now), and the
// turns they give the browser while the game waits on them.
//
// The game paces itself by reading the clock in a loop until a frame's time has passed. The
// browser can paint, play and deliver keys only when the page's script returns to it, so those
// readings hand it turns. A wait is the run of readings that follows a picture being shown, until
// anything else happens (the game looking at its events, the next picture). How long waits last
// is learnt from the ones before: the first reading of a wait sleeps until a margin before the
// wait is expected to end, and every reading after it gives the browser a turn of no set length,
// so the game itself still sees the exact end. A wait that ends sooner than expected (a new,
// quicker pace) overruns once by at most the difference; the clock never runs early.
#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/common/backend.h"
#include "platform/status.h"
#include "platform/ticks.h"
#include "platform/web/web_backend.h"

namespace {

constexpr double kWakeMargin = 2.0;  // ms left to a wait after its sleep, for a late wake-up
constexpr double kTurnEvery = 30.0;  // ms at most between turns outside a wait
constexpr int kPeriods = 8;          // periods between waits' ends remembered
constexpr double kLongestPeriod = 250.0;
constexpr uint64_t kRefreshUs = 16667;  // the page paints at most this often

struct Pace {
    int waiting = 0;          // readings now belong to a wait
    int readings = 0;         // readings of the current wait so far
    double last_reading = 0;  // when the current wait was last read
    double last_end = -1;     // when the last wait ended (-1: none yet)
    double periods[kPeriods] = {};
    int period_count = 0;
    int next_period = 0;
    int flip_shown = 0;  // a flip was shown and the game has not looked at its events since
    double last_turn = 0;
};

Pace g;

double now_ms() { return emscripten_get_now(); }

void end_wait() {
    if (g.waiting && g.readings > 0) {
        if (g.last_end >= 0) {
            g.periods[g.next_period] = g.last_reading - g.last_end;
            g.next_period = (g.next_period + 1) % kPeriods;
            g.period_count = std::min(g.period_count + 1, kPeriods);
        }
        g.last_end = g.last_reading;
    }
    g.waiting = 0;
    g.readings = 0;
}

void turn(double milliseconds) {
    web_js_pause(static_cast<int32_t>(milliseconds));
    g.last_turn = now_ms();
}

// Called at every reading of the clock, before it is taken.
void pace_reading() {
    const double now = now_ms();
    if (!g.waiting) {
        if (now - g.last_turn >= kTurnEvery) turn(0);
        return;
    }
    if (g.readings++ == 0 && g.period_count > 0) {
        // Periods are never shorter than the pace, only longer where a wait overran: the
        // shortest is the pace.
        const double period = *std::min_element(g.periods, g.periods + g.period_count);
        const double sleep = std::floor(g.last_end + period - kWakeMargin - now);
        if (period <= kLongestPeriod && sleep >= 1) turn(sleep);
    }
    turn(0);
    g.last_reading = now_ms();
}

uint64_t fine_now() { return static_cast<uint64_t>(now_ms() * 1000.0); }

}  // namespace

void web_pace_shown(int flip) {
    end_wait();
    g.waiting = 1;
    if (flip) {
        g.flip_shown = 1;
        web_js_note(WEB_NOTE_FLIP, now_ms());
    }
}

void web_pace_events() {
    end_wait();
    if (g.flip_shown) {
        // The first look at the events after a flip starts the game's next frame.
        g.flip_shown = 0;
        web_js_note(WEB_NOTE_FRAME, now_ms());
    }
}

// What was written into the primary surface since it was last shown, shown at most once a
// refresh, as the desktop does. Showing costs a copy; the page turns it into pixels when it paints.
void backend_present_written() { video_present_primary_if_changed(fine_now(), kRefreshUs); }

// A reading of the counter also shows what was written into the primary: a program drawing into
// it step by step waits on the counter.
uint32_t plat_ticks() {
    backend_present_written();
    pace_reading();
    return static_cast<uint32_t>(fine_now() / 1000u);
}

int plat_ticks_fine(uint64_t* microseconds) {
    if (!microseconds) return PLAT_ERR_INVALID;
    pace_reading();
    *microseconds = fine_now();
    return PLAT_OK;
}
