// service_dialogs.h - the Qt windows of the service visit and the PDF
// writer the editor's logic is given.
#ifndef ZELK_UI_SERVICE_DIALOGS_H
#define ZELK_UI_SERVICE_DIALOGS_H

#include "files/service_visit.h"

class QDialog;
class QWidget;

namespace zelk {

class Editor;

class QtReportWriter : public ReportWriter {
public:
    std::string writePdf(const ServiceReport& report, const std::string& path) override;
};

QDialog* buildCompareDialog(Editor& ed, QWidget* parent);
QDialog* buildAsFoundDialog(Editor& ed, QWidget* parent);
QDialog* buildHistoryDialog(Editor& ed, QWidget* parent);

}  // namespace zelk

#endif
