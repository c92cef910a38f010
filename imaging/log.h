#pragma once
/// \file
/// The error log: a text file that any part of the system may write to while it is open.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdio>
#else
#include <stdio.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

extern FILE* log_file;  ///< the open log, or null

/// characters one write carries at most
enum { LOG_LINE_MAX = 79 };

/// Creates (empties) the file and makes it the log, closing any log that was open. 1; 0 when the
/// file cannot be created, in which case an open log stays open and current (unless it was
/// that same file, which is closed first).
int log_open(const char* name);
/// Writes the closing line and closes the log; 1, or 0 when none was open.
int log_close(void);
/// Formats the message (cut at 79 characters) and writes it unchanged; 1, or 0 when no log is
/// open or the format is null.
int log_write(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#ifdef __cplusplus
}  // extern "C"
#endif
