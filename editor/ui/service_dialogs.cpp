// The service visit's windows: the table of differences from the unit (a
// check box per section and per setting), the list of as-found
// configurations, the unit's history, and the report writer the logic uses.
#include "ui/service_dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/editor.h"
#include "ui/bind.h"
#include "ui/report_pdf.h"
#include "ui/widgets.h"
#include "ui/windows.h"

namespace zelk {

std::string QtReportWriter::writePdf(const ServiceReport& report, const std::string& path) {
    return writeServiceReportPdf(report, path);
}

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The window follows its form control: shown (modal), hidden, titled.
void followForm(Label& form, QDialog* d) {
    d->setWindowTitle(q(form.caption()));
    d->setModal(true);
    form.observe([d](Control& c, Prop p) {
        if (p == Prop::Visible) {
            if (c.visible()) {
                d->show();
                d->raise();
                d->activateWindow();
            } else {
                d->hide();
            }
        }
        if (p == Prop::Caption) d->setWindowTitle(q(c.caption()));
    });
}

// The check boxes of a table's first column follow the control's checks;
// a click is the user's, and the logic decides what the boxes then show.
void showChecks(QTableWidget* w, Table& t) {
    for (int r = 0; r < w->rowCount(); ++r) {
        const int state = t.check(r);
        auto* box = qobject_cast<QCheckBox*>(w->cellWidget(r, 0));
        if (state == Table::kNoBox) {
            if (box) w->removeCellWidget(r, 0);
            continue;
        }
        if (!box) {
            box = new QCheckBox;
            box->setObjectName(QStringLiteral("chk%1").arg(r));
            box->setStyleSheet(QStringLiteral("margin-left: 6px;"));
            QObject::connect(box, &QCheckBox::clicked, w, [w, &t, r] {
                t.userCheck(r);
                showChecks(w, t);
            });
            w->setCellWidget(r, 0, box);
        }
        const QSignalBlocker quiet(box);
        box->setCheckState(state == Table::kTicked   ? Qt::Checked
                           : state == Table::kPartly ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
    }
}

// A read-only table bound to a Table control: its content, selection and
// check boxes follow the control; a click selects, a double click opens.
// A row whose value cells are all empty is a heading (bold).
QTableWidget* table(Table& t) {
    auto* w = readOnlyTable(t);
    auto fill = [w, &t] {
        const QSignalBlocker quiet(w);
        w->clear();
        w->setColumnCount(static_cast<int>(t.columns().size()));
        w->setRowCount(static_cast<int>(t.rows().size()));
        QStringList titles;
        for (const auto& c : t.columns()) titles << q(c);
        w->setHorizontalHeaderLabels(titles);
        for (int r = 0; r < w->rowCount(); ++r) {
            const auto& row = t.rows()[static_cast<std::size_t>(r)];
            bool heading = row.size() > 2;
            for (std::size_t c = 2; c < row.size(); ++c) heading = heading && row[c].empty();
            for (int c = 0; c < w->columnCount() && c < static_cast<int>(row.size()); ++c) {
                auto* item = new QTableWidgetItem(q(row[static_cast<std::size_t>(c)]));
                if (heading) {
                    QFont f = item->font();
                    f.setBold(true);
                    item->setFont(f);
                }
                w->setItem(r, c, item);
            }
        }
        w->resizeColumnsToContents();
        w->horizontalHeader()->setStretchLastSection(true);
    };
    fill();
    t.observe([w, fill, &t](Control&, Prop p) {
        if (p == Prop::Items) fill();
        if (p == Prop::Value) {
            showChecks(w, t);
            if (!t.checks().empty()) w->setColumnWidth(0, 34);
        }
        if (p == Prop::ListIndex && w->currentRow() != t.selected()) {
            const QSignalBlocker quiet(w);
            if (t.selected() < 0) w->clearSelection();
            else w->selectRow(t.selected());
        }
    });
    return w;
}

QPushButton* push(Button& b) {
    auto* w = new QPushButton;
    bind(b, w);
    return w;
}

}  // namespace

QDialog* buildCompareDialog(Editor& ed, QWidget* parent) {
    auto& f = ed.compare;
    auto* d = new BoundDialog(parent, [&f] { f.cmdCancel.click(); });
    d->setObjectName("frmCompare");
    auto* v = new QVBoxLayout(d);
    auto* summary = new QLabel;
    bind(f.lblSummary, summary);
    summary->setWordWrap(true);
    v->addWidget(summary);
    v->addWidget(describe(table(f.grdDiff), QCoreApplication::translate("Accessible", "Differences"), nullptr,
                          QCoreApplication::translate("Accessible",
                                                      "Each setting that differs: the editor's value and the unit's")),
                 1);
    auto* note = new QLabel;
    bind(f.lblNote, note);
    note->setStyleSheet(QStringLiteral("color: rgb(90,90,90);"));
    v->addWidget(note);
    auto* reasonLine = new QHBoxLayout;
    auto* reasonLabel = new QLabel;
    bind(f.lblReason, reasonLabel);
    auto* reason = new QLineEdit;
    bind(f.txtReason, reason);
    reason->setMaxLength(300);
    reasonLabel->setBuddy(reason);
    reasonLine->addWidget(reasonLabel);
    reasonLine->addWidget(reason, 1);
    v->addLayout(reasonLine);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* upload = push(f.cmdUpload);
    auto* cancel = push(f.cmdCancel);
    cancel->setDefault(true);  // Enter does not send
    buttons->addWidget(upload);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    d->resize(680, 480);
    followForm(f.form, d);
    return d;
}

QDialog* buildAsFoundDialog(Editor& ed, QWidget* parent) {
    auto& f = ed.asFound;
    auto* d = new BoundDialog(parent, [&f] { f.cmdCancel.click(); });
    d->setObjectName("frmAsFound");
    auto* v = new QVBoxLayout(d);
    v->addWidget(describe(table(f.grdFiles), QCoreApplication::translate("Accessible", "As-found configurations"),
                          nullptr,
                          QCoreApplication::translate("Accessible", "By theater, screen and date, newest first")),
                 1);
    auto* folder = new QLabel;
    bind(f.lblFolder, folder);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(folder);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* open = push(f.cmdOpen);
    open->setDefault(true);
    buttons->addWidget(open);
    buttons->addWidget(push(f.cmdCancel));
    v->addLayout(buttons);
    d->resize(620, 380);
    followForm(f.form, d);
    return d;
}

QDialog* buildHistoryDialog(Editor& ed, QWidget* parent) {
    auto& f = ed.history;
    auto* d = new BoundDialog(parent, [&f] { f.cmdClose.click(); });
    d->setObjectName("frmHistory");
    auto* v = new QVBoxLayout(d);
    auto* file = new QLabel;
    bind(f.lblFile, file);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(file);
    v->addWidget(describe(table(f.grdHistory), QCoreApplication::translate("Accessible", "Unit history"), nullptr,
                          QCoreApplication::translate("Accessible", "What the unit received and why, newest first")),
                 1);
    auto* note = new QLabel;
    bind(f.lblNote, note);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: rgb(150,60,0);"));
    v->addWidget(note);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* close = push(f.cmdClose);
    close->setDefault(true);
    buttons->addWidget(close);
    v->addLayout(buttons);
    d->resize(900, 420);
    followForm(f.form, d);
    return d;
}

}  // namespace zelk
