#include "core/String.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Print.h"

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
    PrintLineCapture captured;
    PrintLine(u"It errored");
    PrintLine(std::string_view("\xC3\xA9"));
    EXPECT_EQ(captured.Raw(), "It errored\r\n\xC3\xA9\r\n");
}

// A guard inside another takes the lines while it lives and gives them back
// after: a dropped line reaches neither, and the outer one goes on counting.
TEST(PrintLine, CaptureGuardsNestAndDropAndGiveTheStreamBack)
{
    PrintLineCapture outer;
    PrintLine(u"before");
    {
        PrintLineCapture dropped(PrintLineCapture::Drop);
        PrintLine(u"dropped");
        PrintLineCapture kept;
        PrintLine(u"kept");
        EXPECT_EQ(kept.Lines(), std::vector<std::string>{"kept"});
    }
    PrintLine(u"after");
    EXPECT_EQ(outer.Lines(), (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(outer.Size(), static_cast<std::int64_t>(outer.Raw().size()));
}

}  // namespace
}  // namespace kzm
