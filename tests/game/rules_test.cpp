// The game's rules through whole frames on the headless backend: start-up, menus, latches, serve,
// rally, rebounds, the return angle, points, pause, the frame's order and Escape.
#include <cstring>
#include <iterator>
#include <vector>

#include "game_fixture.h"
#include "imaging/bmp.h"

namespace {

int32_t welcome_count() { return game_sound_starts[welcome_sound]; }

// The colour shown at (x, y) equals the colour of the backdrop's own pixel there.
uint32_t backdrop_rgb(const PixelImage& image, int32_t x, int32_t y) {
    const PaletteEntry& e = palette_entries[image.buffer[y * image.width + x]];
    return (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
}

// Every reading of the clock during a frame, with the state and the pictures shown so far.
struct Reading {
    uint32_t now;
    int32_t state, shown;
};
void record_reading(uint32_t now, void* readings) {
    static_cast<std::vector<Reading>*>(readings)->push_back({now, game_state, headless_present_count()});
}

// How many output frames the sound lasts when played once from its start.
int32_t frames_played(int32_t id) {
    EXPECT_EQ(sound_play(id, 0), 1);
    int16_t out[2];
    int32_t n = 0;
    while (headless_audio_voices() > 0 && n < 10000000) n += headless_audio_pull(out, 1);
    return n;
}

// The state machine's globals and their values as the program starts.
struct StateGlobal {
    int32_t* global;
    int32_t at_start;
};
// clang-format off
const StateGlobal state_globals[] = {
    {&game_state, GAME_MAIN_MENU}, {&main_menu_choice, 1}, {&options_cursor, 1},
    {&speed_option, 2},            {&ball_speed_offset, 0}, {&left_score, 0},
    {&right_score, 0},             {&welcome_played, 0},    {&pause_latch, 0},
    {&space_latch, 0},             {&right_arrow_latch, 0}, {&left_arrow_latch, 0},
    {&return_latch, 0},            {&escape_latch, 0}};
// clang-format on

// Each as this program was loaded, read before any test has run: what a run of the game starts
// from, with no reset before it.
const std::vector<int32_t> state_globals_as_loaded = [] {
    std::vector<int32_t> values;
    for (const StateGlobal& g : state_globals) values.push_back(*g.global);
    return values;
}();

bool text_drawn(const char* text, int32_t x, int32_t y) {
    for (int32_t i = 0; i < headless_text_count(); ++i) {
        const HeadlessText* t = headless_text_at(i);
        if (std::strcmp(t->text, text) == 0 && t->x == x && t->y == y && t->index == 0) return true;
    }
    return false;
}

}  // namespace

TEST_F(GameTest, StartUpPlacesEverythingAndInstallsTheOptionsPalette) {
    EXPECT_EQ(ball.x, 200);
    EXPECT_EQ(ball.y, 200);
    EXPECT_EQ(ball.vx, 10);
    EXPECT_EQ(ball.vy, 10);
    EXPECT_EQ(ball.frame_count, 6);
    EXPECT_EQ(left_racquet.x, 0);
    EXPECT_EQ(left_racquet.y, 240);
    EXPECT_EQ(right_racquet.x, 616);
    EXPECT_EQ(right_racquet.y, 240);
    EXPECT_EQ(left_racquet.vy, 9);
    EXPECT_EQ(right_racquet.vy, 9);
    EXPECT_EQ(thwack_sound, 0);
    EXPECT_EQ(point_left_sound, 1);
    EXPECT_EQ(point_right_sound, 2);
    EXPECT_EQ(welcome_sound, 3);
    // Each sound plays at its own frequency (it lasts as long as with that frequency set by
    // hand) and takes the frequency, pan and volume controls.
    const struct {
        int32_t id, frequency;
    } sounds[] = {{thwack_sound, 8000}, {point_left_sound, 9000}, {point_right_sound, 9000}, {welcome_sound, 18000}};
    for (const auto& s : sounds) {
        const int32_t as_started = frames_played(s.id);
        ASSERT_EQ(sound_set_frequency(s.id, s.frequency), 1) << s.id;
        EXPECT_EQ(frames_played(s.id), as_started) << s.id;
        EXPECT_EQ(sound_set_pan(s.id, 0), 1) << s.id;
        EXPECT_EQ(sound_set_volume(s.id, 100), 1) << s.id;
    }
    EXPECT_NE(display_clipper, nullptr);
    EXPECT_EQ(headless_cursor_shown(), 0);

    BmpFile options{};
    ASSERT_EQ(bmp_load(&options, "OptionsMenu.bmp"), 1);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(palette_entries[i].peRed, options.palette[i].peRed) << i;
        EXPECT_EQ(palette_entries[i].peGreen, options.palette[i].peGreen) << i;
        EXPECT_EQ(palette_entries[i].peBlue, options.palette[i].peBlue) << i;
    }
    bmp_unload(&options);
}

