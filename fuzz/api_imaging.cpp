// Imaging's operations for the call-sequence fuzzer: pictures and images, the picture decoder,
// the palette (and the platform's palettes beneath it), drawing and transitions, text, the clock
// and the error log.
#include "api.h"

#include <cstdlib>
#include <cstring>

#include "fuzz_api_files.h"
#include "imaging/bmp_decode.h"
#include "imaging/buffer_bounds.h"
#include "platform/status.h"
#include "platform/ticks.h"

namespace {

// ---- pictures and images ----

void op_bmp_load(Input& in) {
    const int32_t p = in.pick(PICTURES + 1);
    const char* name = fuzz_file_name(in.byte());
    bmp_load(p == PICTURES ? nullptr : &w.pictures[p], in.pick(16) ? name : nullptr);
}

void op_bmp_unload(Input& in) {
    const int32_t p = in.pick(PICTURES + 1);
    bmp_unload(p == PICTURES ? nullptr : &w.pictures[p]);
}

void op_bmp_flip_rows(Input& in) {
    BmpFile& b = w.pictures[in.pick(PICTURES)];
    const int32_t line = (b.info_header.biBitCount / 8) * b.info_header.biWidth;
    const int32_t rows = b.info_header.biHeight;
    switch (in.pick(4)) {
        case 0:
            if (b.buffer) bmp_flip_rows(b.buffer, line, rows);
            break;
        case 1: {
            // Any part of the picture, or sizes that are refused before anything is read.
            const int32_t l = in.value(), r = in.value();
            if (l < 0 || r < 0 || (b.buffer && int64_t{l} * r <= int64_t{line} * rows)) bmp_flip_rows(b.buffer, l, r);
            break;
        }
        default: {
            const int32_t l = in.value(), r = in.value();
            bmp_flip_rows(nullptr, l, r);
            break;
        }
    }
}

void op_image_create(Input& in) {
    const int32_t i = in.pick(IMAGES);
    const int32_t x = in.value(), y = in.value(), width = in.value(), height = in.value();
    if (area_too_big(width, height) && int64_t{width} * height <= INT32_MAX) return;
    image_destroy(&w.images[i]);  // a used record is emptied before it is made again
    image_create(&w.images[i], x, y, width, height);
}

void op_image_create_null(Input& in) {
    const int32_t x = in.value(), y = in.value();
    image_create(nullptr, x, y, 4, 4);
    image_destroy(nullptr);
    image_draw(nullptr, nullptr, 0, 0);
}

void op_image_destroy(Input& in) { image_destroy(&w.images[in.pick(IMAGES)]); }

void op_image_place(Input& in) {
    PixelImage& im = w.images[in.pick(IMAGES)];
    im.x = in.value();
    im.y = in.value();
}

void op_image_load_from_bmp(Input& in) {
    const int32_t i = in.pick(IMAGES + 1);
    const int32_t p = in.pick(PICTURES + 1);
    const int32_t cx = in.value(), cy = in.value(), mode = in.pick(3) ? in.pick(2) : in.value();
    image_load_from_bmp(i == IMAGES ? nullptr : &w.images[i], p == PICTURES ? nullptr : &w.pictures[p], cx, cy, mode);
}

void op_image_draw(Input& in) {
    const PixelImage& im = w.images[in.pick(IMAGES)];
    const Target t = target_arg(in);
    const int32_t transparent = in.pick(3) ? in.pick(2) : in.value();
    image_draw(&im, t.pixels, t.pitch, transparent);
}

// The decoder behind bmp_load, given stored pixels as the loader hands them over: rows at least
// a stored row apart in a block that holds them all, masks of 5 to 8 contiguous bits.
void op_bmp_decode(Input& in) {
    static const BmpStorage STORAGES[] = {BMP_INDEX1, BMP_INDEX4, BMP_INDEX8,   BMP_WORDS, BMP_MASKED16,
                                          BMP_BGR24,  BMP_BGRX32, BMP_MASKED32, BMP_RLE8,  BMP_RLE4};
    static const uint32_t MASKS[][3] = {{0x7C00, 0x03E0, 0x001F}, {0xF800, 0x07E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}};
    BmpPixels px{};
    px.storage = STORAGES[in.pick(static_cast<int32_t>(std::size(STORAGES)))];
    px.width = in.pick(64) + 1;
    px.height = in.pick(16) + 1;
    px.top_down = in.coin();
    const int64_t row = bmp_stored_row_bytes(px.storage, px.width);
    px.stride = row + in.pick(5);
    std::memcpy(px.masks, MASKS[in.pick(3)], sizeof px.masks);
    px.colours = in.pick(2) ? 256 : in.value();
    const bool run_length = px.storage == BMP_RLE8 || px.storage == BMP_RLE4;
    const size_t size = run_length ? static_cast<size_t>(in.pick(64)) + (in.coin() ? 1 : 0)
                                   : static_cast<size_t>(px.stride * (px.height - 1) + row);
    uint8_t* data = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!data) return;
    for (size_t i = 0; i < size; ++i) data[i] = in.pick(4) ? in.byte() : static_cast<uint8_t>(i & 3);
    bmp_picture_depth(px.storage);
    std::free(bmp_decode(px, data, size));
}

