// Facts about the running program that several platform services share.
#pragma once

#include "core/String.h"

namespace kzm {

// Captions the display window and every message box. The program never sets
// it: it is the executable's file name, without its folder.
String ApplicationTitle();

// The folder that holds the executable, with forward slashes and no
// separator at its end; empty when it cannot be found.
String ExecutableFolder();

// Sets the SDL hints the whole platform relies on. Called before any SDL
// subsystem starts, by every service that may be the first to start one;
// calling it again changes nothing.
void SetSdlHints();

}  // namespace kzm