TEST_F(GameTest, MainMenuPointerWelcomeOnceAndBothArrowsPickItemOne) {
    frames(5);
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    EXPECT_EQ(menu_pointer.x, 60);
    EXPECT_EQ(menu_pointer.y, 300);
    EXPECT_EQ(welcome_count(), 1);
    EXPECT_EQ(headless_audio_voices(), 1);  // the welcome is really playing
    EXPECT_EQ(headless_visible_rgb(320, 80), backdrop_rgb(main_menu_image, 320, 80));
    EXPECT_TRUE(text_drawn("Ver 1.0", 575, 450));

    hold(DIK_RIGHT);
    frames(1);
    EXPECT_EQ(main_menu_choice, 2);
    EXPECT_EQ(menu_pointer.x, 400);
    hold(DIK_LEFT);
    frames(1);
    EXPECT_EQ(main_menu_choice, 1);
    let_go(DIK_LEFT);
    frames(1);
    EXPECT_EQ(main_menu_choice, 2);  // arrows in the main menu have no latch
    let_go(DIK_RIGHT);

    // Options and back: the welcome plays again on the return, once.
    tap(DIK_RETURN);
    EXPECT_EQ(game_state, GAME_OPTIONS);
    frames(1);
    EXPECT_EQ(headless_visible_rgb(320, 80), backdrop_rgb(options_image, 320, 80));
    hold(DIK_DOWN);
    frames(1);
    let_go(DIK_DOWN);
    tap(DIK_RETURN);
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    frames(3);
    EXPECT_EQ(welcome_count(), 2);
}

TEST_F(GameTest, OptionsPointerStepsOncePerPressAndEnterSetsTheSpeed) {
    hold(DIK_RIGHT);
    frames(1);
    let_go(DIK_RIGHT);
    tap(DIK_RETURN);
    ASSERT_EQ(game_state, GAME_OPTIONS);

    // Right held: one step per press, on to item 4 and no further.
    hold(DIK_RIGHT);
    frames(4);
    EXPECT_EQ(options_cursor, 2);
    let_go(DIK_RIGHT);
    frames(1);
    for (int i = 0; i < 4; ++i) tap(DIK_RIGHT);
    EXPECT_EQ(options_cursor, 4);
    EXPECT_EQ(menu_pointer.x, 210);
    EXPECT_EQ(menu_pointer.y, 390);
    tap(DIK_LEFT);
    EXPECT_EQ(options_cursor, 3);
    EXPECT_EQ(menu_pointer.x, 500);
    // Up jumps to item 2, Down to item 4; with both held Up wins.
    hold(DIK_DOWN);
    frames(1);
    EXPECT_EQ(options_cursor, 4);
    options_cursor = 1;  // held, Down acts again in every frame
    frames(1);
    EXPECT_EQ(options_cursor, 4);
    hold(DIK_UP);
    frames(1);
    EXPECT_EQ(options_cursor, 2);
    options_cursor = 3;
    frames(1);
    EXPECT_EQ(options_cursor, 2);
    let_go(DIK_UP);
    let_go(DIK_DOWN);
    tap(DIK_LEFT);
    EXPECT_EQ(options_cursor, 1);
    tap(DIK_LEFT);
    EXPECT_EQ(options_cursor, 1);

    // Enter on a speed keeps the menu, moves the box at once and sets the serve speed.
    tap(DIK_RETURN);
    EXPECT_EQ(game_state, GAME_OPTIONS);
    EXPECT_EQ(speed_option, 1);
    EXPECT_EQ(option_box.x, 233);
    EXPECT_EQ(ball_speed_offset, -1);
    EXPECT_EQ(ball.vx, 9);
    EXPECT_EQ(ball.vy, 9);
    tap(DIK_RIGHT);
    tap(DIK_RIGHT);
    tap(DIK_RETURN);
    EXPECT_EQ(option_box.x, 525);
    EXPECT_EQ(ball.vx, 11);

    // Enter held after leaving the options does not choose in the main menu.
    hold(DIK_DOWN);
    frames(1);
    let_go(DIK_DOWN);
    hold(DIK_RETURN);
    frames(5);
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    let_go(DIK_RETURN);
    hold(DIK_LEFT);
    frames(1);
    let_go(DIK_LEFT);
    tap(DIK_RETURN);
    EXPECT_EQ(game_state, GAME_LEFT_SERVES);
}