// ---- palette ----

PaletteEntry entry_arg(Input& in) {
    PaletteEntry e;
    e.peRed = in.byte();
    e.peGreen = in.byte();
    e.peBlue = in.byte();
    e.peFlags = in.byte();
    return e;
}

int32_t index_arg(Input& in) { return in.pick(4) ? in.byte() : in.value(); }

void op_palette_set_entry(Input& in) {
    const int32_t index = index_arg(in);
    const PaletteEntry e = entry_arg(in);
    palette_set_entry(index, in.pick(16) ? &e : nullptr);
}

void op_palette_get_entry(Input& in) {
    const int32_t index = index_arg(in);
    PaletteEntry e{};
    palette_get_entry(index, in.pick(16) ? &e : nullptr);
}

void op_palette_copy_out(Input& in) { palette_copy_out(in.pick(16) ? w.palette : nullptr); }

void op_palette_set_all(Input& in) {
    switch (in.pick(5)) {
        case 0: palette_set_all(nullptr); break;
        case 1: palette_set_all(w.pictures[in.pick(PICTURES)].palette); break;
        case 2:
            for (PaletteEntry& e : w.palette)
                e = PaletteEntry{static_cast<uint8_t>(std::rand()), static_cast<uint8_t>(std::rand()),
                                 static_cast<uint8_t>(std::rand()), 4};
            palette_set_all(w.palette);
            break;
        default: palette_set_all(w.palette); break;
    }
}

void op_palette_rotate(Input& in) {
    const int32_t first = in.pick(2) ? in.byte() : in.value();
    const int32_t count = in.pick(2) ? in.byte() : in.value();
    palette_rotate(first, count);
}

void op_palette_load_file(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    palette_load_file(in.pick(16) ? name : nullptr, in.pick(16) ? w.palette : nullptr);
}

void op_palette_save_file(Input& in) {
    const char* name = fuzz_target_name(in.byte());
    palette_save_file(in.pick(16) ? name : nullptr, in.pick(16) ? w.palette : nullptr);
}

void op_plat_palette_create(Input& in) {
    PlatDevice* d = device_arg(in);
    PlatPalette*& slot = empty_slot(pick_slot(in, w.palettes), plat_palette_release);
    plat_palette_create(d, in.pick(8) ? w.palette : nullptr, &slot);
}

void op_plat_palette_release(Input& in) { empty_slot(pick_slot(in, w.palettes), plat_palette_release); }

void op_plat_palette_set_entries(Input& in) {
    PlatPalette* p = palette_arg(in);
    const int32_t first = in.value(), count = in.value();
    plat_palette_set_entries(p, first, count, in.pick(8) ? w.palette : nullptr);
}

void op_plat_palette_get_entries(Input& in) {
    PlatPalette* p = palette_arg(in);
    const int32_t first = in.value(), count = in.value();
    plat_palette_get_entries(p, first, count, in.pick(8) ? w.palette : nullptr);
}

void op_plat_surface_set_palette(Input& in) {
    PlatSurface* s = surface_arg(in);
    plat_surface_set_palette(s, palette_arg(in));
}

// ---- drawing and transitions ----

void op_pixel_plot(Input& in) {
    const int32_t x = in.value(), y = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    pixel_plot(x, y, colour, t.pixels, t.pitch);
}

void op_hline_fill(Input& in) {
    const int32_t x1 = in.value(), x2 = in.value(), y = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    hline_fill(x1, x2, y, colour, t.pixels, t.pitch);
}

void op_vline_fill(Input& in) {
    const int32_t y1 = in.value(), y2 = in.value(), x = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    vline_fill(y1, y2, x, colour, t.pixels, t.pitch);
}

