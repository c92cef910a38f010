// What each screen shows: one frame of every state, compared pixel for pixel with a picture
// made here from the backdrop's pixels at (0, 0), the sprites at their expected places and
// sizes and the expected texts, and its text log compared with the expected texts.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "imaging/text.h"

namespace {

struct Sprite {
    const BOB* bob;
    int32_t x, y;
    int32_t width, height;  // 0 x 0: drawn at its own size
};
struct Text {
    std::string text;
    int32_t x, y;
};
struct Screen {
    const char* name;
    int32_t state;
    int32_t item;   // main_menu_choice or options_cursor
    int32_t speed;  // speed_option
    const PixelImage* backdrop;
    std::vector<Sprite> sprites;  // in drawing order
    std::vector<Text> texts;      // in drawing order
};

std::vector<int32_t> shown_picture() {
    std::vector<int32_t> picture;
    picture.reserve(640 * 480);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) picture.push_back(headless_visible_index(x, y));
    return picture;
}

// Shows the expected picture of the screen: the backdrop's pixels at (0, 0), then copies of
// the sprites moved to their places, then the texts in black.
std::vector<int32_t> expected_picture(const Screen& s) {
    display_fill_surface(display_back, 0);
    if (!display_lock_back()) return {};
    for (int32_t y = 0; y < 480; ++y)
        std::memcpy(back_pixels + y * back_pitch, s.backdrop->buffer + y * s.backdrop->width, 640);
    display_unlock_back();
    for (const Sprite& d : s.sprites) {
        BOB copy = *d.bob;
        copy.x = d.x;
        copy.y = d.y;
        if (d.width) bob_draw_scaled(&copy, d.width, d.height, display_back);
        else bob_draw(&copy, display_back);
    }
    for (const Text& t : s.texts) text_draw(t.text.c_str(), t.x, t.y, 0, display_back);
    display_flip();
    return shown_picture();
}

// "" when the pictures agree, else the box around the pixels that differ.
std::string difference(const std::vector<int32_t>& got, const std::vector<int32_t>& want) {
    if (got.size() != want.size()) return "no picture";
    int32_t x0 = 640, y0 = 480, x1 = -1, y1 = -1;
    for (int32_t i = 0; i < static_cast<int32_t>(got.size()); ++i)
        if (got[i] != want[i]) {
            const int32_t x = i % 640, y = i / 640;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    if (x1 < 0) return "";
    return "differs in (" + std::to_string(x0) + ", " + std::to_string(y0) + ") to (" + std::to_string(x1) + ", " +
           std::to_string(y1) + ")";
}

std::string logged_texts() {
    std::string s;
    for (int32_t i = 0; i < headless_text_count(); ++i) {
        const HeadlessText* t = headless_text_at(i);
        s += std::string(t->text) + " @" + std::to_string(t->x) + "," + std::to_string(t->y) + " c" +
             std::to_string(t->index) + "\n";
    }
    return s;
}

std::string expected_texts(const Screen& s) {
    std::string out;
    for (const Text& t : s.texts) out += t.text + " @" + std::to_string(t.x) + "," + std::to_string(t.y) + " c0\n";
    return out;
}

}  // namespace

TEST_F(GameTest, EachScreenDrawsItsSpritesAndTextsInTheirPlacesAndNothingElse) {
    const Text version{"Ver 1.0", 575, 450};
    const Text left_scores{"Left Player Score: 3", 125, 20}, right_scores{"Right Player Score: 12", 400, 20};
    const Sprite left_at_rest{&left_racquet, 0, 240, 0, 0}, right_at_rest{&right_racquet, 616, 240, 0, 0};
    // Every screen starts from the ball at (300, 200) flying (5, 3), the racquets where start-up
    // put them: a serve holds the ball a frame's flight off the racquet's top corner, the rally
    // moves it before drawing it.
    // clang-format off
    const Screen screens[] = {
        {"main menu, item 1", GAME_MAIN_MENU, 1, 2, &main_menu_image, {{&menu_pointer, 60, 300, 20, 60}}, {version}},
        {"main menu, item 2", GAME_MAIN_MENU, 2, 2, &main_menu_image, {{&menu_pointer, 400, 300, 20, 60}}, {version}},
        {"options, item 1, slow", GAME_OPTIONS, 1, 1, &options_image,
         {{&menu_pointer, 210, 240, 20, 60}, {&option_box, 233, 245, 85, 50}}, {version}},
        {"options, item 2, normal", GAME_OPTIONS, 2, 2, &options_image,
         {{&menu_pointer, 330, 240, 20, 60}, {&option_box, 350, 245, 140, 50}}, {version}},
        {"options, item 3, fast", GAME_OPTIONS, 3, 3, &options_image,
         {{&menu_pointer, 500, 240, 20, 60}, {&option_box, 525, 245, 85, 50}}, {version}},
        {"options, item 4, normal", GAME_OPTIONS, 4, 2, &options_image,
         {{&menu_pointer, 210, 390, 20, 60}, {&option_box, 350, 245, 140, 50}}, {version}},
        {"left serves", GAME_LEFT_SERVES, 1, 2, &court_image,
         {{&ball, 24 + 5, 240 + 3, 0, 0}, left_at_rest, right_at_rest}, {left_scores, right_scores}},
        {"right serves", GAME_RIGHT_SERVES, 1, 2, &court_image,
         {{&ball, 616 - 32 + 5, 240 + 3, 0, 0}, left_at_rest, right_at_rest}, {left_scores, right_scores}},
        {"rally", GAME_PLAYING, 1, 2, &court_image, {{&ball, 305, 203, 0, 0}, left_at_rest, right_at_rest},
         {left_scores, right_scores}},
        {"paused", GAME_PAUSED, 1, 2, &court_image, {{&paused_banner, 160, 180, 0, 0}}, {{"HIT P TO CONTINUE", 260, 400}}},
        {"left scored", GAME_LEFT_SCORED, 1, 2, &court_image, {{&left_scores_banner, 140, 180, 0, 0}},
         {{"HIT SPACEBAR TO CONTINUE", 230, 400}, left_scores, right_scores}},
        {"right scored", GAME_RIGHT_SCORED, 1, 2, &court_image, {{&right_scores_banner, 140, 180, 0, 0}},
         {{"HIT SPACEBAR TO CONTINUE", 230, 400}, left_scores, right_scores}},
        {"a state without a step", 3, 1, 2, &court_image, {}, {}},
    };
    // clang-format on
    for (const Screen& s : screens) {
        game_state = s.state;
        main_menu_choice = options_cursor = s.item;
        speed_option = s.speed;
        left_score = 3;
        right_score = 12;
        place_ball(300, 200, 5, 3);
        bob_set_position(&left_racquet, 0, 240);
        bob_set_position(&right_racquet, 616, 240);
        headless_text_clear();
        frames(1);
        ASSERT_EQ(game_state, s.state) << s.name;
        EXPECT_EQ(logged_texts(), expected_texts(s)) << s.name;
        const std::vector<int32_t> got = shown_picture();
        EXPECT_EQ(difference(got, expected_picture(s)), "") << s.name;
    }
}
