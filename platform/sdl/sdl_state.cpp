// The SDL backend's one state, shared by its files, and why the backend last failed.
#include <SDL.h>

#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

SdlState sdl;

void sdl_set_error(const char* what) {
    sdl.error = what;
    const char* detail = SDL_GetError();
    if (detail && *detail) {
        sdl.error += ": ";
        sdl.error += detail;
    }
}

const char* plat_error_text() { return sdl.error.c_str(); }
