// rtf_reader.h - a small reader of rich text (RTF) into a Qt text
// document: paragraphs, bold, italic, underline, font sizes, escapes.
#ifndef ZELK_UI_RTF_READER_H
#define ZELK_UI_RTF_READER_H

#include <QString>

class QTextDocument;

namespace zelk {

// Fills `doc` from RTF text; text that is not RTF is shown as plain text.
void readRtf(const QByteArray& rtf, QTextDocument* doc);

}  // namespace zelk

#endif
