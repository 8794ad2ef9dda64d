// The "Theater Information" tab (read-only; "Edit" opens the dialog) and
// the field layout it shares with the dialog.
#include <QRadioButton>
#include <QComboBox>
#include <QSlider>
#include <QGroupBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/bind.h"
#include "ui/tabs.h"
#include "ui/widgets.h"

namespace zelk {

int layoutTheaterFields(QGridLayout* g, std::array<Label, 11>& captions, std::array<TextBox, 11>& boxes,
                        bool readOnly) {
    auto* heading = new QLabel(QCoreApplication::translate("Captions", "Theater Information"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSize(hf.pointSize() + 4);
    heading->setFont(hf);
    g->addWidget(heading, 0, 0, 1, 4);
    // Each caption names its box.
    QLabel* last = nullptr;
    auto lab = [&](int i) { return last = label(captions[static_cast<std::size_t>(i)]); };
    auto edit = [&](int i) {
        auto* e = new QLineEdit;
        e->setReadOnly(readOnly);
        bind(boxes[static_cast<std::size_t>(i)], e);
        return labelledBy(e, last);
    };

    // Full-width rows for 0, 1, 2 and 7; 3|4, 5|6 and 8|9 share a row.
    int row = 1;
    auto full = [&](int i) {
        g->addWidget(lab(i), row, 0);
        g->addWidget(edit(i), row++, 1, 1, 3);
    };
    auto pair = [&](int l, int r) {
        g->addWidget(lab(l), row, 0);
        g->addWidget(edit(l), row, 1);
        g->addWidget(lab(r), row, 2);
        QLineEdit* right = edit(r);
        g->addWidget(right, row++, 3);
        if (r == 9) {
            // "Date Installed" is the last upload's time and date: say how it reads.
            const QString format = QCoreApplication::translate("Captions", kDateInstalledFormat);
            right->setToolTip(QCoreApplication::translate("Captions", "Time and date of the last upload (%1)").arg(format));
            auto* hint = new QLabel(QCoreApplication::translate("Captions", "last upload: %1").arg(format));
            hint->setObjectName("lblDateFormat");
            QFont hf = hint->font();
            hf.setPointSizeF(hf.pointSizeF() * 0.8);
            hint->setFont(hf);
            g->addWidget(hint, row++, 3, Qt::AlignTop);
        }
    };
    full(0);
    full(1);
    full(2);
    pair(3, 4);
    pair(5, 6);
    full(7);
    pair(8, 9);
    g->addWidget(lab(10), row, 0, Qt::AlignTop);
    auto* notes = new QPlainTextEdit;
    notes->setReadOnly(readOnly);
    notes->setTabChangesFocus(true);  // Tab goes on to the buttons
    bind(boxes[10], notes);
    labelledBy(notes, last);
    g->addWidget(notes, row++, 1, 1, 3);
    return row;
}

QWidget* buildTheaterTab(TheaterTab& t) {
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    const int row = layoutTheaterFields(g, t.lblTheater, t.txtTheaterInfo, true);
    g->addWidget(describe(button(t.cmdEdit), QCoreApplication::translate("Accessible", "Edit theater information")), row,
                 3, Qt::AlignRight);
    return page;
}

}  // namespace zelk