TEST_F(GameTest, ServeHoldsTheBallAtTheRacquetThenLaunchesOncePerPress) {
    start_game();
    EXPECT_EQ(left_score, 0);
    // Held at the left racquet's top corner, one frame's flight ahead.
    EXPECT_EQ(ball.x, left_racquet.right + ball.vx);
    EXPECT_EQ(ball.y, left_racquet.top + ball.vy);
    hold(DIK_A);
    frames(2);
    let_go(DIK_A);
    EXPECT_EQ(left_racquet.y, 240 - 18);
    EXPECT_EQ(ball.y, left_racquet.top + ball.vy);

    bob_set_velocity(&ball, -7, 5);
    hold(DIK_SPACE);
    frames(1);
    EXPECT_EQ(game_state, GAME_PLAYING);
    EXPECT_EQ(ball.vx, 7);
    EXPECT_EQ(ball.vy, -5);
    EXPECT_TRUE(text_drawn("Left Player Score: 0", 125, 20));
    EXPECT_TRUE(text_drawn("Right Player Score: 0", 400, 20));

    // Space held through the point: one frame of point screen, then the serve waits for a new press.
    place_ball(600, 200, 10, 0);
    frames(1);
    EXPECT_EQ(game_state, GAME_LEFT_SCORED);
    frames(1);
    EXPECT_EQ(game_state, GAME_RIGHT_SERVES);
    frames(3);
    EXPECT_EQ(game_state, GAME_RIGHT_SERVES);
    EXPECT_EQ(ball.x, right_racquet.left - 32 + ball.vx);
    let_go(DIK_SPACE);
    frames(1);
    tap(DIK_SPACE);
    EXPECT_EQ(game_state, GAME_PLAYING);
    EXPECT_EQ(ball.vx, -10);
    EXPECT_EQ(ball.vy, -10);
}

TEST_F(GameTest, WallsAndRacquetEndsReverseVyAndPlaceTheBall) {
    start_game();
    tap(DIK_SPACE);
    ASSERT_EQ(game_state, GAME_PLAYING);
    place_ball(300, 440, 5, 12);
    frames(1);
    EXPECT_EQ(ball.y, 448);
    EXPECT_EQ(ball.vy, -12);
    place_ball(300, 5, 5, -12);
    frames(1);
    EXPECT_EQ(ball.y, 0);
    EXPECT_EQ(ball.vy, 12);

    // Falling onto the left racquet's top end: put on the end, no sound, vx kept.
    const int32_t hits = game_sound_starts[thwack_sound];
    bob_set_position(&left_racquet, 0, 240);
    place_ball(10, 240 - 32 + 5, -3, 4);
    ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
    EXPECT_EQ(ball.y, 240 - 32);
    EXPECT_EQ(ball.vy, -4);
    EXPECT_EQ(ball.vx, -3);
    // Rising into its bottom end: hung under it.
    place_ball(10, 344 - 5, -3, -4);
    ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
    EXPECT_EQ(ball.y, 344);
    EXPECT_EQ(ball.vy, 4);
    EXPECT_EQ(game_sound_starts[thwack_sound], hits);
    // The right racquet's ends likewise.
    bob_set_position(&right_racquet, 616, 100);
    place_ball(600, 100 - 30, 3, 6);
    ball_hit_racquet(&right_racquet, SIDE_RIGHT_RACQUET);
    EXPECT_EQ(ball.y, 100 - 32);
    EXPECT_EQ(ball.vy, -6);
}

