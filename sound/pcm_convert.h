#pragma once
/// \file
/// Conversion of the PCM samples that sound files hold into the sound buffers' one format:
/// unsigned 8-bit mono, 128 silence. Internal to the sound loaders.
#include <cstdint>

/// Interleaved PCM samples as a file holds them: frames of `channels` samples of `sample_bytes`
/// bytes each; 1-byte samples are unsigned (128 the middle), wider ones signed little-endian.
struct PcmLayout {
    uint32_t channels = 1;      ///< 1 to 65535
    uint32_t sample_bytes = 1;  ///< 1 to 4
};

/// The layout of samples of this many bits, each in the fewest whole bytes that hold it (the
/// value in the top bits, as files store 12 or 20 bits); 0 and out untouched when channels is
/// not 1 to 65535 or bits not 1 to 32.
int pcm_layout(uint32_t channels, uint32_t bits_per_sample, PcmLayout* out);

/// Bytes of one frame: channels × sample bytes.
uint32_t pcm_frame_bytes(const PcmLayout& layout);

/// Writes one byte per frame: the mean of the frame's channels, rounded to the nearest step of
/// the 8-bit scale (a mean halfway between two steps goes up), at most 127 above the middle,
/// and offset to unsigned. No dither: the same samples always give the same bytes. 8-bit mono
/// is copied as it is.
void pcm_to_u8_mono(const uint8_t* src, uint32_t frames, const PcmLayout& layout, uint8_t* dst);
