// The help text reader: any input gives a document of valid text (no lone
// surrogate, no control character, no replacement character that the input
// did not ask for), and plain text written as RTF reads back unchanged.
#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include "fuzz_check.h"
#include "ui/rtf_reader.h"

namespace {

QString read(const QByteArray& rtf) {
    QTextDocument doc;
    zelk::readRtf(rtf, &doc);
    return doc.toRawText();
}

void checkText(const QString& text, bool mayReplace) {
    FUZZ_CHECK(text.isValidUtf16(), "invalid UTF-16");
    for (QChar c : text) {
        const char16_t u = c.unicode();
        FUZZ_CHECK(u >= 0x20 || u == u'\t', "control character U+%04X", u);
        FUZZ_CHECK(mayReplace || u != 0xFFFD, "a replacement character");
    }
}

// `bytes` as the text of an RTF document: specials escaped, other bytes as
// \uN with a stand-in, line feeds as paragraphs.  Returns the document and
// the text it must read as.
std::pair<QByteArray, QString> asRtf(const QByteArray& bytes) {
    QByteArray rtf = "{\\rtf1\\ansi ";
    QString text;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '\\' || b == '{' || b == '}') {
            rtf += '\\';
            rtf += ch;
            text += QChar(b);
        } else if (b == '\n') {
            rtf += "\\par ";
            text += QChar(QChar::ParagraphSeparator);
        } else if (b == '\t') {
            rtf += "\\tab ";
            text += QChar(u'\t');
        } else if (b >= 0x20 && b < 0x7F) {
            rtf += ch;
            text += QChar(b);
        } else if (b >= 0xA0) {
            rtf += "\\u" + QByteArray::number(b) + "?";
            text += QChar(b);
        }  // control bytes are not text
    }
    return {rtf + "}", text};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const bool isRtf = input.trimmed().startsWith("{\\rtf");
    // Plain text is shown as it is (UTF-8, so invalid bytes may show as U+FFFD);
    // in RTF only an escape can name U+FFFD.
    const QString text = read(input);
    if (isRtf) checkText(text, input.contains("\\u"));

    const auto [rtf, expected] = asRtf(input);
    const QString back = read(rtf);
    FUZZ_CHECK(back == expected, "plain text written as RTF reads back differently:\n%s\n%s", rtf.constData(),
               back.toUtf8().constData());
    return 0;
}