TEST_F(GameTest, FaceHitsReverseVxAndBendVyByTheReturnAngleTable) {
    bob_set_position(&left_racquet, 0, 200);
    bob_set_position(&right_racquet, 616, 200);
    struct Case {
        int32_t d, vy_after;
    } cases[] = {{-20, 6 - 4}, {0, 6 - 4}, {14, 6 - 4}, {15, 6 - 2}, {29, 6 - 2}, {30, 6},
                 {45, 6},      {60, 6},    {61, 6 + 2}, {89, 6 + 2}, {90, 6 + 4}, {103, 6 + 4}};
    for (const Case& c : cases) {
        const int32_t before = game_sound_starts[thwack_sound];
        place_ball(24, 200 + c.d, -10, 6);  // touching the left racquet's face
        ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
        EXPECT_EQ(ball.vx, 10) << c.d;
        EXPECT_EQ(ball.x, 24) << c.d;
        EXPECT_EQ(ball.vy, c.vy_after) << c.d;
        EXPECT_EQ(game_sound_starts[thwack_sound], before + 1) << c.d;

        place_ball(584, 200 + c.d, 10, 6);
        ball_hit_racquet(&right_racquet, SIDE_RIGHT_RACQUET);
        EXPECT_EQ(ball.vx, -10) << c.d;
        EXPECT_EQ(ball.x, 616 - 32) << c.d;
        EXPECT_EQ(ball.vy, c.vy_after) << c.d;
    }
    // Carried partly into the racquet: returned and put back against the face.
    place_ball(17, 245, -10, 6);
    ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
    EXPECT_EQ(ball.x, 24);
    EXPECT_EQ(ball.vx, 10);
    EXPECT_EQ(ball.vy, 6);
    // vy is not bounded and may reach 0: a flat return.
    place_ball(20, 200, -10, 4);
    ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
    EXPECT_EQ(ball.vy, 0);
    // A ball clear of the racquet's rows, or still on the court side, is not returned.
    place_ball(40, 200, -10, 4);
    EXPECT_EQ(ball_test_racquet_face(&ball, &left_racquet, SIDE_LEFT_RACQUET), 0);
    place_ball(24, 200, -10, 4);
    EXPECT_EQ(ball_test_racquet_face(&ball, &left_racquet, SIDE_LEFT_RACQUET), 2);  // touching counts
    place_ball(10, 304, -10, 4);
    EXPECT_EQ(ball_test_racquet_face(&ball, &left_racquet, SIDE_LEFT_RACQUET), 0);
    EXPECT_EQ(ball_test_racquet_face(&ball, &left_racquet, 499), 0);
    EXPECT_EQ(ball_test_racquet_ends(&ball, &left_racquet, 0), 0);
}

