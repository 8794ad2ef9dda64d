// The Site Overview window and the q7mctl child process behind it.
#include "ui/site_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/editor.h"
#include "ui/bind.h"
#include "ui/widgets.h"

namespace zelk {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A window of its own beside the main window: its close box and Escape are
// its Close button.
class SiteWindow : public QWidget {
public:
    SiteWindow(QWidget* parent, Button& close) : QWidget(parent, Qt::Window), close_(close) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        if (isVisible()) close_.click();
        e->accept();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) close_.click();
        else QWidget::keyPressEvent(e);
    }

private:
    Button& close_;
};

// Enter on the table opens the current row (a double click does too).
class EnterOpens : public QObject {
public:
    EnterOpens(QTableWidget* table, Table& t) : QObject(table), table_(table), t_(t) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == table_ && e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table_->currentRow() >= 0) {
                t_.userOpen(table_->currentRow());
                return true;
            }
        }
        return false;
    }

private:
    QTableWidget* table_;
    Table& t_;
};

// The units' table: content and selection follow the Table control; a
// click selects, Enter or a double click opens.
QTableWidget* unitTable(Table& t) {
    auto* w = readOnlyTable(t);
    auto fill = [w, &t] {
        const QSignalBlocker quiet(w);
        w->setColumnCount(static_cast<int>(t.columns().size()));
        w->setRowCount(static_cast<int>(t.rows().size()));
        QStringList titles;
        for (const auto& c : t.columns()) titles << q(c);
        w->setHorizontalHeaderLabels(titles);
        for (int r = 0; r < w->rowCount(); ++r) {
            const auto& row = t.rows()[static_cast<std::size_t>(r)];
            for (int c = 0; c < w->columnCount(); ++c) {
                const QString text = c < static_cast<int>(row.size()) ? q(row[static_cast<std::size_t>(c)]) : QString();
                QTableWidgetItem* item = w->item(r, c);
                if (!item) w->setItem(r, c, item = new QTableWidgetItem);
                item->setText(text);
            }
        }
        w->resizeColumnsToContents();
        w->horizontalHeader()->setStretchLastSection(true);
    };
    fill();
    t.observe([w, fill, &t](Control&, Prop p) {
        if (p == Prop::Items) fill();
        if (p == Prop::Items || p == Prop::ListIndex) {
            if (w->currentRow() == t.selected()) return;
            const QSignalBlocker quiet(w);
            if (t.selected() < 0) {
                w->clearSelection();
                w->setCurrentCell(-1, -1);
            } else {
                w->selectRow(t.selected());
            }
        }
    });
    w->installEventFilter(new EnterOpens(w, t));
    return w;
}

}  // namespace

// ---------------------------------------------------------------- q7mctl

QtUnitSurvey::~QtUnitSurvey() {
    if (!process_) return;
    QProcess* p = process_;
    process_ = nullptr;
    QObject::disconnect(p, nullptr, nullptr, nullptr);
    // q7mctl sets its units back and ends on SIGTERM within its time-outs.
    p->terminate();
    if (!p->waitForFinished(5000)) p->kill();
    p->waitForFinished(1000);
    delete p;
}

QString QtUnitSurvey::findProgram() {
    if (const char* env = std::getenv("ZELKVELQ_Q7MCTL"); env && *env) return QString::fromLocal8Bit(env);
    QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/q7mctl");
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("q7mctl"));
    return onPath.isEmpty() ? QStringLiteral("q7mctl") : onPath;
}

void QtUnitSurvey::read(const std::vector<int>& ports, const std::string& folder,
                        std::function<void(SurveyResult)> done) {
    start(surveyArguments(ports, folder), std::move(done));
}

void QtUnitSurvey::approve(int port, const std::string& folder, std::function<void(SurveyResult)> done) {
    start(approveArguments(port, folder), std::move(done));
}

void QtUnitSurvey::stop() {
    if (process_) process_->terminate();
}

void QtUnitSurvey::start(const std::vector<std::string>& args, std::function<void(SurveyResult)> done) {
    if (process_) return;
    auto* p = new QProcess;
    process_ = p;
    QStringList list;
    for (const auto& a : args) list << q(a);
    auto finish = [this, p, done = std::move(done)](bool started) {
        if (process_ != p) return;  // told once
        process_ = nullptr;
        const std::string out = p->readAllStandardOutput().toStdString();
        const std::string err = started ? p->readAllStandardError().toStdString() : p->errorString().toStdString();
        const int status = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        p->deleteLater();
        done(surveyResult(out, err, status, started));
    };
    QObject::connect(p, &QProcess::finished, p, [finish](int, QProcess::ExitStatus) { finish(true); });
    QObject::connect(p, &QProcess::errorOccurred, p, [finish](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) finish(false);
    });
    // Every link call of q7mctl is bounded; this bounds a stuck child too.
    QTimer::singleShot(120000, p, [p] { p->kill(); });
    p->start(program_, list);
}

// ---------------------------------------------------------------- window

QWidget* buildSiteWindow(Editor& ed, QWidget* parent) {
    FrmSite& f = ed.site;
    auto* w = new SiteWindow(parent, f.cmdClose);
    w->setObjectName(QStringLiteral("frmSite"));
    w->setWindowTitle(q(f.form.caption()));
    auto* v = new QVBoxLayout(w);
    auto* top = new QHBoxLayout;
    QLabel* folder = label(f.lblFolder);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(folder, 1);
    top->addWidget(button(f.cmdFolder));
    v->addLayout(top);
    v->addWidget(describe(unitTable(f.grdUnits), QCoreApplication::translate("Accessible", "Units of the site"), nullptr,
                          QCoreApplication::translate("Accessible", "One row per unit: its screen, port, state, "
                                                                    "versions and whether it matches its baseline")),
                 1);
    v->addWidget(label(f.lblStatus));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(button(f.cmdRefresh));
    buttons->addWidget(describe(combo(f.cboPeriod), QCoreApplication::translate("Accessible", "Automatic refresh")));
    buttons->addStretch();
    buttons->addWidget(button(f.cmdConnect));
    buttons->addWidget(button(f.cmdApprove));
    buttons->addWidget(button(f.cmdClose));
    v->addLayout(buttons);
    auto* timer = new QTimer(w);
    timer->setObjectName(q(f.tmrSite.name()));
    bind(f.tmrSite, timer);
    w->resize(1120, 380);
    f.form.observe([w](Control& c, Prop p) {
        if (p == Prop::Caption) w->setWindowTitle(q(c.caption()));
        if (p != Prop::Visible) return;
        if (c.visible()) {
            w->show();
            w->raise();
            w->activateWindow();
        } else {
            w->hide();
        }
    });
    return w;
}

}  // namespace zelk
