#pragma once
/// \file
/// The one window and its message queue.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct PlatMessage PlatMessage;
#endif

/// The kinds of message.
enum PlatMessageKind {
    PLAT_MSG_NONE = 0,     ///< no message
    PLAT_MSG_CREATE = 1,   ///< the window was made
    PLAT_MSG_PAINT = 2,    ///< the window was uncovered (queued at most once at a time)
    PLAT_MSG_DESTROY = 3,  ///< the window is to close
    PLAT_MSG_QUIT = 4,     ///< the program is to end, asked for by plat_post_quit()
    PLAT_MSG_OTHER = 5,    ///< anything else
};
#ifndef __cplusplus  // C names the enumeration without `enum`, as C++ does
typedef enum PlatMessageKind PlatMessageKind;
#endif

/// A message of the window's queue.
struct PlatMessage {
    int32_t kind;   ///< a PlatMessageKind
    int32_t param;  ///< the quit code for PLAT_MSG_QUIT, else 0
};

/// Makes the one window with this title; PLAT_OK, or an error when no display can be had. Queues PLAT_MSG_CREATE.
int plat_window_create(const char* title);
/// Closes the window and drops every queued message; safe when none was made.
void plat_window_destroy(void);
/// Takes at most one message off the queue into *out: 1 when one was taken, 0 when none waited.
/// PLAT_MSG_QUIT comes only once every other message has been taken, a paint excepted: a paint
/// waiting alone is taken after it (it stays queued). The desktop closing the
/// window arrives as PLAT_MSG_DESTROY.
int plat_message_take(PlatMessage* out);
/// Queues a message for a later take; PLAT_OK, or PLAT_ERR_REFUSED when the bounded queue is full.
int plat_message_post(int32_t kind, int32_t param);
/// Asks for PLAT_MSG_QUIT with this code once the queue is empty or holds only a paint.
void plat_post_quit(int32_t code);
/// Shows (non-zero) or hides (0) the mouse cursor over the window.
void plat_cursor_show(int shown);
/// Tells the player why the program cannot go on: writes "program: text" as a line to stderr and,
/// on the desktops where a player has no terminal (Windows), shows the text in a message box
/// titled with the program's name as well, returning once the player has closed it. A null
/// program or text counts as "".
void plat_report_error(const char* program, const char* text);
/// 1 while the key with this key code (keys.h: the keyboard snapshot's numbering) is down at
/// this moment, as the desktop's events have told so far; 0 when it is up, for a code no key
/// has, and while no window is open.
int plat_key_down_now(int32_t key_code);

#ifdef __cplusplus
}  // extern "C"
#endif
