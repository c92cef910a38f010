#pragma once
/// \file
/// The keyboard table: physical key positions (USB HID usage ids, as SDL's scancodes are) to the
/// system's key codes (set-1 scan codes, 0x80 added for keys sent with the extended prefix), the
/// numbering of the keyboard snapshot. One table indexed by scancode; the inverse is derived from it.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct KeyInfo KeyInfo;
#endif

/// One entry of the table.
struct KeyInfo {
    uint8_t key_code;  ///< 0 where the scancode has no key code
    uint8_t extended;  ///< 1 for keys sent with the extended prefix
};

/// The scancodes the table covers: 0 to 255.
enum { KEY_SCANCODE_COUNT = 256 };

/// The table entry for a scancode; an all-zero entry outside 0..255. Never null.
const KeyInfo* key_info_at(int32_t scancode);
/// The scancode whose key code this is, or -1.
int32_t key_scancode_of_code(int32_t key_code);

#ifdef __cplusplus
}  // extern "C"

/// key_info_at() as a reference.
inline const KeyInfo& key_info(int32_t scancode) { return *key_info_at(scancode); }
#endif