TEST_F(GameTest, PointsScoreForTheFarPlayerAndTheLoserServesNext) {
    start_game();
    tap(DIK_SPACE);
    // The ball reaches the left side: the right player's point.
    place_ball(5, 200, -10, 3);
    frames(1);
    EXPECT_EQ(game_state, GAME_RIGHT_SCORED);
    EXPECT_EQ(right_score, 1);
    EXPECT_EQ(ball.x, 0);
    EXPECT_EQ(ball.vx, 10);
    EXPECT_EQ(game_sound_starts[point_right_sound], 1);
    frames(1);
    EXPECT_EQ(ball.vx, 10);  // the left player serves next
    EXPECT_EQ(ball.vy, -10);
    EXPECT_TRUE(text_drawn("HIT SPACEBAR TO CONTINUE", 230, 400));
    EXPECT_TRUE(text_drawn("Right Player Score: 1", 400, 20));
    tap(DIK_SPACE);
    EXPECT_EQ(game_state, GAME_LEFT_SERVES);

    frames(1);
    tap(DIK_SPACE);
    ASSERT_EQ(game_state, GAME_PLAYING);
    // x + 32 reaching 640: the left player's point.
    place_ball(600, 200, 8, 0);
    frames(1);
    EXPECT_EQ(game_state, GAME_LEFT_SCORED);
    EXPECT_EQ(ball.x, 608);
    EXPECT_EQ(left_score, 1);
    EXPECT_EQ(game_sound_starts[point_left_sound], 1);
    frames(1);
    EXPECT_EQ(ball.vx, -10);
    tap(DIK_SPACE);
    EXPECT_EQ(game_state, GAME_RIGHT_SERVES);

    // Scores of any size, in decimal.
    left_score = 123456;
    frames(1);
    EXPECT_TRUE(text_drawn("Left Player Score: 123456", 125, 20));
}

TEST_F(GameTest, RacquetClampLeavesStaleEdgesThatMissTheBall) {
    start_game();
    hold(DIK_A);
    frames(40);
    let_go(DIK_A);
    EXPECT_EQ(left_racquet.y, 0);
    EXPECT_EQ(left_racquet.top, -9);
    EXPECT_EQ(left_racquet.bottom, 95);
    // Both keys of one racquet: it stays.
    hold(DIK_UP);
    hold(DIK_DOWN);
    frames(3);
    EXPECT_EQ(right_racquet.y, 240);
    let_go(DIK_UP);
    hold(DIK_DOWN);
    frames(40);
    let_go(DIK_DOWN);
    EXPECT_EQ(right_racquet.y, 376);
    EXPECT_EQ(right_racquet.top, 385);  // drawn at 376, its edges 9 below

    // A ball whose top lies in the racquet's lowest 9 rows is not returned.
    place_ball(20, 97, -10, 0);
    EXPECT_EQ(ball_test_racquet_face(&ball, &left_racquet, SIDE_LEFT_RACQUET), 0);
    // A move brings the edges back.
    hold(DIK_Z);
    frames(1);
    let_go(DIK_Z);
    EXPECT_EQ(left_racquet.top, 9);
}

TEST_F(GameTest, PauseActsOncePerPressAndLosesToAPointInTheSameFrame) {
    start_game();
    tap(DIK_SPACE);
    hold(DIK_P);
    frames(1);
    EXPECT_EQ(game_state, GAME_PAUSED);
    const int32_t x = ball.x, y = ball.y;
    frames(5);
    EXPECT_EQ(game_state, GAME_PAUSED);
    EXPECT_EQ(ball.x, x);
    EXPECT_EQ(ball.y, y);
    EXPECT_EQ(paused_banner.x, 160);
    EXPECT_EQ(paused_banner.y, 180);
    EXPECT_TRUE(text_drawn("HIT P TO CONTINUE", 260, 400));
    let_go(DIK_P);
    frames(1);
    tap(DIK_P);
    EXPECT_EQ(game_state, GAME_PLAYING);
    frames(1);

    // P in the frame in which the ball reaches a side: the point screen, not the pause.
    place_ball(605, 200, 10, 0);
    hold(DIK_P);
    frames(1);
    EXPECT_EQ(game_state, GAME_LEFT_SCORED);
    let_go(DIK_P);
}

