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

// One piece of RTF source, as the reader acts on it.
struct Token {
    enum Kind { End, OpenGroup, CloseGroup, Text, Destination, Word } kind = End;
    char16_t unit = 0;      // Text: the character, 0 for one that stands for none
    QByteArrayView word;    // Word: the control word's letters
    bool hasNum = false;    // Word: whether a number followed
    long long num = 1;      // Word: the number, 1 when none
};

// Cuts RTF source into tokens.  Escapes are decoded here; what carries no
// text (line breaks in the source, unknown control symbols, a broken
// \'hh, the bytes of \binN) never becomes a token.
class Tokenizer {
public:
    explicit Tokenizer(const QByteArray& rtf) : s_(rtf), n_(rtf.size()) {}

    Token next() {
        while (i_ < n_) {
            const char c = s_[i_++];
            if (c == '{') return token(Token::OpenGroup);
            if (c == '}') return token(Token::CloseGroup);
            if (c == '\\') {
                if (i_ >= n_) return {};  // a lone backslash at the end
                if (Token t; escape(t)) return t;
                continue;
            }
            if (c == '\r' || c == '\n') continue;  // line breaks in RTF source are not text
            return text(fromCodePage(static_cast<unsigned char>(c)));
        }
        return {};
    }

private:
    static Token token(Token::Kind kind) {
        Token t;
        t.kind = kind;
        return t;
    }

    static Token text(char16_t u) {
        Token t = token(Token::Text);
        t.unit = u;
        return t;
    }

    // Reads what follows a backslash; false when it stands for nothing.
    bool escape(Token& t) {
        const char d = s_[i_];
        if (d == '\\' || d == '{' || d == '}') {
            ++i_;
            t = text(static_cast<char16_t>(d));
            return true;
        }
        if (d == '\'') {  // \'hh: a byte in the document's code page
            const int hi = i_ + 1 < n_ ? hexDigit(s_[i_ + 1]) : -1;
            const int lo = i_ + 2 < n_ ? hexDigit(s_[i_ + 2]) : -1;
            if (hi < 0 || lo < 0) {  // not two hex digits: the escape and its one digit are dropped
                i_ += hi < 0 ? 1 : 2;
                return false;
            }
            i_ += 3;
            t = text(fromCodePage(static_cast<unsigned char>(hi * 16 + lo)));
            return true;
        }
        if (d == '*') {
            ++i_;
            t = token(Token::Destination);
            return true;
        }
        if (d == '~') {
            ++i_;
            t = text(0xA0);
            return true;
        }
        if (!isLetter(d)) {  // another control symbol (\-, \_, \|, \:, ...) has no text here
            ++i_;
            return false;
        }
        t = controlWord();
        return true;
    }

    // A control word: letters, an optional signed number, one optional space.
    Token controlWord() {
        Token t = token(Token::Word);
        const qsizetype from = i_;
        while (i_ < n_ && isLetter(s_[i_])) ++i_;
        t.word = QByteArrayView(s_).sliced(from, i_ - from);
        const bool negative = i_ + 1 < n_ && s_[i_] == '-' && isDigit(s_[i_ + 1]);
        if (negative) ++i_;
        long long magnitude = 0;
        const qsizetype digitsFrom = i_;
        while (i_ < n_ && isDigit(s_[i_])) {
            if (magnitude < 10'000'000'000LL) magnitude = magnitude * 10 + (s_[i_] - '0');
            ++i_;
        }
        t.hasNum = i_ > digitsFrom;
        t.num = t.hasNum ? (negative ? -magnitude : magnitude) : 1;
        if (i_ < n_ && s_[i_] == ' ') ++i_;
        if (t.word == "bin" && t.hasNum && t.num > 0)  // \binN: N raw bytes that are not RTF
            i_ += static_cast<qsizetype>(std::min<long long>(t.num, n_ - i_));
        return t;
    }

    const QByteArray& s_;
    const qsizetype n_;
    qsizetype i_ = 0;
};

// Acts on the tokens: the group stack with each group's formatting, and the
// text of the groups that are text, written to the document in runs.
class GroupReader {
public:
    explicit GroupReader(QTextDocument* doc) : cur_(doc) {}

