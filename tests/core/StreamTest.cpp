#include "core/Stream.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

Ref<BankStream> BankOf(std::vector<std::uint8_t> bytes)
{
    auto bank = std::make_shared<MemoryBank>();
    bank->Bytes.assign(bytes.begin(), bytes.end());
    return OpenBankStream(bank);
}

TEST(BankStream, ReadsLittleEndianValues)
{
    auto stream = BankOf({0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x80, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(ReadInt32(*stream), 0x12345678);
    EXPECT_EQ(ReadFloat32(*stream), 1.0f);
    EXPECT_EQ(ReadInt32(static_cast<Stream&>(*stream)), -1);  // the generic path agrees
    EXPECT_TRUE(AtEndOfStream(*stream));
}

TEST(BankStream, MissingBytesReadAsZeros)
{
    struct Case {
        std::vector<std::uint8_t> Bytes;
        std::int32_t Expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{0xAB}, 0xAB},
        {{0x01, 0x02, 0x03}, 0x030201},
    };
    for (const Case& c : cases) {
        auto stream = BankOf(c.Bytes);
        EXPECT_EQ(ReadInt32(*stream), c.Expected);
        EXPECT_EQ(ReadInt32(*stream), 0);  // and again, at the end, without failing
        EXPECT_TRUE(AtEndOfStream(*stream));
    }
}

TEST(BankStream, StringsPastTheEndArePaddedWithNulCharacters)
{
    auto stream = BankOf({'K', 0xE9});
    EXPECT_EQ(ReadByteString(*stream, 4), (String{u'K', u'\u00E9', u'\0', u'\0'}));
    EXPECT_EQ(ReadByteString(*stream, 0), String());
    EXPECT_EQ(ReadByteString(*stream, -3), String());
}

TEST(BankStream, SeekIsHeldWithinTheData)
{
    auto stream = BankOf({1, 2, 3});
    SeekTo(*stream, 99);
    EXPECT_EQ(stream->Position(), 3);
    SeekTo(*stream, -5);
    EXPECT_EQ(stream->Position(), 0);
}

TEST(BankStream, WritingAtTheEndGrowsTheBank)
{
    auto bank = std::make_shared<MemoryBank>();
    auto stream = OpenBankStream(bank);
    stream->WriteBytes("abc", 3);
    SeekTo(*stream, 1);
    stream->WriteBytes("XYZ", 3);
    EXPECT_EQ(std::string(bank->Bytes.begin(), bank->Bytes.end()), "aXYZ");
}

TEST(FileStream, CopiesAWholeFileIntoABankWithAnyBufferSize)
{
    test::TempDir dir;
    std::vector<std::uint8_t> bytes(1000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    const std::string path = dir.Write("data.bin", bytes);
    for (std::size_t buffer : {std::size_t{1}, std::size_t{7}, std::size_t{1000}, std::size_t{4096}}) {
        auto file = OpenFileForReading(FromUtf8(path));
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(StreamLength(*file), 1000);
        auto bank = std::make_shared<MemoryBank>();
        auto stream = OpenBankStream(bank);
        CopyStreamBytes(*file, *stream, buffer);
        CloseStreamHandle(*file);
        EXPECT_EQ(std::vector<std::uint8_t>(bank->Bytes.begin(), bank->Bytes.end()), bytes) << "buffer " << buffer;
    }
}

TEST(FileStream, MissingFileGivesNoStreamAndBackslashesAreSlashes)
{
    test::TempDir dir;
    EXPECT_EQ(OpenFileForReading(FromUtf8(dir.File("missing"))), nullptr);
    dir.Write("here.bin", {1});
    String windowsStyle = FromUtf8(dir.Path() + "\\here.bin");
    EXPECT_NE(OpenFileForReading(windowsStyle), nullptr);
}

}  // namespace
}  // namespace kzm
