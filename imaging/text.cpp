#include "imaging/text.h"

#include "display/display.h"
#include "platform/status.h"

int text_draw(const char* text, int32_t x, int32_t y, uint32_t color, PlatSurface* surface) {
    if (!text || !surface) return 0;
    const uint8_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    return plat_text_draw(surface, x, y, text, red, green, blue) == PLAT_OK ? 1 : 0;
}

int text_draw_indexed(const char* text, int32_t x, int32_t y, int32_t index, PlatSurface* surface) {
    if (index < 0 || index > 255) return 0;
    const PaletteEntry& e = palette_entries[index];
    const uint32_t color = uint32_t(e.peRed) | (uint32_t(e.peGreen) << 8) | (uint32_t(e.peBlue) << 16);
    return text_draw(text, x, y, color, surface);
}