void op_line_clip(Input& in) {
    int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    if (!line_clip(x0, y0, x1, y1)) return;
    // What was kept lies on the clip rectangle: draw it when asked.
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_line_draw(Input& in) {
    const int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_line_draw_clipped(Input& in) {
    const int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw_clipped(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_rect_fill(Input& in) {
    const int32_t x1 = in.value(), y1 = in.value(), x2 = in.value(), y2 = in.value();
    const uint32_t colour = in.uvalue();
    rect_fill(x1, y1, x2, y2, colour, surface_arg(in));
}

void op_screen_transition(Input& in) {
    const int32_t kind = in.pick(4) ? in.pick(10) : in.value();
    const Target t = target_arg(in);
    if (w.transitions >= MAX_TRANSITIONS) return;
    ++w.transitions;
    screen_transition(kind, t.pixels, t.pitch);
}

void op_locked_bounds(Input& in) {
    static uint8_t stray = 0;
    Target t = target_arg(in);
    if (in.pick(8) == 0) t.pixels = &stray;  // a pointer into no surface
    int32_t width = -1, height = -1, pitch = -1;
    const int32_t c = in.pick(8);
    plat_locked_bounds(t.pixels, c == 0 ? nullptr : &width, c == 1 ? nullptr : &height, c == 2 ? nullptr : &pitch);
    buffer_bounds(t.pixels, t.pitch, &width, &height);
}

// ---- text, clock and log ----

void op_text_draw(Input& in) {
    const char* text = text_arg(in);
    const int32_t x = in.value(), y = in.value();
    const uint32_t colour = in.uvalue();
    text_draw(text, x, y, colour, surface_arg(in));
}

void op_text_draw_indexed(Input& in) {
    const char* text = text_arg(in);
    const int32_t x = in.value(), y = in.value(), index = index_arg(in);
    text_draw_indexed(text, x, y, index, surface_arg(in));
}

void op_plat_text_draw(Input& in) {
    PlatSurface* s = surface_arg(in);
    const int32_t x = in.value(), y = in.value();
    const char* text = text_arg(in);
    const uint8_t r = in.byte(), g = in.byte(), b = in.byte();
    plat_text_draw(s, x, y, text, r, g, b);
}

void op_headless_texts(Input& in) {
    const int32_t n = headless_text_count();
    const HeadlessText* t = headless_text_at(in.pick(4) ? (n > 0 ? in.pick(n) : 0) : in.value());
    if (t && std::strlen(t->text) >= sizeof t->text) std::abort();
    if (in.pick(4) == 0) headless_text_clear();
}

void op_clock(Input& in) {
    switch (in.pick(4)) {
        case 0: clock_now(); break;
        case 1: clock_start(); break;
        case 2: clock_wait(in.uvalue()); break;
        default: clock_start_count = in.uvalue(); break;  // the stamp is the caller's too
    }
}

void op_ticks(Input& in) {
    switch (in.pick(6)) {
        case 0: plat_ticks(); break;
        case 1: {
            uint64_t fine = 0;
            plat_ticks_fine(&fine);
            break;
        }
        case 2: headless_set_ticks(in.uvalue()); break;
        case 3: {
            const uint32_t rest = in.uvalue(), step = in.uvalue();
            headless_set_fine_ticks(rest, step);
            break;
        }
        case 4: headless_present_on_tick(in.pick(2) ? 16 : in.uvalue()); break;
        default: headless_set_tick_step(in.uvalue()); break;
    }
}

void op_log_open(Input& in) {
    const char* name = fuzz_target_name(in.byte());
    log_open(in.pick(16) ? name : nullptr);
}

void op_log_close(Input&) { log_close(); }

void op_log_write(Input& in) {
    const int32_t v = in.value();
    switch (in.pick(6)) {
        case 0: log_write("\nA line with a number %d", v); break;
        case 1: log_write("\n%s", text_arg(in) ? "text" : ""); break;
        case 2: log_write("\n%x %u %c", static_cast<unsigned>(v), static_cast<unsigned>(v), 'z'); break;
        case 3:
            log_write("\n%s",
                      "A line far longer than one write carries, so that it is cut at the limit and "
                      "nothing beyond the limit reaches the file.");
            break;
        case 4: {
            int (*const write_any)(const char*, ...) = log_write;  // no format check on a null format
            write_any(nullptr);
            break;
        }
        default: log_write("%%d"); break;
    }
}

void op_plat_error_text(Input&) {
    if (!plat_error_text()) std::abort();
}

const Op PICTURE_OPS[] = {
    OP(bmp_load),      OP(bmp_unload),  OP(bmp_flip_rows),       OP(image_create), OP(image_create_null),
    OP(image_destroy), OP(image_place), OP(image_load_from_bmp), OP(image_draw),   OP(bmp_decode),
};

const Op PALETTE_OPS[] = {
    OP(palette_set_entry),    OP(palette_get_entry),        OP(palette_copy_out),         OP(palette_set_all),
    OP(palette_rotate),       OP(palette_load_file),        OP(palette_save_file),        OP(plat_palette_create),
    OP(plat_palette_release), OP(plat_palette_set_entries), OP(plat_palette_get_entries), OP(plat_surface_set_palette),
};

const Op DRAWING_OPS[] = {
    OP(pixel_plot),        OP(hline_fill), OP(vline_fill),        OP(line_clip),     OP(line_draw),
    OP(line_draw_clipped), OP(rect_fill),  OP(screen_transition), OP(locked_bounds),
};

const Op TEXT_OPS[] = {
    OP(text_draw), OP(text_draw_indexed), OP(plat_text_draw), OP(headless_texts), OP(clock),
    OP(ticks),     OP(log_open),          OP(log_close),      OP(log_write),      OP(plat_error_text),
};

}  // namespace

const OpTable picture_ops = PICTURE_OPS;
const OpTable palette_ops = PALETTE_OPS;
const OpTable drawing_ops = DRAWING_OPS;
const OpTable text_ops = TEXT_OPS;
