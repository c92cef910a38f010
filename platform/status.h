#pragma once
/// \file
/// Results of platform requests. A request has succeeded only when it reports
/// exactly PLAT_OK; every other value, positive or negative, is a failure.

#ifdef __cplusplus
extern "C" {
#endif

/// The result of a platform request.
enum PlatStatus {
    PLAT_OK = 0,               ///< done
    PLAT_ERR_REFUSED = 1,      ///< the backend declined (no device, scripted refusal)
    PLAT_ERR_INVALID = 2,      ///< a bad argument: null handle, rectangle outside, range
    PLAT_ERR_BUSY = 3,         ///< the surface is locked
    PLAT_ERR_NO_MEMORY = 4,    ///< an allocation failed
    PLAT_ERR_UNSUPPORTED = 5,  ///< the mode or format is not one the backend offers
};
#ifndef __cplusplus  // C names the enumeration without `enum`, as C++ does
typedef enum PlatStatus PlatStatus;
#endif

/// Why the backend last failed to open something (the window, the display, a font), or "".
const char* plat_error_text(void);

#ifdef __cplusplus
}  // extern "C"
#endif
