#include "ui/rtf_reader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace zelk {

namespace {

struct State {
    bool bold = false, italic = false, underline = false;
    int halfPoints = 24;
    bool skip = false;  // inside a destination that is not text
};

}  // namespace

void readRtf(const QByteArray& rtf, QTextDocument* doc) {
    doc->clear();
    QTextCursor cur(doc);
    if (!rtf.trimmed().startsWith("{\\rtf")) {
        cur.insertText(QString::fromUtf8(rtf));
        return;
    }
    std::vector<State> stack{State{}};
    QString pending;
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
    int ucSkip = 0;
    const int n = rtf.size();
    for (int i = 0; i < n; ++i) {
        const char c = rtf[i];
        if (c == '{') {
            flush();
            stack.push_back(stack.back());
        } else if (c == '}') {
            flush();
            if (stack.size() > 1) stack.pop_back();
        } else if (c == '\\') {
            if (i + 1 >= n) break;
            const char d = rtf[i + 1];
            if (d == '\\' || d == '{' || d == '}') {
                if (!stack.back().skip) pending += QChar(d);
                ++i;
                continue;
            }
            if (d == '\'') {  // \'hh: a byte in the document's code page
                if (i + 3 < n && !stack.back().skip) {
                    bool ok = false;
                    const int v = rtf.mid(i + 2, 2).toInt(&ok, 16);
                    if (ok) pending += QChar(v);
                }
                i += 3;
                continue;
            }
            if (d == '*') {
                stack.back().skip = true;
                ++i;
                continue;
            }
            if (d == '~') {
                if (!stack.back().skip) pending += QChar(0xA0);
                ++i;
                continue;
            }
            // A control word: letters, an optional signed number, one optional space.
            int j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            int k = j;
            if (k < n && rtf[k] == '-') ++k;
            while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
            const bool hasNum = k > j;
            const int num = hasNum ? rtf.mid(j, k - j).toInt() : 1;
            if (k < n && rtf[k] == ' ') ++k;
            i = k - 1;
            State& s = stack.back();
            if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                word == "pict" || word == "header" || word == "footer") {
                s.skip = true;
            } else if (word == "par" || word == "line") {
                if (!s.skip) {
                    flush();
                    if (word == "par") cur.insertBlock();
                    else pending += QChar(QChar::LineSeparator);
                }
            } else if (word == "tab") {
                if (!s.skip) pending += QLatin1Char('\t');
            } else if (word == "b" || word == "i" || word == "ul" || word == "ulnone" || word == "fs" ||
                       word == "plain") {
                flush();
                if (word == "b") s.bold = !hasNum || num != 0;
                if (word == "i") s.italic = !hasNum || num != 0;
                if (word == "ul") s.underline = !hasNum || num != 0;
                if (word == "ulnone") s.underline = false;
                if (word == "fs" && hasNum && num > 0 && num < 400) s.halfPoints = num;
                if (word == "plain") s.bold = s.italic = s.underline = false;
            } else if (word == "u" && hasNum) {
                if (!s.skip) pending += QChar(static_cast<char16_t>(num < 0 ? num + 65536 : num));
                ucSkip = 1;
            }
        } else if (c == '\r' || c == '\n') {
            // line breaks in RTF source are not text
        } else {
            if (ucSkip > 0) {
                --ucSkip;
                continue;
            }
            if (!stack.back().skip) pending += QChar::fromLatin1(c);
        }
    }
    flush();
}

}  // namespace zelk
