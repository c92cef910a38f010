#include "imaging/log.h"

#include <cstdarg>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

FILE* log_file = nullptr;

namespace {

// True when the name leads to the file the log is writing. Emptying that file under the open
// stream would let the stream's unwritten lines and its closing line land on the new log.
#ifdef _WIN32
// Windows' stat gives no file number (st_ino is 0), so the file is known by its volume and index.
bool names_the_open_log(const char* name) {
    if (!log_file) return false;
    const HANDLE open = reinterpret_cast<HANDLE>(_get_osfhandle(fileno(log_file)));
    const HANDLE named = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = GetFileInformationByHandle(open, &a) && GetFileInformationByHandle(named, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(named);
    return same;
}
#else
bool names_the_open_log(const char* name) {
    struct stat named {
    }, open{};
    return log_file && stat(name, &named) == 0 && fstat(fileno(log_file), &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}
#endif

}  // namespace

int log_open(const char* name) {
    if (!name) return 0;
    if (names_the_open_log(name)) log_close();  // its lines end up in the file first
    FILE* f = std::fopen(name, "wb");           // the same bytes on every system, "\n" line ends
    if (!f) return 0;
    if (log_file) log_close();
    log_file = f;
    std::fprintf(log_file, "\nOpening Error Output File (%s):\n", name);
    return 1;
}

int log_close() {
    if (!log_file) return 0;
    std::fputs("\nClosing Error Output File.", log_file);
    std::fclose(log_file);
    log_file = nullptr;
    return 1;
}

int log_write(const char* format, ...) {
    if (!format || !log_file) return 0;
    char buffer[LOG_LINE_MAX + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::fputs(buffer, log_file);  // written as text, never used as a format again
    return 1;
}
