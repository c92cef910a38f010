// The SDL backend's text where no font renderer is built in (Windows): the desktop font's glyphs
// from the table made at build time, as the web page draws them.
#include "platform/common/backend.h"
#include "platform/common/glyph_table.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

void sdl_glyphs_release() {}

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    glyph_text_draw(glyph_table_of, pixels, pitch, width, height, x, y, text, index);
    return PLAT_OK;
}
