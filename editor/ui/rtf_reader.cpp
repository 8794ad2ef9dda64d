#include "ui/rtf_reader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

namespace zelk {

namespace {

struct State {
    bool bold = false, italic = false, underline = false;
    int halfPoints = 24;
    int unicodeSkip = 1;  // \ucN: characters that stand in for each \uN
    bool skip = false;    // inside a destination that is not text
};

// Deeper groups are read with their parent's formatting, so a file of
// nothing but "{" cannot grow the stack without bound.
constexpr std::size_t kMaxDepth = 256;

// Windows-1252, the code page of "\ansi" documents, at 0x80-0x9F; 0 marks
// the five bytes it leaves undefined.  Every other byte is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The character a code-page byte stands for, or 0 when it stands for none
// (control bytes and the undefined code points).
char16_t fromCodePage(unsigned char b) {
    if (b < 0x20) return b == '\t' ? u'\t' : 0;
    if (b == 0x7F) return 0;
    if (b >= 0x80 && b <= 0x9F) return kCp1252High[b - 0x80];
    return b;
}

}  // namespace

void readRtf(const QByteArray& rtf, QTextDocument* doc) {
    doc->clear();
    QTextCursor cur(doc);
    if (!rtf.trimmed().startsWith("{\\rtf")) {
        cur.insertText(QString::fromUtf8(rtf));
        return;
    }
    std::vector<State> stack{State{}};
    std::size_t ignoredDepth = 0;  // open groups beyond kMaxDepth
    QString pending;
    char16_t highSurrogate = 0;  // first half of a \uN pair, waiting for its second
    auto flush = [&] {
        if (pending.isEmpty()) return;
        const State& s = stack.back();
        QTextCharFormat f;
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontPointSize(s.halfPoints / 2.0);
        cur.insertText(pending, f);
        pending.clear();
    };
    // Appends one UTF-16 unit when the current group is text; a surrogate
    // half that does not pair up is dropped.
    auto putUnit = [&](char16_t u) {
        if (stack.back().skip || (u < 0x20 && u != u'\t')) return;
        if (QChar::isHighSurrogate(u)) {
            highSurrogate = u;
            return;
        }
        if (QChar::isLowSurrogate(u)) {
            if (highSurrogate != 0) {
                pending += QChar(highSurrogate);
                pending += QChar(u);
            }
            highSurrogate = 0;
            return;
        }
        highSurrogate = 0;
        pending += QChar(u);
    };
    int fallbackLeft = 0;  // characters still to skip after a \uN
    // A character of text, unless it is the stand-in of the last \uN.
    auto text = [&](char16_t u) {
        if (fallbackLeft > 0) {
            --fallbackLeft;
            return;
        }
        putUnit(u);
    };

    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            flush();
            fallbackLeft = 0;
            if (stack.size() < kMaxDepth) stack.push_back(stack.back());
            else ++ignoredDepth;
        } else if (c == '}') {
            flush();
            fallbackLeft = 0;
            if (ignoredDepth > 0) --ignoredDepth;
            else if (stack.size() > 1) stack.pop_back();  // an extra "}" closes nothing
        } else if (c == '\\') {
            if (i + 1 >= n) break;  // a lone backslash at the end
            const char d = rtf[i + 1];
            if (d == '\\' || d == '{' || d == '}') {
                text(static_cast<char16_t>(d));
                ++i;
                continue;
            }
            if (d == '\'') {  // \'hh: a byte in the document's code page
                const int hi = i + 2 < n ? hexDigit(rtf[i + 2]) : -1;
                const int lo = i + 3 < n ? hexDigit(rtf[i + 3]) : -1;
                if (hi < 0 || lo < 0) {  // not two hex digits: the escape and its one digit are dropped
                    i += hi < 0 ? 1 : 2;
                    continue;
                }
                text(fromCodePage(static_cast<unsigned char>(hi * 16 + lo)));
                i += 3;
                continue;
            }
            if (d == '*') {
                stack.back().skip = true;
                ++i;
                continue;
            }
            if (d == '~') {
                text(0xA0);
                ++i;
                continue;
            }
            if (!isLetter(d)) {  // another control symbol (\-, \_, \|, \:, ...) has no text here
                ++i;
                continue;
            }
            // A control word: letters, an optional signed number, one optional space.
            qsizetype j = i + 1;
            while (j < n && isLetter(rtf[j])) ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            const bool negative = k + 1 < n && rtf[k] == '-' && isDigit(rtf[k + 1]);
            if (negative) ++k;
            long long magnitude = 0;
            const qsizetype digitsFrom = k;
            while (k < n && isDigit(rtf[k])) {
                if (magnitude < 10'000'000'000LL) magnitude = magnitude * 10 + (rtf[k] - '0');
                ++k;
            }
            const bool hasNum = k > digitsFrom;
            const long long num = hasNum ? (negative ? -magnitude : magnitude) : 1;
            if (k < n && rtf[k] == ' ') ++k;
            i = k - 1;
            State& s = stack.back();
            if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                word == "pict" || word == "header" || word == "footer") {
                s.skip = true;
            } else if (word == "bin") {
                // \binN: N raw bytes that are not RTF
                const qsizetype left = n - (i + 1);
                i += hasNum && num > 0 ? static_cast<qsizetype>(std::min<long long>(num, left)) : 0;
            } else if (word == "par" || word == "line") {
                if (!s.skip) {
                    flush();
                    if (word == "par") cur.insertBlock();
                    else pending += QChar(QChar::LineSeparator);
                }
            } else if (word == "tab") {
                text(u'\t');
            } else if (word == "b" || word == "i" || word == "ul" || word == "ulnone" || word == "fs" ||
                       word == "plain") {
                flush();
                if (word == "b") s.bold = !hasNum || num != 0;
                if (word == "i") s.italic = !hasNum || num != 0;
                if (word == "ul") s.underline = !hasNum || num != 0;
                if (word == "ulnone") s.underline = false;
                if (word == "fs" && hasNum && num > 0 && num < 400) s.halfPoints = static_cast<int>(num);
                if (word == "plain") s.bold = s.italic = s.underline = false;
            } else if (word == "uc") {
                if (hasNum && num >= 0 && num <= 16) s.unicodeSkip = static_cast<int>(num);
            } else if (word == "u") {
                // \uN: a UTF-16 unit as a signed 16-bit number (negatives count
                // from 65536; some writers use 32768-65535 instead).  A number
                // outside -32768..65535 is no character and is dropped.
                if (hasNum) {
                    fallbackLeft = 0;
                    if (num >= -32768 && num <= 65535) putUnit(static_cast<char16_t>(num < 0 ? num + 65536 : num));
                    fallbackLeft = s.unicodeSkip;
                }
            }
        } else if (c == '\r' || c == '\n') {
            // line breaks in RTF source are not text
        } else {
            text(fromCodePage(static_cast<unsigned char>(c)));
        }
    }
    flush();
}

}  // namespace zelk