    void take(const Token& t) {
        switch (t.kind) {
        case Token::OpenGroup: openGroup(); break;
        case Token::CloseGroup: closeGroup(); break;
        case Token::Text: text(t.unit); break;
        case Token::Destination: stack_.back().skip = true; break;
        case Token::Word: controlWord(t); break;
        case Token::End: break;
        }
    }

    void finish() { flush(); }

private:
    void openGroup() {
        flush();
        fallbackLeft_ = 0;
        if (stack_.size() < kMaxDepth) stack_.push_back(stack_.back());
        else ++ignoredDepth_;
    }

    void closeGroup() {
        flush();
        fallbackLeft_ = 0;
        if (ignoredDepth_ > 0) --ignoredDepth_;
        else if (stack_.size() > 1) stack_.pop_back();  // an extra "}" closes nothing
    }

    void controlWord(const Token& t) {
        const QByteArrayView w = t.word;
        const bool on = !t.hasNum || t.num != 0;
        State& s = stack_.back();
        if (w == "fonttbl" || w == "colortbl" || w == "stylesheet" || w == "info" || w == "pict" || w == "header" ||
            w == "footer") {
            s.skip = true;
        } else if (w == "par" || w == "line") {
            if (!s.skip) {
                flush();
                if (w == "par") cur_.insertBlock();
                else pending_ += QChar(QChar::LineSeparator);
            }
        } else if (w == "tab") {
            text(u'\t');
        } else if (w == "b" || w == "i" || w == "ul" || w == "ulnone" || w == "fs" || w == "plain") {
            flush();
            if (w == "b") s.bold = on;
            if (w == "i") s.italic = on;
            if (w == "ul") s.underline = on;
            if (w == "ulnone") s.underline = false;
            if (w == "fs" && t.hasNum && t.num > 0 && t.num < 400) s.halfPoints = static_cast<int>(t.num);
            if (w == "plain") s.bold = s.italic = s.underline = false;
        } else if (w == "uc") {
            if (t.hasNum && t.num >= 0 && t.num <= 16) s.unicodeSkip = static_cast<int>(t.num);
        } else if (w == "u" && t.hasNum) {
            // \uN: a UTF-16 unit as a signed 16-bit number (negatives count
            // from 65536; some writers use 32768-65535 instead).  A number
            // outside -32768..65535 is no character and is dropped.
            fallbackLeft_ = 0;
            if (t.num >= -32768 && t.num <= 65535) putUnit(static_cast<char16_t>(t.num < 0 ? t.num + 65536 : t.num));
            fallbackLeft_ = s.unicodeSkip;
        }
    }

    // A character of text, unless it is the stand-in of the last \uN.
    void text(char16_t u) {
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        putUnit(u);
    }

    // Appends one UTF-16 unit when the current group is text; a surrogate
    // half that does not pair up is dropped.
    void putUnit(char16_t u) {
        if (stack_.back().skip || (u < 0x20 && u != u'\t')) return;
        if (QChar::isHighSurrogate(u)) {
            highSurrogate_ = u;
            return;
        }
        if (QChar::isLowSurrogate(u)) {
            if (highSurrogate_ != 0) {
                pending_ += QChar(highSurrogate_);
                pending_ += QChar(u);
            }
            highSurrogate_ = 0;
            return;
        }
        highSurrogate_ = 0;
        pending_ += QChar(u);
    }

    void flush() {
        if (pending_.isEmpty()) return;
        const State& s = stack_.back();
        QTextCharFormat f;
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontPointSize(s.halfPoints / 2.0);
        cur_.insertText(pending_, f);
        pending_.clear();
    }

    QTextCursor cur_;
    std::vector<State> stack_{State{}};
    std::size_t ignoredDepth_ = 0;  // open groups beyond kMaxDepth
    QString pending_;
    char16_t highSurrogate_ = 0;  // first half of a \uN pair, waiting for its second
    int fallbackLeft_ = 0;        // characters still to skip after a \uN
};

}  // namespace

void readRtf(const QByteArray& rtf, QTextDocument* doc) {
    doc->clear();
    if (!rtf.trimmed().startsWith("{\\rtf")) {
        QTextCursor(doc).insertText(QString::fromUtf8(rtf));
        return;
    }
    Tokenizer tokens(rtf);
    GroupReader reader(doc);
    for (Token t = tokens.next(); t.kind != Token::End; t = tokens.next()) reader.take(t);
    reader.finish();
}

}  // namespace zelk
