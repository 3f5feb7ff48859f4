// The read result of a map as one JSON document, written as it is walked.
//
// A million-tile map gives some 250 MB of JSON: the document is never held
// whole, only a buffer of it. The bytes are those of nlohmann-json's compact
// dump of the same values (keys in the order below), so its parsers and its
// number format apply.
#pragma once

#include <cstdio>

#include "mapdata/TRespReadKZM.h"

namespace kzm::tool {

// {"errored", "header_found", "version_matched", "version", "level"} and a
// line end; "level" is null when the read left none, else the dimensions
// with "tilesets" and "tiles" in list order (elements of other classes are
// passed over). Floats are the shortest decimal that reads back to the same
// single-precision value; NaN and the infinities are the strings "nan",
// "inf" and "-inf". False when writing to out failed.
bool WriteReadResultJson(std::FILE* out, TRespReadKZM& result);

}  // namespace kzm::tool
