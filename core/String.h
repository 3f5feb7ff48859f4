// Text values: sequences of 16-bit characters, compared exactly, never absent.
#pragma once

#include <string>
#include <string_view>

namespace kzm {

using String = std::u16string;

// One byte to one character, the byte's value being the code (ISO 8859-1).
String FromLatin1(std::string_view bytes);

// UTF-8 for the outside world: standard output, file names, JSON.
std::string ToUtf8(const String& text);

// Decodes UTF-8; a byte that is not part of a valid sequence becomes the
// character with that byte's code, so no input is lost or rejected.
String FromUtf8(std::string_view text);

// The path with every backslash turned into a forward slash: the system's
// paths may be written either way, and the platform reads only the one.
String ForwardSlashes(String path);

}  // namespace kzm
