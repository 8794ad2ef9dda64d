// The window at a screen's scale: run with QT_SCALE_FACTOR and an
// off-screen screen of a given size (see tests/CMakeLists.txt).  Every tab
// and dialog fits the screen, no caption is cut (each text measured with
// its widget's font against the room the widget gives it), the optical
// picture is drawn at the device pixel ratio, and a screenshot of each is
// saved under gui-screenshots/scale-FACTOR-WxH/.  With Q7M_TEST_LANGUAGE
// set (de) the window is in that language, its screenshots in
// scale-FACTOR-WxH-de/.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "gui_session.h"
#include "ui/picture_widget.h"
#include "ui/translations.h"

using namespace zelk;
using q7mtest::GuiSession;

namespace {

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// Each visible text under `root` that does not fit its widget.
QStringList cutTexts(QWidget* root) {
    QStringList cut;
    auto check = [&cut](QWidget* w, const QString& text, int needed, int room) {
        if (needed > room) cut << QStringLiteral("%1 \"%2\": needs %3, has %4").arg(w->objectName(), text).arg(needed).arg(room);
    };
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        if (!w->isVisible()) continue;
        const QFontMetrics fm = w->fontMetrics();
        QStyle* st = w->style();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap() || l->text().isEmpty() || Qt::mightBeRichText(l->text())) continue;
            const int room = l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent());
            for (const QString& line : l->text().split(QLatin1Char('\n')))
                check(l, line, fm.horizontalAdvance(line), room);
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            // As the style sizes a button round its text.
            const int margins = st->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                                2 * st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
            check(b, b->text(), fm.horizontalAdvance(plain(b->text())) + margins, b->width());
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            const int box = st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, c) +
                            st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, c);
            check(c, c->text(), fm.horizontalAdvance(plain(c->text())) + box, c->width());
        } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
            const int box = st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, r) +
                            st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, r);
            check(r, r->text(), fm.horizontalAdvance(plain(r->text())) + box, r->width());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            check(g, g->title(), fm.horizontalAdvance(plain(g->title())), g->width());
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            const QMargins m = e->textMargins();
            const int frame = 2 * st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
            check(e, e->text(), fm.horizontalAdvance(e->text()), e->width() - frame - 4 - m.left() - m.right());
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            // Every tab in view, none behind scroll buttons.
            check(t, QStringLiteral("tabs"), t->tabRect(t->count() - 1).right() + 1, t->width());
        }
    }
    return cut;
}

}  // namespace

class GuiScaleTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    GuiSession s;
    QString shots;
    QRect screen;
    Translations language;

    // Fits the screen, no text cut, and a picture of it.
    void look(QWidget* window, const QString& name) {
        QTest::qWait(50);  // the layout settles
        QVERIFY2(screen.contains(window->frameGeometry()),
                 qPrintable(name + QStringLiteral(" does not fit: %1,%2 %3x%4").arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y()).arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())));
        const QStringList cut = cutTexts(window);
        QVERIFY2(cut.isEmpty(), qPrintable(name + ": " + cut.join("; ")));
        QVERIFY(window->grab().save(shots + "/" + name + ".png"));
    }

