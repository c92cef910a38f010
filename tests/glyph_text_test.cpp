// Text drawn from glyph bitmaps (the web backend's font): strokes only, cut at every edge of the
// picture, the pen stopping past the right edge.
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "guarded_picture.h"
#include "platform/common/glyph_text.h"

namespace {

// Every character is a 3 x 2 cross-stitch, advancing 4; space draws nothing.
const uint8_t kStitch[] = {1, 0, 1, 0, 1, 0};
const GlyphImage kGlyph{3, 2, 4, kStitch};
const GlyphImage kSpace{0, 0, 4, nullptr};
const GlyphImage* glyph_of(unsigned char c) { return c == ' ' ? &kSpace : &kGlyph; }

using Points = std::vector<std::pair<int, int>>;

TEST(GlyphText, StrokesAreCutToThePictureAndNothingOutsideIsWritten) {
    struct Case {
        int32_t x, y;
        const char* text;
        Points drawn;
    } cases[] = {
        {10, 10, "a b", {{10, 10}, {12, 10}, {18, 10}, {20, 10}, {11, 11}, {19, 11}}},
        {-1, -1, "a", {{0, 0}}},
        {-2, 10, "a", {{0, 10}}},
        {637, 478, "ab", {{637, 478}, {639, 478}, {638, 479}}},
        {630, 0, "abcdefgh", {{630, 0}, {632, 0}, {634, 0}, {636, 0}, {638, 0}, {631, 1}, {635, 1}, {639, 1}}},
        {-100000, 5, "abc", {}},
        {0, 480, "a", {}},
        {INT32_MAX, INT32_MAX, "abc", {}},
        {INT32_MIN, INT32_MIN, "abc", {}},
    };
    for (const Case& c : cases) {
        GuardedPicture p;
        glyph_text_draw(glyph_of, p.pixels(), GuardedPicture::kPitch, GuardedPicture::kW, GuardedPicture::kH, c.x, c.y,
                        c.text, 9);
        Points drawn;
        for (int y = 0; y < GuardedPicture::kH; ++y)
            for (int x = 0; x < GuardedPicture::kW; ++x)
                if (p.at(x, y) == 9) drawn.emplace_back(x, y);
        EXPECT_EQ(drawn, c.drawn) << c.x << ", " << c.y << " \"" << c.text << "\"";
        EXPECT_TRUE(p.outside_untouched()) << c.x << ", " << c.y;
    }
}

}  // namespace
