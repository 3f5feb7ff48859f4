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

}  // namespace kzm
