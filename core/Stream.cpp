#include "core/Stream.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kzm {

namespace {

class FileStream final : public Stream {
public:
    explicit FileStream(std::FILE* file) : File(file)
    {
        std::fseek(File, 0, SEEK_END);
        Size = std::ftell(File);
        if (Size < 0)
            Size = 0;
        std::fseek(File, 0, SEEK_SET);
    }
    ~FileStream() override { Close(); }

    std::int64_t Length() const override { return Size; }
    std::int64_t Position() const override { return Pos; }
    void Seek(std::int64_t position) override
    {
        Pos = std::clamp<std::int64_t>(position, 0, Size);
        if (File)
            std::fseek(File, static_cast<long>(Pos), SEEK_SET);
    }
    std::size_t ReadBytes(void* into, std::size_t size) override
    {
        if (!File)
            return 0;
        const std::size_t got = std::fread(into, 1, size, File);
        Pos += static_cast<std::int64_t>(got);
        // A file that ends early (it shrank while open) is at its end now.
        if (got < size)
            Size = Pos;
        return got;
    }
    std::size_t WriteBytes(const void*, std::size_t) override { return 0; }
    void Close() override
    {
        if (File)
            std::fclose(File);
        File = nullptr;
    }

private:
    std::FILE* File;
    std::int64_t Size = 0;
    std::int64_t Pos = 0;
};

}  // namespace

void BankStream::Seek(std::int64_t position)
{
    Pos = static_cast<std::size_t>(std::clamp<std::int64_t>(position, 0, Length()));
}

std::size_t BankStream::ReadBytes(void* into, std::size_t size)
{
    const std::size_t got = std::min(size, Remaining());
    if (got > 0)
        std::memcpy(into, Bank->Bytes.data() + Pos, got);
    Pos += got;
    if (got < size)
        std::memset(static_cast<std::uint8_t*>(into) + got, 0, size - got);
    return got;
}

std::size_t BankStream::WriteBytes(const void* from, std::size_t size)
{
    auto& bytes = Bank->Bytes;
    if (Pos + size > bytes.size())
        bytes.resize(Pos + size);
    if (size > 0)
        std::memcpy(bytes.data() + Pos, from, size);
    Pos += size;
    return size;
}

Ref<Stream> OpenFileForReading(const String& path)
{
    std::FILE* file = std::fopen(ToUtf8(ForwardSlashes(path)).c_str(), "rb");
    if (!file)
        return nullptr;
    return std::make_shared<FileStream>(file);
}

Ref<BankStream> OpenBankStream(Ref<MemoryBank> bank)
{
    return std::make_shared<BankStream>(std::move(bank));
}

std::int64_t StreamLength(const Stream& stream)
{
    return stream.Length();
}

void CopyStreamBytes(Stream& source, Stream& destination, std::size_t bufferSize)
{
    if (bufferSize == 0)
        bufferSize = 1;
    // Into a bank, read straight into the bank's own memory: the same bytes
    // land in the same place, without a second buffer as large as the file.
    if (auto* bank = dynamic_cast<BankStream*>(&destination)) {
        auto& bytes = bank->GetBank().Bytes;
        while (source.Position() < source.Length()) {
            const auto at = static_cast<std::size_t>(bank->Position());
            const std::size_t before = bytes.size();
            bytes.resize(std::max(before, at + bufferSize));
            const std::size_t got = source.ReadBytes(bytes.data() + at, bufferSize);
            bytes.resize(std::max(before, at + got));
            bank->Seek(static_cast<std::int64_t>(at + got));
            if (got == 0)
                break;
        }
        return;
    }
    std::vector<std::uint8_t> buffer(bufferSize);
    while (source.Position() < source.Length()) {
        const std::size_t got = source.ReadBytes(buffer.data(), buffer.size());
        if (got == 0)
            break;
        destination.WriteBytes(buffer.data(), got);
    }
}

void CloseStreamHandle(Stream& stream)
{
    stream.Close();
}

void SeekTo(Stream& stream, std::int64_t position)
{
    stream.Seek(position);
}

bool AtEndOfStream(const Stream& stream)
{
    return stream.Position() >= stream.Length();
}

std::int32_t ReadInt32(Stream& stream)
{
    if (auto* bank = dynamic_cast<BankStream*>(&stream))
        return ReadInt32(*bank);
    std::uint8_t b[4] = {0, 0, 0, 0};
    stream.ReadBytes(b, 4);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                     static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

float ReadFloat32(Stream& stream)
{
    const std::int32_t bits = ReadInt32(stream);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

String ReadByteString(Stream& stream, std::int32_t n)
{
    if (n <= 0)
        return String();
    std::string bytes(static_cast<std::size_t>(n), '\0');
    stream.ReadBytes(bytes.data(), bytes.size());
    return FromLatin1(bytes);
}

}  // namespace kzm