TEST_F(GameTest, LatchesAreFreedByTheKeysAsTheyAreNowAndEnterByEitherEnterKey) {
    hold(DIK_RETURN);
    frames(1);
    ASSERT_EQ(game_state, GAME_LEFT_SERVES);
    ASSERT_EQ(return_latch, 1);
    // The keypad's Enter holds the Enter latch too, though the menus never read it.
    hold(DIK_NUMPADENTER);
    let_go(DIK_RETURN);
    frames(2);
    EXPECT_EQ(return_latch, 1);
    let_go(DIK_NUMPADENTER);
    frames(1);
    EXPECT_EQ(return_latch, 0);
    // Space let go frees its latch even while refused reads leave it down in the snapshot.
    hold(DIK_SPACE);
    frames(1);
    ASSERT_EQ(game_state, GAME_PLAYING);
    ASSERT_EQ(space_latch, 1);
    headless_refuse("keyboard_read", -1);
    let_go(DIK_SPACE);
    frames(1);
    EXPECT_NE(keyboard_state[DIK_SPACE], 0);
    EXPECT_EQ(space_latch, 0);
    headless_allow("keyboard_read");
}

TEST_F(GameTest, EscapeReturnsToTheMenuFromEveryPlayStateAndActsOncePerPress) {
    const int states[] = {
        GAME_LEFT_SERVES, GAME_RIGHT_SERVES, GAME_PLAYING, GAME_PAUSED, GAME_LEFT_SCORED, GAME_RIGHT_SCORED, 3};
    for (int s : states) {
        game_state = s;
        left_score = 4;
        right_score = 7;
        tap(DIK_ESCAPE);
        EXPECT_EQ(game_state, GAME_MAIN_MENU) << s;
        EXPECT_EQ(left_score, 4);
        EXPECT_EQ(right_score, 7);
        frames(1);
    }
    // Held down, Escape acts once: the menu does not quit while it is still held.
    game_state = GAME_PLAYING;
    hold(DIK_ESCAPE);
    frames(5);
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    PlatMessage m{};
    EXPECT_EQ(plat_message_take(&m), 1);  // the window's create message only
    EXPECT_EQ(m.kind, PLAT_MSG_CREATE);
    EXPECT_EQ(plat_message_take(&m), 0);
    let_go(DIK_ESCAPE);
    // A new game from the menu sets both scores to 0.
    frames(1);
    start_game();
    EXPECT_EQ(left_score, 0);
    EXPECT_EQ(right_score, 0);
}

TEST_F(GameTest, AFrameIsShownAndWaitedOutBeforeEscapeActs) {
    start_game();
    tap(DIK_SPACE);
    ASSERT_EQ(game_state, GAME_PLAYING);
    ASSERT_NE(backdrop_rgb(court_image, 320, 80), backdrop_rgb(main_menu_image, 320, 80));
    const int32_t shown = headless_present_count();
    std::vector<Reading> readings;
    headless_set_ticks(1000);
    headless_on_tick(record_reading, &readings);
    hold(DIK_ESCAPE);
    frames(1);
    headless_on_tick(nullptr, nullptr);
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    EXPECT_EQ(escape_latch, 1);
    // The frame was drawn and shown as a play frame.
    EXPECT_EQ(headless_present_count(), shown + 1);
    EXPECT_EQ(headless_visible_rgb(320, 80), backdrop_rgb(court_image, 320, 80));
    // The clock is stamped first; after the flip it is read until 20 ms have passed, then once
    // more by the wait; only then does Escape change the state.
    ASSERT_EQ(readings.size(), 22u);
    for (size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(readings[i].now, 1000 + i);
        EXPECT_EQ(readings[i].shown, shown + (i > 0)) << i;
        EXPECT_EQ(readings[i].state, GAME_PLAYING) << i;
    }
}

