// The "Help" tab: the help text, read from its rich-text file.
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QLineEdit>
#include <QGroupBox>
#include <QCoreApplication>
#include <QTextBrowser>

#include "ui/rtf_reader.h"
#include "ui/tabs.h"

namespace zelk {

QWidget* buildHelpTab(HelpTab& t) {
    auto* help = new QTextBrowser;
    help->setObjectName("RTFc");
    help->setAccessibleName(QCoreApplication::translate("Accessible", "Help"));
    auto load = [help, &t] {
        readRtf(QByteArray::fromStdString(t.RTFc.text()), help->document());
        help->moveCursor(QTextCursor::Start);  // open at the top
    };
    load();
    const auto token = t.RTFc.observe([load](Control&, Prop p) {
        if (p == Prop::Caption) load();
    });
    QObject::connect(help, &QObject::destroyed, [&t, token] { t.RTFc.unobserve(token); });
    return help;
}

}  // namespace zelk
