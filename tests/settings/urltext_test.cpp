#include "settings/urltext.h"
#include "settings/urlcoding.h"

#include <gtest/gtest.h>

namespace {

struct UrlTextCase {
    const char16_t* input;
    const char16_t* expected;
};

TEST(UrlText, IsURLAcceptsOnlyTheKnownSchemesWithCase) {
    const struct {
        const char16_t* text;
        bool url;
    } cases[] = {
        {u"http://host/x", true},  {u"https://host", true},   {u"ftp://host/f", true},
        {u"file:///tmp/a", true},  {u"telnet://h", true},     {u"javascript:void(0)", true},
        {u"about:blank", true},    {u"about:blank2", false},  {u"HTTP://host", false},
        {u"/cmi/Services", false}, {u"grid:http://h", false}, {u"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsURL(QString::fromUtf16(c.text)), c.url)
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(UrlText, EscapeURLCharsEscapesUnsafeCharactersAndLoneCommas) {
    const UrlTextCase cases[] = {
        {u"a b", u"a%20b"},
        {u"\"#%&+<>", u"%22%23%25%26%2B%3C%3E"},
        {u"[\\]^`{|}~", u"%5B%5C%5D%5E%60%7B%7C%7D%7E"},
        {u"x,y", u"x%2Cy"},
        // A comma before a user@host entry stays; the one after the last "@" goes.
        {u"a,b@c,d", u"a,b@c%2Cd"},
        {u"a,b,c@d", u"a%2Cb,c@d"},
        {u"plain/path?q=1", u"plain/path?q=1"},
        {u"é", u"é"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeURLChars(QString::fromUtf16(c.input)), QString::fromUtf16(c.expected));
    }
}

TEST(UrlText, EscapeHashMarksEscapesEveryHash) {
    EXPECT_EQ(EscapeHashMarks(QStringLiteral("a#b##")), QStringLiteral("a%23b%23%23"));
}

// Form encoding copies printable ASCII only; a byte below 0x20 is escaped.
TEST(UrlText, EncodeForURLCopiesOnlyPrintableAscii) {
    const UrlTextCase cases[] = {
        {u"a b&c", u"a+b%26c"}, {u"\x1F", u"%1F"},      {u"\x7F", u"%7F"},
        {u"é", u"%C3%A9"},      {u"=?@", u"%3D%3F%40"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeForURL(QString::fromUtf16(c.input)), QString::fromUtf16(c.expected));
    }
}

// Only "%" with two hex digits is a byte; anything else keeps the "%".
TEST(UrlText, DecodeFromURLDecodesOnlyPercentWithTwoHexDigits) {
    const UrlTextCase cases[] = {
        {u"a+b%26c", u"a b&c"}, {u"%C3%A9", u"é"}, {u"100%", u"100%"},
        {u"%zz1", u"%zz1"},     {u"%4", u"%4"},    {u"%4g", u"%4g"},
        {u"50%+", u"50% "},     {u"%ff", u"%ff"},  // not UTF-8: unchanged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeFromURL(QString::fromUtf16(c.input)), QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.input).toStdString();
    }
}

}  // namespace
