#pragma once
/// \file
/// The 256 colours of the display: single entries, the whole table, rotation, palette files.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Shows the entry at that index and keeps it in palette_entries; 0 for an index outside 0..255.
int palette_set_entry(int32_t index, const PaletteEntry* entry);
/// Copies palette_entries[index] out; 0 for an index outside 0..255.
int palette_get_entry(int32_t index, PaletteEntry* entry);
/// Copies all 256 entries of palette_entries out.
int palette_copy_out(PaletteEntry* entries);
/// Installs 256 entries: into palette_entries, then on the screen in one change.
int palette_set_all(const PaletteEntry* entries);
/// Moves entries first..first+count-1 up one place, the last going to first; 0 for count below 2
/// or first + count above 256.
int palette_rotate(int32_t first, int32_t count);
/// Fills the array from a palette text file; 0 when the file cannot be opened.
int palette_load_file(const char* name, PaletteEntry* entries);
/// Writes the array as a palette text file; 0 when the file cannot be created.
int palette_save_file(const char* name, const PaletteEntry* entries);

#ifdef __cplusplus
}  // extern "C"
#endif
