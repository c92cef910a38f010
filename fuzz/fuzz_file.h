#pragma once
/// \file
/// The loaders read files by name, so each input is written to a scratch file first.
#include <cstddef>
#include <cstdint>

/// Writes the bytes to this process's scratch file and returns its name.
const char* fuzz_write_file(const uint8_t* data, size_t size, const char* suffix);
