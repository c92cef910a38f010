// Pixels, lines and rectangles: clipping, the line stepping and its refusals.
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "guarded_picture.h"
#include "headless_fixture.h"
#include "imaging/draw.h"
#include "locked_surface.h"

namespace {

using Draw = Headless;

struct Canvas : GuardedPicture {
    std::vector<std::pair<int, int>> written(uint8_t colour) {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (at(x, y) == colour) out.emplace_back(x, y);
        return out;
    }
};

using Points = std::vector<std::pair<int, int>>;

TEST_F(Draw, HorizontalAndVerticalFillsAreCutToTheClipRectangle) {
    Canvas c;
    hline_fill(700, -5, 10, 3, c.pixels(), Canvas::kPitch);
    for (int x = 0; x < 640; ++x) ASSERT_EQ(c.at(x, 10), 3) << x;
    EXPECT_EQ(c.at(0, 9), 7);
    EXPECT_EQ(c.at(0, 11), 7);
    hline_fill(0, 639, 480, 4, c.pixels(), Canvas::kPitch);
    hline_fill(0, 639, -1, 4, c.pixels(), Canvas::kPitch);
    hline_fill(640, 900, 5, 4, c.pixels(), Canvas::kPitch);
    hline_fill(-9, -1, 5, 4, c.pixels(), Canvas::kPitch);
    vline_fill(-1, 900, 640, 4, c.pixels(), Canvas::kPitch);
    EXPECT_TRUE(c.written(4).empty());

    vline_fill(20, 20, 30, 5, c.pixels(), Canvas::kPitch);
    EXPECT_EQ(c.written(5), (Points{{30, 20}}));
    vline_fill(900, -40, 639, 6, c.pixels(), Canvas::kPitch);
    EXPECT_EQ(c.written(6).size(), 480u);
    EXPECT_EQ(c.at(639, 0), 6);
    EXPECT_EQ(c.at(639, 479), 6);
    hline_fill(3, 1, 100, 8, c.pixels(), Canvas::kPitch);
    EXPECT_EQ(c.written(8), (Points{{1, 100}, {2, 100}, {3, 100}}));
    // Spans that end or start exactly on an edge of the clip rectangle draw that pixel.
    struct Span {
        int32_t from, to, at;
        int vertical;
        Points drawn;
    };
    const Span spans[] = {
        {-5, 0, 200, 0, {{0, 200}}},
        {639, 900, 201, 0, {{639, 201}}},
        {-5, 0, 200, 1, {{200, 0}}},
        {479, 900, 201, 1, {{201, 479}}},
    };
    for (const Span& s : spans) {
        Canvas e;
        if (s.vertical) vline_fill(s.from, s.to, s.at, 9, e.pixels(), Canvas::kPitch);
        else hline_fill(s.from, s.to, s.at, 9, e.pixels(), Canvas::kPitch);
        EXPECT_EQ(e.written(9), s.drawn) << s.from << ".." << s.to << " at " << s.at;
    }
    // No buffer or no pitch: nothing. A plain buffer's rows are no wider than the pitch.
    hline_fill(0, 10, 0, 9, nullptr, Canvas::kPitch);
    vline_fill(0, 10, 0, 9, c.pixels(), -Canvas::kPitch);
    hline_fill(0, 10, 0, 9, c.pixels(), 0);
    EXPECT_TRUE(c.written(9).empty());
    hline_fill(0, 639, 0, 9, c.pixels(), 4);
    EXPECT_EQ(c.written(9), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    EXPECT_TRUE(c.outside_untouched());
}

TEST_F(Draw, FillsNeverPassASmallerDisplay) {
    // The clip rectangle stays 640 x 480 whatever the mode; the fills still stop at the display.
    display_width = 320;
    display_height = 200;
    std::vector<uint8_t> buf(320 * 200 + 64, 7);
    hline_fill(0, 639, 199, 1, buf.data(), 320);
    vline_fill(0, 479, 319, 1, buf.data(), 320);
    hline_fill(0, 639, 300, 2, buf.data(), 320);
    for (size_t i = 320 * 200; i < buf.size(); ++i) ASSERT_EQ(buf[i], 7);
    EXPECT_EQ(buf[199 * 320 + 319], 1);
    EXPECT_EQ(buf[198 * 320 + 319], 1);
}

struct ClipCase {
    int32_t x0, y0, x1, y1;
    int result;
    int32_t cx0, cy0, cx1, cy1;
};

TEST_F(Draw, LineClipFollowsTheRegionTable) {
    const ClipCase cases[] = {
        {-10, 5, -1, 100, 0, -10, 5, -1, 100},        // both left
        {10, 10, 20, 20, 1, 10, 10, 20, 20},          // inside, unchanged
        {-10, 10, 10, 10, 1, 0, 10, 10, 10},          // start left
        {320, -100, 320, 100, 1, 320, 0, 320, 100},   // start above
        {100, 100, 700, 100, 1, 100, 100, 639, 100},  // end right
        {700, 100, 100, 100, 1, 639, 100, 100, 100},  // start right
        {0, -10, 0, -1, 0, 0, -10, 0, -1},            // both above
        {-100, 50, 50, -100, 0, -100, 50, 50, -100},  // passes by the corner
        {-7, 0, 13, 11, 1, 0, 3, 13, 11},             // start left: 0 + 7 * 11 / 20
        {5, 20, -15, 9, 1, 5, 20, 0, 17},             // end left: 9 + 15 * 11 / 20
        // A corner start: x at the top edge is -1 + 10 * 10 / 200 = -1, half-adjusted to 0, so
        // the top edge is taken (the left edge would have given y 10).
        {-1, -10, 9, 190, 1, 0, 0, 9, 190},
        // The same for a corner end point: it half-adjusts too.
        {9, 190, -1, -10, 1, 9, 190, 0, 0},
        // A corner end point whose top-edge x (-70, half-adjusted -69) is outside: the left edge,
        // y = -3 + 120 * 13 / 220 = 4.
        {100, 10, -120, -3, 1, 100, 10, 0, 4},
        // Start above: x = 20 - 800 / 38 = -1, half-adjusted to 0; end left (an edge region, not
        // half-adjusted): y = 18 - 20 * 38 / 40 = -1, outside, so nothing is drawn.
        {20, -20, -20, 18, 0, 20, -20, -20, 18},
        // Lines lying on an edge are inside.
        {5, 0, 100, 0, 1, 5, 0, 100, 0},
        {5, 479, 100, 479, 1, 5, 479, 100, 479},
        {0, 5, 0, 100, 1, 0, 5, 0, 100},
        {639, 5, 639, 100, 1, 639, 5, 639, 100},
        // Huge coordinates do not overflow the arithmetic.
        {-2000000000, 240, 2000000000, 240, 1, 0, 240, 639, 240},
    };
    for (const ClipCase& k : cases) {
        int32_t x0 = k.x0, y0 = k.y0, x1 = k.x1, y1 = k.y1;
        EXPECT_EQ(line_clip(x0, y0, x1, y1), k.result) << k.x0 << "," << k.y0 << " " << k.x1 << "," << k.y1;
        EXPECT_EQ(x0, k.cx0) << k.x0 << "," << k.y0 << " " << k.x1 << "," << k.y1;
        EXPECT_EQ(y0, k.cy0) << k.x0 << "," << k.y0 << " " << k.x1 << "," << k.y1;
        EXPECT_EQ(x1, k.cx1) << k.x0 << "," << k.y0 << " " << k.x1 << "," << k.y1;
        EXPECT_EQ(y1, k.cy1) << k.x0 << "," << k.y0 << " " << k.x1 << "," << k.y1;
    }
}

TEST_F(Draw, LineStepsAndTheRowShortEnd) {
    Canvas c;
    EXPECT_EQ(line_draw(0, 0, 4, 3, 1, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(line_draw(0, 10, 3, 14, 2, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(2), (Points{{0, 10}, {1, 11}, {2, 12}, {3, 13}, {3, 14}}));
    EXPECT_EQ(line_draw(5, 5, 5, 5, 3, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(3), (Points{{5, 5}}));
    // Drawn backwards the wide line ends a row short on the side of y0 too.
    EXPECT_EQ(line_draw(24, 43, 20, 40, 4, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(4), (Points{{20, 41}, {21, 41}, {22, 42}, {23, 43}, {24, 43}}));
    // A flat line and a diagonal end exactly on their end points.
    EXPECT_EQ(line_draw(639, 479, 600, 479, 5, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(5).size(), 40u);
    EXPECT_EQ(line_draw(639, 0, 0, 639 - 160, 6, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.at(0, 478), 6);  // wide: the last pixel is one row short of 479
    EXPECT_EQ(c.at(0, 479), 7);

    // End points outside the display are refused, nothing written.
    const auto before = c.bytes;
    EXPECT_EQ(line_draw(-1, 0, 10, 10, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(line_draw(0, 0, 640, 10, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(line_draw(0, 0, 10, 480, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(line_draw(0, 0, 10, 10, 9, nullptr, Canvas::kPitch), 0);
    EXPECT_EQ(line_draw(0, 0, 10, 10, 9, c.pixels(), 0), 0);
    EXPECT_EQ(pixel_plot(640, 0, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(pixel_plot(0, -1, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(pixel_plot(0, 480, 9, c.pixels(), Canvas::kPitch), 0);
    EXPECT_EQ(pixel_plot(0, 0, 9, nullptr, Canvas::kPitch), 0);
    EXPECT_TRUE(c.bytes == before);
    EXPECT_EQ(pixel_plot(639, 479, 9, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.at(639, 479), 9);
    EXPECT_TRUE(c.outside_untouched());
}

TEST_F(Draw, ClippedLinesStayInsideAndAlwaysReportDone) {
    Canvas c;
    EXPECT_EQ(line_draw_clipped(-100, 240, 1000, 240, 1, c.pixels(), Canvas::kPitch), 1);
    EXPECT_EQ(c.written(1).size(), 640u);
    EXPECT_EQ(line_draw_clipped(-50, -50, 700, 530, 2, c.pixels(), Canvas::kPitch), 1);
    EXPECT_FALSE(c.written(2).empty());
    EXPECT_EQ(line_draw_clipped(-50, -50, -1, 700, 3, c.pixels(), Canvas::kPitch), 1);  // nothing inside
    EXPECT_TRUE(c.written(3).empty());
    const int32_t far[][4] = {{-2147483647, -2147483647, 2147483647, 2147483647},
                              {2147483647, -5, -2147483647, 400},
                              {320, -2147483647, 320, 2147483647}};
    for (const auto& l : far) EXPECT_EQ(line_draw_clipped(l[0], l[1], l[2], l[3], 4, c.pixels(), Canvas::kPitch), 1);
    EXPECT_TRUE(c.outside_untouched());
}

// Into a locked surface, from its first pixel or from one inside it, every write is cut to what
// remains of the surface: a point on a small surface is drawn, none past it.
TEST_F(Draw, EveryWriteIsCutToTheLockedSurfaceItLandsIn) {
    open_display();
    struct Case {
        int32_t w, h, column, row;
    };
    const Case cases[] = {{32, 32, 0, 0}, {13, 7, 0, 0}, {40, 30, 8, 5}, {640, 480, 600, 450}, {9, 2, 7, 0}};
    std::vector<std::unique_ptr<LockedSurface>> locked;  // all locked at once
    for (const Case& k : cases) locked.push_back(std::make_unique<LockedSurface>(k.w, k.h, k.column, k.row));
    for (const auto& s : locked) {
        const int32_t rw = s->room_w(), rh = s->room_h();
        uint8_t* p = s->start();
        const int32_t pitch = s->pitch;
        SCOPED_TRACE(testing::Message() << s->w << "x" << s->h << " from " << s->column << "," << s->row);
        EXPECT_EQ(pixel_plot(rw - 1, rh - 1, 1, p, pitch), 1);
        EXPECT_EQ(s->at(rw - 1, rh - 1), 1);
        EXPECT_EQ(pixel_plot(rw, 0, 1, p, pitch), 0);
        EXPECT_EQ(pixel_plot(0, rh, 1, p, pitch), 0);
        EXPECT_EQ(line_draw(0, 0, rw, 0, 1, p, pitch), 0);
        EXPECT_EQ(line_draw(0, 0, 0, rh, 1, p, pitch), 0);
        hline_fill(-5, 700, 0, 2, p, pitch);
        vline_fill(700, -5, 0, 3, p, pitch);
        EXPECT_EQ(line_draw(rw - 1, 0, rw - 1, rh - 1, 4, p, pitch), 1);
        EXPECT_EQ(line_draw_clipped(-50, rh - 1, 1000, rh - 1, 5, p, pitch), 1);
        for (int32_t y = 0; y < rh; ++y)
            for (int32_t x = 0; x < rw; ++x) {
                const int expect = y == rh - 1 ? 5 : x == rw - 1 ? 4 : x == 0 ? 3 : y == 0 ? 2 : 7;
                ASSERT_EQ(s->at(x, y), expect) << x << "," << y;
            }
        EXPECT_TRUE(s->outside_untouched());
    }
    // A surface released while locked is forgotten: drawing elsewhere still works.
    PlatSurface* gone = display_create_surface(8, 8, DDSCAPS_SYSTEMMEMORY);
    int32_t pitch = 0;
    ASSERT_NE(display_lock_surface(gone, &pitch), nullptr);
    plat_surface_release(gone);
    Canvas c;
    EXPECT_EQ(pixel_plot(639, 479, 1, c.pixels(), Canvas::kPitch), 1);
}

TEST_F(Draw, RectangleFillExcludesRightAndBottom) {
    open_display();
    PlatSurface* s = display_create_surface(64, 48, DDSCAPS_SYSTEMMEMORY);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(rect_fill(10, 10, 20, 20, 0x105, s), 1);  // the fill takes the low byte
    int32_t pitch = 0;
    uint8_t* p = display_lock_surface(s, &pitch);
    ASSERT_NE(p, nullptr);
    int filled = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (p[y * pitch + x] == 5) {
                ++filled;
                EXPECT_TRUE(x >= 10 && x < 20 && y >= 10 && y < 20) << x << "," << y;
            }
    EXPECT_EQ(filled, 100);
    // Locked: the fill is refused by the platform, still reported done.
    EXPECT_EQ(rect_fill(0, 0, 64, 48, 6, s), 1);
    EXPECT_EQ(p[0], 0);
    display_unlock_surface(s, p);
    EXPECT_EQ(rect_fill(0, 0, 1, 1, 6, nullptr), 0);
    plat_surface_release(s);
}

}  // namespace
