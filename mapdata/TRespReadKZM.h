// The result of one map read.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"
#include "mapdata/TRKLevel.h"

namespace kzm {

class TRespReadKZM : public Object {
public:
    Ref<TRKLevel> Level;              // set whenever Errored is 0; absent after a failed read
    std::uint8_t HeaderFound = 0;     // a header's signature matched "KZM"
    std::uint8_t VersionMatched = 0;  // a header's version matched "1.0.0"
    String Version;                   // version string of the last header whose signature matched
    std::uint8_t Errored = 0;
    // Why the read failed, in words for the person who gave the file; empty
    // when it did not. The system itself prints only "It errored".
    String FailureText;

    virtual void SetLevel(Ref<TRKLevel> level) { Level = std::move(level); }
    virtual Ref<TRKLevel> GetLevel() { return Level; }
    virtual void SetHeaderFound(std::uint8_t value) { HeaderFound = value; }
    virtual std::uint8_t GetHeaderFound() { return HeaderFound; }
    virtual void SetVersionMatched(std::uint8_t value) { VersionMatched = value; }
    virtual std::uint8_t GetVersionMatched() { return VersionMatched; }
    virtual void SetVersion(const String& value) { Version = value; }
    virtual String GetVersion() { return Version; }
    virtual void SetErrored(std::uint8_t value) { Errored = value; }
    virtual std::uint8_t GetErrored() { return Errored; }
};

}  // namespace kzm
