#pragma once
/// \file
/// The sound table's slot helpers, shared by the table (sound.cpp) and the loaders (wav.cpp,
/// voc.cpp). Internal to the sound layer.
#include <cstdint>

#include "sound/pcm_convert.h"

/// The lowest free slot's index, or -1 when every slot holds a sound.
int sound_first_free_slot();
/// Fills a new buffer of `frames` bytes in the free slot with the samples converted to its
/// format, the frames past the `present` bytes silent, then marks the slot loaded with the
/// `rate` and `size` its file states. The slot's index, or -1 with the slot left as it was when
/// the buffer cannot be made, locked or unlocked.
int sound_fill_new_slot(int slot, uint32_t flags, const uint8_t* samples, uint64_t present, uint32_t frames,
                        const PcmLayout& layout, int32_t rate, int32_t size);
