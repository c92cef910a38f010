#include "fuzz_file.h"

#include <unistd.h>

#include <cstdio>
#include <string>

const char* fuzz_write_file(const uint8_t* data, size_t size, const char* suffix) {
    static std::string name;
    if (name.empty()) {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        name = std::string(dir) + "/zarn-fuzz-" + std::to_string(getpid()) + suffix;
    }
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return name.c_str();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return name.c_str();
}
