// Byte streams over files and over an in-memory bank.
//
// Reads past the end never fail: the missing bytes read as zeros. This is
// what the map format relies on, and it keeps every bounds check here, in one
// place, instead of at each call.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/Object.h"
#include "core/String.h"

namespace kzm {

class Stream : public Object {
public:
    virtual std::int64_t Length() const = 0;
    virtual std::int64_t Position() const = 0;
    // Held within 0 to the length.
    virtual void Seek(std::int64_t position) = 0;
    // Copies up to size bytes from the position on; returns how many came.
    virtual std::size_t ReadBytes(void* into, std::size_t size) = 0;
    // Writes at the position; returns how many bytes were written.
    virtual std::size_t WriteBytes(const void* from, std::size_t size) = 0;
    virtual void Close() {}
};

// Leaves new bytes uninitialised where a vector would fill them with zeros:
// a bank about to receive a whole file is written once, not twice.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&)
    {}
    template <class U>
    void construct(U* place)
    {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Arguments>
    void construct(U* place, Arguments&&... arguments)
    {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};

using ByteVector = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

// A growable in-memory byte buffer. Bytes that a resize adds are
// indeterminate until written; the streams never read them before.
class MemoryBank : public Object {
public:
    ByteVector Bytes;
};

// A stream over a bank, positioned at 0. Writing at its end grows the bank.
// Its reads are inline: the map reader spends its time here.
class BankStream final : public Stream {
public:
    explicit BankStream(Ref<MemoryBank> bank) : Bank(std::move(bank)) {}

    std::int64_t Length() const override { return static_cast<std::int64_t>(Bank->Bytes.size()); }
    std::int64_t Position() const override { return static_cast<std::int64_t>(Pos); }
    void Seek(std::int64_t position) override;
    std::size_t ReadBytes(void* into, std::size_t size) override;
    std::size_t WriteBytes(const void* from, std::size_t size) override;

    bool AtEnd() const { return Pos >= Bank->Bytes.size(); }
    std::size_t Remaining() const { return AtEnd() ? 0 : Bank->Bytes.size() - Pos; }

    std::uint32_t ReadU32()
    {
        std::uint8_t b[4] = {0, 0, 0, 0};
        if (Remaining() >= 4) {
            std::memcpy(b, Bank->Bytes.data() + Pos, 4);
            Pos += 4;
        } else {
            ReadBytes(b, 4);
        }
        return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
               static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    }

    // The next size bytes where the bank holds them all, consumed; null, and
    // nothing consumed, where it does not. The pointer is good until the
    // bank changes.
    const std::uint8_t* Take(std::size_t size)
    {
        if (Remaining() < size)
            return nullptr;
        const std::uint8_t* bytes = Bank->Bytes.data() + Pos;
        Pos += size;
        return bytes;
    }

    MemoryBank& GetBank() { return *Bank; }

private:
    Ref<MemoryBank> Bank;
    std::size_t Pos = 0;
};

// A file that cannot be opened gives no stream. Backslashes in the path count
// as forward slashes.
Ref<Stream> OpenFileForReading(const String& path);
Ref<BankStream> OpenBankStream(Ref<MemoryBank> bank);

std::int64_t StreamLength(const Stream& stream);
// Reads up to bufferSize bytes at a time from source while it is not at its
// end and writes them all to destination.
void CopyStreamBytes(Stream& source, Stream& destination, std::size_t bufferSize);
void CloseStreamHandle(Stream& stream);
void SeekTo(Stream& stream, std::int64_t position);
bool AtEndOfStream(const Stream& stream);

std::int32_t ReadInt32(Stream& stream);
float ReadFloat32(Stream& stream);
// n characters, one per byte; past the end the missing ones are U+0000.
// n of 0 or less gives the empty string.
String ReadByteString(Stream& stream, std::int32_t n);

inline std::int32_t ReadInt32(BankStream& stream)
{
    return static_cast<std::int32_t>(stream.ReadU32());
}

inline float ReadFloat32(BankStream& stream)
{
    const std::uint32_t bits = stream.ReadU32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace kzm