private slots:
    void initTestCase() {
        const QScreen* sc = QGuiApplication::primaryScreen();
        screen = sc->availableGeometry();
        const QSize physical = sc->geometry().size() * sc->devicePixelRatio();
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        const char* dir = std::getenv("Q7M_ARTEFACTS");
        shots = QString(dir ? dir : GUI_ARTEFACT_DIR) +
                QStringLiteral("/scale-%1-%2x%3").arg(scale).arg(physical.width()).arg(physical.height());
        const QString code = qEnvironmentVariable("Q7M_TEST_LANGUAGE");
        if (!code.isEmpty()) {
            QVERIFY2(language.load(code), qPrintable(language.error()));
            shots += "-" + code;
        }
        QDir().mkpath(shots);
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(sim->control("reader noise off"));
        QVERIFY(s.start(q7mtest::pathsIn(sim->dir())));
        QVERIFY(s.ed().vals.OnLine);
    }
    void cleanupTestCase() {
        s.stop();
        sim.reset();
    }

    void everyTabFitsAndNoCaptionIsCut() {
        QVERIFY(screen.width() >= s.win().minimumSize().width());
        for (int tab = 0; tab < 8; ++tab) {
            QVERIFY(s.clickTab(tab));
            look(&s.win(), QStringLiteral("tab-%1").arg(tab));
        }
        // The equaliser's other panes.
        QVERIFY(s.clickTab(2));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdEQChan(1)"));
        look(&s.win(), "tab-2-surround");
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdEQChan(5)"));
        look(&s.win(), "tab-2-sub");
    }

    void everyDialogFitsAndNoCaptionIsCut() {
        auto dialog = [this](const char* name) { return s.child<QDialog>(&s.win(), name); };
        auto close = [](QDialog* d) {
            GuiSession::key(Qt::Key_Escape);
            QTRY_VERIFY(!d->isVisible());
        };
        QVERIFY(s.choose({"mnuOptions", "mnuSet"}));
        QTRY_VERIFY(dialog("frmTheater")->isVisible());
        look(dialog("frmTheater"), "dialog-theater");
        close(dialog("frmTheater"));
        QVERIFY(s.choose({"mnuOptions", "mnuAutoRef"}));
        QTRY_VERIFY(dialog("frmRef")->isVisible());
        look(dialog("frmRef"), "dialog-automatic-update");
        close(dialog("frmRef"));
        QVERIFY(s.choose({"mnuFile", "mnuAsFound"}));
        QTRY_VERIFY(dialog("frmAsFound")->isVisible());
        look(dialog("frmAsFound"), "dialog-as-found");
        close(dialog("frmAsFound"));
        QVERIFY(s.choose({"mnuFile", "mnuHistory"}));
        QTRY_VERIFY(dialog("frmHistory")->isVisible());
        look(dialog("frmHistory"), "dialog-history");
        close(dialog("frmHistory"));
        QVERIFY(s.choose({"mnuFile", "mnuCompare"}));
        QTRY_VERIFY(dialog("frmCompare")->isVisible() || !s.boxes.shown.empty());
        if (dialog("frmCompare")->isVisible()) {
            look(dialog("frmCompare"), "dialog-compare");
            close(dialog("frmCompare"));
        }
#ifdef Q7M_SUPPORT_BUNDLE
        QVERIFY(s.choose({"mnuHelp", "mnuSupport"}));
        QTRY_VERIFY(dialog("frmSupport")->isVisible());
        look(dialog("frmSupport"), "dialog-support");
        close(dialog("frmSupport"));
#endif
        QVERIFY(s.clickTab(1));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdAdjust(0)"));
        QTRY_VERIFY(dialog("frmFader")->isVisible());
        look(dialog("frmFader"), "dialog-fader");
        s.click(s.child<QPushButton>(dialog("frmFader"), "cmdClose"));
        QTRY_VERIFY(!dialog("frmFader")->isVisible());
    }

    // The gain picture has one image pixel per device pixel: a bar's edges
    // are pure blue against pure white, never a blend of the two that
    // scaling an image would leave.
    void theOpticalPictureIsDrawnAtTheDevicePixelRatio() {
        QVERIFY(s.clickTab(4));
        s.click(s.child<QRadioButton>(s.win().tabs(), "optOptical(0)"));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdStart"));
        const long from = s.ed().optical.recordsDrawn();
        QTRY_VERIFY_WITH_TIMEOUT(s.ed().optical.recordsDrawn() >= from + 3, 15000);
        auto* graph = s.child<PictureWidget>(&s.win(), "OptGraph");
        const double dpr = graph->devicePixelRatioF();
        QCOMPARE(dpr, QGuiApplication::primaryScreen()->devicePixelRatio());
        const QImage shown = graph->grab().toImage();
        const QImage drawn = graph->image();
        const double expected = std::min(graph->width() / 305.0, graph->height() / 285.0) * dpr;
        QVERIFY2(std::abs(graph->scale() - expected) < 0.02,
                 qPrintable(QStringLiteral("%1 pixels per unit, shown at %2").arg(graph->scale()).arg(expected)));
        // The row through the left bar, on the screen.
        const int y = (shown.height() - drawn.height()) / 2 + static_cast<int>(200 * graph->scale());
        int blue = 0, blends = 0;
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (c == QColor(0, 0, 255)) ++blue;
            else if (c.blue() == 255 && c.red() == c.green() && c.red() > 0 && c.red() < 255) ++blends;
        }
        QVERIFY2(blue > 0 && blends == 0, qPrintable(QStringLiteral("blue %1, blended %2").arg(blue).arg(blends)));
        look(&s.win(), "optical-gain");
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdStart"));
        QTRY_VERIFY(!s.ed().optical.running());
    }
};

QTEST_MAIN(GuiScaleTest)
#include "test_gui_scale.moc"
