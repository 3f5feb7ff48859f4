#include <gtest/gtest.h>

#include "core/Print.h"
#include "core/String.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

TEST(String, Latin1BytesBecomeTheirOwnCodes)
{
    EXPECT_EQ(FromLatin1(std::string("A\xE9\x80\xFF", 4)), (String{u'A', u'\u00E9', u'\u0080', u'\u00FF'}));
    EXPECT_EQ(FromLatin1(std::string("\0x", 2)).size(), 2u);
}

TEST(String, Utf8RoundTrips)
{
    const String text = {u'K', u'\u00E9', u'\u20AC', u'\0', 0xD83D, 0xDE00};
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00E9"), "\xC3\xA9");
}

TEST(String, InvalidUtf8BytesAreKeptAsCharacters)
{
    EXPECT_EQ(FromUtf8("a\xE9z"), (String{u'a', u'\u00E9', u'z'}));
    EXPECT_EQ(FromUtf8("\xC3"), (String{u'\u00C3'}));  // cut short
}

TEST(PrintLine, EndsEachLineWithCarriageReturnLineFeed)
{
    test::CapturedLines captured;
    PrintLine(u"It errored");
    PrintLine(std::string_view("\xC3\xA9"));
    EXPECT_EQ(captured.Raw(), "It errored\r\n\xC3\xA9\r\n");
}

}  // namespace
}  // namespace kzm
