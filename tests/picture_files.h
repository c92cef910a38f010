#pragma once
/// \file
/// BMP files built byte by byte for the picture tests, and a scratch directory to write them in.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/bmp_bytes.h"

/// A directory of its own for each test (tests run as separate processes at the same time).
struct ScratchDir {
    std::filesystem::path path;
    ScratchDir() {
        path =
            std::filesystem::temp_directory_path() / ("zarn_pictures_" + std::to_string(getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }

    /// Writes the bytes as a file of that name in the directory; its path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string file = (path / name).string();
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }
};
