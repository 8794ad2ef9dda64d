// The help reader on malformed rich text: every escape is checked, what is
// invalid is skipped, and nothing aborts.
#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include "ui/rtf_reader.h"

using zelk::readRtf;

namespace {

QString read(const QByteArray& rtf) {
    QTextDocument doc;
    readRtf(rtf, &doc);
    return doc.toRawText();  // U+2029 between paragraphs, nothing replaced
}

struct Case {
    const char* what;
    QByteArray rtf;
    QString text;
};

}  // namespace

TEST(RtfReader, EscapesAreValidatedAndInvalidOnesSkipped) {
    const QChar para(QChar::ParagraphSeparator);
    const Case cases[] = {
        {"hex escape", "{\\rtf1 caf\\'e9}", QString::fromUtf8("café")},
        {"hex escape in the 1252 range", "{\\rtf1 \\'80 5}", QString::fromUtf8("€ 5")},
        {"hex escape of an undefined 1252 byte", "{\\rtf1 a\\'81b}", "ab"},
        {"hex escape of a control byte", "{\\rtf1 a\\'00\\'07b}", "ab"},
        {"signed hex escape", "{\\rtf1 \\'-3}", "-3"},
        {"one hex digit", "{\\rtf1 \\'4x}", "x"},
        {"hex escape cut by the end", "{\\rtf1 a\\'4", "a"},
        {"hex escape cut after the quote", "{\\rtf1 a\\'", "a"},
        {"unicode escape with its stand-in", "{\\rtf1 \\u8364?}", QString::fromUtf8("€")},
        {"negative unicode escape", "{\\rtf1 \\u-24?}", QString(QChar(0xFFE8))},
        {"unicode escape below -32768", "{\\rtf1 a\\u-40000?b}", "ab"},
        {"unicode escape above 65535", "{\\rtf1 a\\u99999?b}", "ab"},
        {"unicode escape with an endless number", "{\\rtf1 a\\u123456789012345678901234567890?b}", "ab"},
        {"unicode control character", "{\\rtf1 a\\u7?b}", "ab"},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"lone high surrogate", "{\\rtf1 \\u-10179?x}", "x"},
        {"lone low surrogate", "{\\rtf1 x\\u-8704?}", "x"},
        {"stand-in given as a hex escape", "{\\rtf1 \\u8364\\'80x}", QString::fromUtf8("€x")},
        {"no stand-in (\\uc0)", "{\\rtf1 \\uc0\\u8364 x}", QString::fromUtf8("€x")},
        {"two stand-ins (\\uc2)", "{\\rtf1 \\uc2\\u8364 abc}", QString::fromUtf8("€c")},
        {"stand-in cut by a group end", "{\\rtf1 {\\uc3\\u8364 a}b}", QString::fromUtf8("€b")},
        {"unicode escape cut by the end", "{\\rtf1 a\\u", "a"},
        {"lone backslash at the end", "{\\rtf1 a\\", "a"},
        {"control word cut by the end", "{\\rtf1 a\\fs", "a"},
        {"huge font size", "{\\rtf1 \\fs99999999999999999999 a}", "a"},
        {"escaped braces and backslash", "{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
        {"unknown control symbol", "{\\rtf1 a\\|b\\-c}", "abc"},
        {"non-breaking space", "{\\rtf1 a\\~b}", QString::fromUtf8("a\u00A0b")},
        {"extra closing braces", "{\\rtf1 a}}}b}", "ab"},
        {"unclosed groups", "{\\rtf1 {{{a", "a"},
        {"skipped destination", "{\\rtf1 {\\*\\generator hidden}{\\fonttbl{\\f0 Arial;}}shown}", "shown"},
        {"binary data", "{\\rtf1 {\\pict\\bin4 }{\\}x}y}", "y"},
        {"binary data longer than the file", "{\\rtf1 a\\bin999 xyz", "a"},
        {"raw control bytes", QByteArray("{\\rtf1 a\x01\x00" "b}", 11), "ab"},
        {"paragraphs", "{\\rtf1 a\\par b}", QString("a") + para + "b"},
    };
    for (const Case& c : cases) EXPECT_EQ(read(c.rtf), c.text) << c.what << ": " << c.rtf.toStdString();
}

TEST(RtfReader, DeepNestingIsReadWithoutGrowingWithoutBound) {
    const QByteArray deep = "{\\rtf1 " + QByteArray(200000, '{') + "\\b a" + QByteArray(200000, '}') + "b}";
    QTextDocument doc;
    readRtf(deep, &doc);
    EXPECT_EQ(doc.toRawText(), "ab");
}

TEST(RtfReader, FormattingFollowsTheGroups) {
    QTextDocument doc;
    readRtf("{\\rtf1 {\\b\\fs40 big}\\i x}", &doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(c.charFormat().fontPointSize(), 20.0);
    c.setPosition(4);
    EXPECT_NE(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(c.charFormat().fontItalic());
}
