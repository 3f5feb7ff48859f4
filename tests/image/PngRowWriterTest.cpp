// Writing a PNG row by row: the file read back, and no file at all when
// writing does not complete.
#include "image/PngRowWriter.h"

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "image/internal/PngCodec.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

std::vector<std::uint8_t> Row(int width, int y)
{
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7,
                               static_cast<std::uint8_t>(x * 40 + y)});
    return row;
}

// The folder holds exactly these names: no temporary file is left over.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(PngRowWriter, WritesRowsThatReadBack)
{
    test::TempDir dir;
    for (bool alpha : {true, false}) {
        const std::string path = dir.File(alpha ? "rgba.png" : "rgb.png");
        PngRowWriter writer(FromUtf8(path), 5, 3, alpha);
        ASSERT_TRUE(writer.IsOpen()) << writer.Error();
        for (int y = 0; y < 3; ++y)
            EXPECT_TRUE(writer.WriteRow(Row(5, y)));
        EXPECT_FALSE(std::filesystem::exists(path));  // not before it is complete
        ASSERT_TRUE(writer.Finish()) << writer.Error();
        const std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
        ASSERT_GT(bytes.size(), 25u);
        EXPECT_EQ(bytes[25], alpha ? 6 : 2);  // colour type
        const auto decoded = DecodePngBytes(bytes);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->Width, 5);
        ASSERT_EQ(decoded->Height, 3);
        for (int y = 0; y < 3; ++y) {
            std::vector<std::uint8_t> expected = Row(5, y);
            if (!alpha)
                for (std::size_t i = 3; i < expected.size(); i += 4)
                    expected[i] = 255;
            const std::vector<std::uint8_t> got(decoded->Rgba.begin() + y * 20, decoded->Rgba.begin() + (y + 1) * 20);
            EXPECT_EQ(got, expected) << "row " << y;
        }
    }
    EXPECT_EQ(Names(dir.Path()).size(), 2u);
}

// A picture that does not complete leaves the file that was there, and no
// temporary file beside it.
TEST(PngRowWriter, AnIncompletePictureLeavesNoFile)
{
    test::TempDir dir;
    const std::string path = dir.Write("out.png", {1, 2, 3});
    {
        PngRowWriter writer(FromUtf8(path), 4, 4, true);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_TRUE(writer.WriteRow(Row(4, 0)));
        EXPECT_FALSE(writer.WriteRow(std::vector<std::uint8_t>(15)));  // short
        EXPECT_FALSE(writer.IsOpen());
        EXPECT_FALSE(writer.Finish());
        EXPECT_FALSE(writer.Error().empty());
    }
    {
        PngRowWriter writer(FromUtf8(path), 4, 4, true);
        EXPECT_TRUE(writer.WriteRow(Row(4, 0)));
        EXPECT_FALSE(writer.Finish());  // rows missing
    }
    {
        PngRowWriter writer(FromUtf8(path), 4, 4, true);
        EXPECT_TRUE(writer.WriteRow(Row(4, 0)));
    }  // abandoned
    EXPECT_EQ(test::ReadFileBytes(path), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.png"});
}

TEST(PngRowWriter, RefusesWhatItCannotWrite)
{
    test::TempDir dir;
    for (auto [width, height] : {std::pair{0, 1}, {1, -1}, {32769, 1}}) {
        PngRowWriter writer(FromUtf8(dir.File("size.png")), width, height, true);
        EXPECT_FALSE(writer.IsOpen()) << width << " x " << height;
        EXPECT_FALSE(writer.Error().empty());
    }
    PngRowWriter writer(FromUtf8(dir.File("no/such/folder/out.png")), 2, 2, false);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.WriteRow(Row(2, 0)));
    EXPECT_TRUE(Names(dir.Path()).empty());
}

}  // namespace
}  // namespace kzm
