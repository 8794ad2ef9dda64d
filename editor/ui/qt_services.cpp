#include "ui/qt_services.h"

#include "ui/qt_link_runner.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <chrono>
#include <thread>

namespace zelk {

MsgResult QtMessageBox::show(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (buttons) {
    case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MsgButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
    }
}

QString qtFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
    return out.join(QStringLiteral(";;"));
}

std::optional<std::string> QtFileDialog::showOpen(const std::string& filter, const std::string& fileName) {
    const QString p = QFileDialog::getOpenFileName(parent, QCoreApplication::translate("Captions", "Open"), QString::fromStdString(fileName),
                                                   qtFilter(filter));
    if (p.isEmpty()) return std::nullopt;
    return p.toStdString();
}

std::optional<std::string> QtFileDialog::showSave(const std::string& filter, const std::string& fileName) {
    const QString p = QFileDialog::getSaveFileName(parent, QCoreApplication::translate("Captions", "Save As"), QString::fromStdString(fileName),
                                                   qtFilter(filter));
    if (p.isEmpty()) return std::nullopt;
    return p.toStdString();
}

std::optional<std::string> QtFileDialog::showFolder(const std::string& title, const std::string& folder) {
    const QString p = QFileDialog::getExistingDirectory(parent, QString::fromStdString(title),
                                                        QString::fromStdString(folder));
    if (p.isEmpty()) return std::nullopt;
    return p.toStdString();
}

LocalTime QtClock::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(),  t.date().day(),   t.date().dayOfWeek() % 7,
            t.time().hour(), t.time().minute(), t.time().second()};
}

void QtClock::sleepMs(int ms) {
    if (runner) runner->wait(ms);
    else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The window paints during every wait for the unit: asking is enough.
void QtUi::repaint() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->update();
}

// While the logic is in the middle of an exchange, the user's input waits.
void QtUi::processEvents() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

int QtUi::screenHeightTwips() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() * 15 : 11520;
}

void QtUi::moveMainWindowToTop() {
    if (mainWindow) mainWindow->move(mainWindow->x(), 0);
}

void QtUi::quit() { QCoreApplication::quit(); }

}  // namespace zelk
