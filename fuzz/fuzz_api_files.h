#pragma once
/// \file
/// The files the call-sequence fuzzer hands to the loaders and writers: small pictures, sounds and
/// palettes made at start-up in a folder of this process's own (removed at exit), with broken,
/// missing and unopenable names beside them.
#include <cstdint>

/// Writes the sample files once; later calls do nothing.
void fuzz_files_make();
/// Removes what an input may have written (saved palettes, logs), so every input starts alike.
void fuzz_files_reset();
/// The number of names fuzz_file_name() gives before they repeat.
int32_t fuzz_file_count();
/// Any name a loader may be given: readable and broken files of every kind, the files the
/// writers make, a missing file, a folder, an empty name. index is taken modulo the count.
const char* fuzz_file_name(int32_t index);
/// The number of names fuzz_target_name() gives before they repeat.
int32_t fuzz_target_count();
/// A name the writers may create: the scratch files, a folder, a file in a missing folder, an
/// empty name. index is taken modulo the count.
const char* fuzz_target_name(int32_t index);
