// The window's message queue, the cursor and the key-down query.
#include "headless_fixture.h"
#include "platform/status.h"

namespace {

using Window = Headless;

TEST_F(Window, CreateComesFirstAndQuitComesLast) {
    ASSERT_EQ(plat_window_create("Zarn Game Console"), PLAT_OK);
    EXPECT_NE(plat_window_create("again"), PLAT_OK);
    PlatMessage m{};
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_CREATE);
    EXPECT_EQ(plat_message_take(&m), 0);
    plat_post_quit(0);
    plat_message_post(PLAT_MSG_PAINT, 0);
    plat_message_post(PLAT_MSG_DESTROY, 0);
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_PAINT);
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_DESTROY);
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_QUIT);
    EXPECT_EQ(m.param, 0);
    EXPECT_EQ(plat_message_take(&m), 0);
    EXPECT_EQ(plat_message_take(nullptr), 0);
    // A paint waiting alone does not hold the quit back, and is still taken after it.
    plat_message_post(PLAT_MSG_PAINT, 0);
    plat_post_quit(5);
    for (int32_t kind : {PLAT_MSG_QUIT, PLAT_MSG_PAINT}) {
        ASSERT_EQ(plat_message_take(&m), 1);
        EXPECT_EQ(m.kind, kind);
    }
    EXPECT_EQ(plat_message_take(&m), 0);
}

TEST_F(Window, QueueIsBoundedAndPaintsMerge) {
    ASSERT_EQ(plat_window_create("t"), PLAT_OK);
    PlatMessage m{};
    plat_message_take(&m);
    for (int i = 0; i < 10; ++i) plat_message_post(PLAT_MSG_PAINT, 0);
    int taken = 0;
    while (plat_message_take(&m)) ++taken;
    EXPECT_EQ(taken, 1);
    int accepted = 0;
    for (int i = 0; i < 1000; ++i) accepted += plat_message_post(PLAT_MSG_OTHER, 0) == PLAT_OK;
    EXPECT_EQ(accepted, 64);
    plat_post_quit(3);
    taken = 0;
    while (plat_message_take(&m) && m.kind != PLAT_MSG_QUIT) ++taken;
    EXPECT_EQ(taken, accepted);
    EXPECT_EQ(m.param, 3);
}

// A quit asked for before the window exists is not pending once it does; a quit posted as a
// message carries its code.
TEST_F(Window, QuitBeforeTheWindowIsDroppedAndAPostedQuitCarriesItsCode) {
    PlatMessage m{};
    EXPECT_EQ(plat_message_take(&m), 0);
    plat_post_quit(9);
    ASSERT_EQ(plat_window_create("t"), PLAT_OK);
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_CREATE);
    EXPECT_EQ(plat_message_take(&m), 0);
    for (int32_t code : {7, -1, 0}) {
        SCOPED_TRACE(code);
        m = PlatMessage{};
        ASSERT_EQ(plat_message_post(PLAT_MSG_QUIT, code), PLAT_OK);
        ASSERT_EQ(plat_message_take(&m), 1);
        EXPECT_EQ(m.kind, PLAT_MSG_QUIT);
        EXPECT_EQ(m.param, code);
        EXPECT_EQ(plat_message_take(&m), 0);
    }
}

TEST_F(Window, RefusedWindowAndCursor) {
    headless_refuse("window", 1);
    EXPECT_NE(plat_window_create("t"), PLAT_OK);
    EXPECT_EQ(headless_window_open(), 0);
    ASSERT_EQ(plat_window_create("t"), PLAT_OK);
    plat_cursor_show(0);
    EXPECT_EQ(headless_cursor_shown(), 0);
    plat_cursor_show(1);
    EXPECT_EQ(headless_cursor_shown(), 1);
}

TEST_F(Window, KeyDownNowByKeyCode) {
    headless_key_set(DIK_P, 1);
    EXPECT_EQ(plat_key_down_now(DIK_P), 0);  // no window yet
    ASSERT_EQ(plat_window_create("t"), PLAT_OK);
    EXPECT_EQ(plat_key_down_now(DIK_P), 1);
    headless_key_set(DIK_RIGHT, 1);
    EXPECT_EQ(plat_key_down_now(DIK_RIGHT), 1);
    EXPECT_EQ(plat_key_down_now(DIK_LEFT), 0);
    headless_key_set(DIK_NUMPADENTER, 1);
    EXPECT_EQ(plat_key_down_now(DIK_NUMPADENTER), 1);
    EXPECT_EQ(plat_key_down_now(DIK_RETURN), 0);
    headless_key_set(DIK_P, 0);
    EXPECT_EQ(plat_key_down_now(DIK_P), 0);
    EXPECT_EQ(plat_key_down_now(0), 0);
    EXPECT_EQ(plat_key_down_now(-4), 0);
    EXPECT_EQ(plat_key_down_now(100000), 0);
}

}  // namespace

namespace {

// A refusal by a name the platform never asks under would refuse nothing, and the test that set
// it would pass without testing anything: every unknown name stops the run.
TEST(HeadlessScriptDeathTest, UnknownRequestNamesStopTheRun) {
    EXPECT_DEATH(headless_refuse("lokc", 1), "unknown request name \"lokc\"");
    EXPECT_DEATH(headless_allow("flipp"), "unknown request name \"flipp\"");
    EXPECT_DEATH(headless_request_count("sound_plya"), "unknown request name \"sound_plya\"");
    EXPECT_DEATH(headless_refuse(nullptr, 1), "unknown request name");
    int names = 0;
    for (const char* const* n = headless_request_names(); *n; ++n, ++names) {
        headless_refuse(*n, 1);
        headless_allow(*n);
        EXPECT_EQ(headless_request_count(*n), 0) << *n;
    }
    EXPECT_EQ(names, 51);
    headless_reset();
}

}  // namespace