TEST_F(GameTest, EscapeInEitherMenuFadesAndEndsWithTheQuitMessage) {
    for (int menu : {GAME_MAIN_MENU, GAME_OPTIONS}) {
        game_state = menu;
        PlatMessage m{};
        while (plat_message_take(&m)) {
        }
        for (int32_t id : {thwack_sound, point_left_sound, point_right_sound, welcome_sound})
            ASSERT_EQ(sound_play(id, 0), 1);
        tap(DIK_ESCAPE);
        EXPECT_EQ(headless_audio_voices(), 0);  // the quit stops every sound
        EXPECT_EQ(game_state, menu);            // the state stays; the program is ending
        const uint32_t faded = headless_visible_rgb(100, 100);
        EXPECT_LT(faded >> 16, 16u) << std::hex << faded;  // faded to (nearly) black
        EXPECT_LT((faded >> 8) & 0xFF, 16u) << std::hex << faded;
        EXPECT_LT(faded & 0xFF, 16u) << std::hex << faded;
        int32_t code = -1;
        EXPECT_EQ(game_loop_pass(&code), 1);  // dispatches the destroy message, runs one more frame
        EXPECT_EQ(game_loop_pass(&code), 0);
        EXPECT_EQ(code, 0);
        // Start the palette again for the second menu.
        game_shutdown(nullptr);
        game_states_reset();
        sound_first_init = 1;
        sound_object = nullptr;
        ASSERT_EQ(game_init(nullptr), 1);
        game_states_reset();
    }
}

TEST_F(GameTest, OneMessagePerFrameAndADestroyFromTheDesktopEndsWithoutTheFade) {
    for (int i = 0; i < 5; ++i) ASSERT_EQ(plat_message_post(PLAT_MSG_OTHER, 0), 0);
    PlatMessage create{};
    ASSERT_EQ(plat_message_take(&create), 1);
    const int32_t shown = headless_present_count();
    int32_t code = -1;
    for (int i = 0; i < 5; ++i) ASSERT_EQ(game_loop_pass(&code), 1);
    EXPECT_EQ(headless_present_count(), shown + 5);
    PlatMessage m{};
    EXPECT_EQ(plat_message_take(&m), 0);
    // No message at all: still one frame per pass.
    EXPECT_EQ(game_loop_pass(&code), 1);
    EXPECT_EQ(headless_present_count(), shown + 6);
    EXPECT_EQ(game_window_proc(&m), 0);

    ASSERT_EQ(plat_message_post(PLAT_MSG_DESTROY, 0), 0);
    EXPECT_EQ(game_loop_pass(&code), 1);
    EXPECT_EQ(game_loop_pass(&code), 0);
    EXPECT_EQ(code, 0);
    EXPECT_NE(headless_visible_rgb(320, 80), 0u) << "no fade";
}

TEST_F(GameTest, EscapeEndsTheProgramEvenWithTheMessageQueueFull) {
    while (plat_message_post(PLAT_MSG_OTHER, 0) == 0) {
    }
    tap(DIK_ESCAPE);
    int32_t code = -1, passes = 0;
    while (game_loop_pass(&code) && passes < 200) ++passes;
    EXPECT_LT(passes, 200);
    EXPECT_EQ(code, 0);
}

TEST_F(GameTest, StatesResetGoesBackToTheMainMenuAsAtProgramStart) {
    for (const StateGlobal& g : state_globals) *g.global = 7;
    game_sound_starts[welcome_sound] = 7;
    game_states_reset();
    for (size_t i = 0; i < std::size(state_globals); ++i) {
        EXPECT_EQ(*state_globals[i].global, state_globals[i].at_start) << i;
        EXPECT_EQ(state_globals_as_loaded[i], state_globals[i].at_start) << i;
    }
    EXPECT_EQ(game_sound_starts[welcome_sound], 0);
}

// The whole program, from the window to the exit code.
class GameProgramTest : public GameTest {
protected:
    GameProgramTest() { start_game_ = false; }
};

TEST_F(GameProgramTest, EscapeHeldFromTheStartQuitsWithCodeZero) {
    hold(DIK_ESCAPE);
    EXPECT_EQ(game_main(), 0);
    EXPECT_EQ(headless_window_open(), 0);
    EXPECT_EQ(input_object, nullptr);  // nor is anything of the input left open
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(game_sound_starts[welcome_sound], 1);
}

TEST_F(GameProgramTest, StartUpFailuresStopWithTheirReason) {
    headless_refuse("window", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(game_main(), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("zarn-tennis: "), std::string::npos);

    headless_refuse("device", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(game_main(), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("display"), std::string::npos);
    EXPECT_EQ(headless_window_open(), 0);

    headless_refuse("keyboard", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(game_main(), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("keyboard"), std::string::npos);
}
