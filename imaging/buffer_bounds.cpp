// How much of a pixel buffer the drawing operations may write: the platform knows the surfaces
// locked now; any other buffer is taken to hold the display.
#include "imaging/buffer_bounds.h"

#include <algorithm>

#include "display/display.h"
#include "platform/status.h"
#include "platform/video.h"

int buffer_bounds(const uint8_t* buffer, int32_t lpitch, int32_t* width, int32_t* height) {
    int64_t w = 0, h = 0;
    int32_t surface_w = 0, surface_h = 0, surface_pitch = 0;
    if (buffer && lpitch > 0) {
        if (plat_locked_bounds(buffer, &surface_w, &surface_h, &surface_pitch) == PLAT_OK) {
            w = std::min<int64_t>(surface_w, lpitch);
            if (w > 0 && surface_h > 0) {
                // Row r ends at r * lpitch + w - 1, which must not pass the surface's last pixel.
                const int64_t last = int64_t{surface_h - 1} * surface_pitch + surface_w - 1;
                h = std::min<int64_t>(surface_h, (last - (w - 1)) / lpitch + 1);
            }
        } else {
            w = std::min<int64_t>(display_width, lpitch);
            h = display_height;
        }
    }
    if (w <= 0 || h <= 0) w = h = 0;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return w > 0;
}
