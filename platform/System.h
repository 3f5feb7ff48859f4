// Process start and end, message boxes, the pointer, and the window system's
// messages.
#pragma once

#include "core/String.h"

namespace kzm {

// The very first call of main(): makes the executable's folder the working
// directory, installs the last-resort handler (an uncaught failure writes its
// text to standard error and ends the process with status -1), and starts
// the platform's components. SDL's own signal handlers are kept out, so
// Ctrl+C and `kill` end the program even though it ignores close requests.
void StartPlatform();

// Ends the process with status 0 after the exit handlers ran (the display's
// among them, which closes it).
[[noreturn]] void EndProgram();

// The working directory with every backslash turned into a slash and no
// separator added at its end.
String CurrentDirectory();

// A modal message box with one OK button, an information icon (a warning
// icon when serious), captioned with the application title and owned by the
// display window while one is open. Returns once it is dismissed. Where no
// message box can be shown (no window system), the text goes to standard
// error instead, so it is never lost.
void ShowNotice(const String& text, bool serious);

// Hides the pointer while it is over the display; ShowPointer undoes it.
void HidePointer();
void ShowPointer();

// Handles every pending window-system message without waiting: key messages
// feed the key tables, focus changes release every key, joysticks come and
// go. A call made while one is already running returns at once.
void PollSystemEvents();

// Whether the user asked to close the display or end the application since
// start. The request is only recorded: the program never acts on it.
bool TerminateRequested();

}  // namespace kzm
