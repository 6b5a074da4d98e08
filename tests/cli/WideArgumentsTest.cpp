// The arguments as Windows hands them over (UTF-16), converted to the UTF-8 the command line reads.

#include "cli/WideArguments.h"

#include <gtest/gtest.h>

namespace {

struct Conversion {
    std::u16string argument;
    const char* utf8;  // null: the list is refused
};

TEST(Utf8Arguments, ConvertsWhatWasTypedAndRefusesWhatNoTextIs)
{
    const Conversion table[] = {
        {u"--company", "--company"},
        {u"\u5546\u5e97", "\xE5\x95\x86\xE5\xBA\x97"},                          // 商店
        {u"C:\\\u6570\u636e\\ZUD.txt", "C:\\\xE6\x95\xB0\xE6\x8D\xAE\\ZUD.txt"},  // C:\数据\ZUD.txt
        {u"\u20ac\u00e9", "\xE2\x82\xAC\xC3\xA9"},
        {u"\U0002A6A5", "\xF0\xAA\x9A\xA5"},  // beyond the BMP: a surrogate pair
        {u"", ""},
        {u"x\xD800", nullptr},         // a high surrogate at the end
        {u"\xDC00y", nullptr},         // a low surrogate alone
        {u"\xD800\xD800\xDC00", nullptr},
    };
    for (const Conversion& c : table) {
        const auto converted = Utf8Arguments({u"scaletool-cli.exe", c.argument});
        if (c.utf8 == nullptr) {
            EXPECT_FALSE(converted.has_value());
            continue;
        }
        ASSERT_TRUE(converted.has_value());
        ASSERT_EQ(converted->size(), 2u);
        EXPECT_EQ(converted->front(), "scaletool-cli.exe");
        EXPECT_EQ(converted->back(), c.utf8);
    }
}

} // namespace
