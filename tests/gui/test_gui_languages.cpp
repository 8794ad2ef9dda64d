// The window in another language.  With a translator that marks every text
// it is asked for ("[[Connect]]"), every tab, dialog, menu and the message
// boxes reached show no text that did not go through it; every text asked
// for has a German translation; and the choice in Options > Language is
// kept for the next start.  Run against q7msim.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTranslator>
#include <functional>
#include <set>

#include "form/forms.h"
#include "gui_session.h"
#include "ui/translations.h"

using namespace zelk;
using q7mtest::GuiSession;

namespace {

// Every text in brackets, and each (context, text) it was asked for.
class MarkingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (!source || !*source) return {};
        QMutexLocker lock(&mutex_);
        asked_.insert({context ? context : "", source});
        return QStringLiteral("[[") + QString::fromUtf8(source) + QStringLiteral("]]");
    }
    bool isEmpty() const override { return false; }
    std::set<std::pair<std::string, std::string>> asked() const {
        QMutexLocker lock(&mutex_);
        return asked_;
    }

private:
    mutable QMutex mutex_;
    mutable std::set<std::pair<std::string, std::string>> asked_;
};

// What may be shown as it stands: the program's own name and the
// languages' own names (never translated), and the values the unit and the
// files give (numbers, "1k" band captions).
bool unmarked(QString text) {
    static const QRegularExpression marked(QStringLiteral("\\[\\[[^\\[\\]]*\\]\\]"));
    for (int before = -1; before != text.size();) {
        before = static_cast<int>(text.size());
        text.replace(marked, QStringLiteral(" "));
    }
    text.replace(QString::fromStdString(kAppTitle), QStringLiteral(" "));
    for (const Language& l : kLanguages) text.replace(QString::fromUtf8(l.name), QStringLiteral(" "));
    text.replace(QRegularExpression(QStringLiteral("\\b\\d+(\\.\\d+)?k\\b")), QStringLiteral(" "));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

}  // namespace

class GuiLanguagesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<q7mtest::SimProcess> sim;
    GuiSession s;
    MarkingTranslator marking;
    QStringList found;  // "where: text" of each unmarked text
    int checked = 0;    // texts looked at

    void check(const QString& where, const QString& text) {
        if (!text.isEmpty()) ++checked;
        if (unmarked(text)) found << where + ": \"" + text + "\"";
    }
    // Each text a user sees or hears in `root` and its children.
    void walk(QWidget* root) {
        QList<QWidget*> all = root->findChildren<QWidget*>();
        all.prepend(root);
        for (QWidget* w : all) {
            if (!w->isWindow() && w->isHidden()) continue;  // put away (a hidden legacy button)
            const QString at = w->window()->objectName() + "/" + w->objectName();
            if (w->isWindow()) check(at + " title", w->windowTitle());
            check(at + " tooltip", w->toolTip());
            check(at + " accessible name", w->accessibleName());
            check(at + " accessible description", w->accessibleDescription());
            if (qobject_cast<QTextBrowser*>(w)) continue;  // the help document: English only
            if (auto* l = qobject_cast<QLabel*>(w)) check(at, l->text());
            else if (auto* b = qobject_cast<QAbstractButton*>(w)) check(at, b->text());
            else if (auto* g = qobject_cast<QGroupBox*>(w)) check(at, g->title());
            else if (auto* e = qobject_cast<QLineEdit*>(w)) check(at + " placeholder", e->placeholderText());
            else if (auto* c = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < c->count(); ++i) check(at + " item", c->itemText(i));
            } else if (auto* t = qobject_cast<QTabBar*>(w)) {
                for (int i = 0; i < t->count(); ++i) check(at + " tab", t->tabText(i));
            } else if (auto* t = qobject_cast<QTableWidget*>(w)) {
                for (int c = 0; c < t->columnCount(); ++c)
                    if (t->horizontalHeaderItem(c)) check(at + " header", t->horizontalHeaderItem(c)->text());
            }
        }
    }
    void walkMenus(const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (a->isSeparator()) continue;
            check("menu " + a->objectName(), a->text());
            check("menu " + a->objectName() + " tooltip", a->toolTip());
            if (a->menu()) walkMenus(a->menu()->actions());
        }
    }
    QDialog* dialog(const char* name) { return s.child<QDialog>(&s.win(), name); }
    void open(std::initializer_list<const char*> menu, const char* name) {
        QVERIFY(s.choose(menu));
        QTRY_VERIFY(dialog(name)->isVisible());
        walk(dialog(name));
        s.activate(dialog(name));
        GuiSession::key(Qt::Key_Escape);
        QTRY_VERIFY(!dialog(name)->isVisible());
    }

private slots:
    void initTestCase() {
        QCoreApplication::installTranslator(&marking);
        sim = std::make_unique<q7mtest::SimProcess>();
        QVERIFY(s.start(q7mtest::pathsIn(sim->dir())));
        QVERIFY(s.ed().vals.OnLine);
    }
    void cleanupTestCase() {
        s.stop();
        sim.reset();
        QCoreApplication::removeTranslator(&marking);
    }

    void everyTextShownGoesThroughTheTranslator() {
        for (int tab = 0; tab < 8; ++tab) {
            QVERIFY(s.clickTab(tab));
            walk(&s.win());
        }
        QVERIFY(s.clickTab(2));  // the equaliser's other panes
        for (const char* channel : {"cmdEQChan(1)", "cmdEQChan(5)"}) {
            s.click(s.child<QPushButton>(s.win().tabs(), channel));
            walk(&s.win());
        }
        walkMenus(s.win().menuBar()->actions());
        open({"mnuOptions", "mnuSet"}, "frmTheater");
        open({"mnuOptions", "mnuAutoRef"}, "frmRef");
        open({"mnuFile", "mnuAsFound"}, "frmAsFound");
        open({"mnuFile", "mnuHistory"}, "frmHistory");
#ifdef Q7M_SUPPORT_BUNDLE
        open({"mnuHelp", "mnuSupport"}, "frmSupport");
#endif
        QVERIFY(s.choose({"mnuFile", "mnuCompare"}));
        QTRY_VERIFY(dialog("frmCompare")->isVisible() || !s.boxes.shown.empty());
        if (dialog("frmCompare")->isVisible()) {
            walk(dialog("frmCompare"));
            auto* table = dialog("frmCompare")->findChild<QTableWidget*>();
            QVERIFY(table);
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c)
                    if (table->item(r, c)) check("frmCompare cell", table->item(r, c)->text());
            s.activate(dialog("frmCompare"));
            GuiSession::key(Qt::Key_Escape);
            QTRY_VERIFY(!dialog("frmCompare")->isVisible());
        }
        QVERIFY(s.clickTab(1));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdAdjust(0)"));
        QTRY_VERIFY(dialog("frmFader")->isVisible());
        walk(dialog("frmFader"));
        s.click(s.child<QPushButton>(dialog("frmFader"), "cmdClose"));
        for (QWidget* w : s.win().findChildren<QWidget*>())  // every other window, shown or not
            if (w->isWindow() && !qobject_cast<QMenu*>(w)) walk(w);

        // Message boxes: a question of the logic's, and the window's own.
        QVERIFY(s.clickTab(2));
        s.click(s.child<QPushButton>(s.win().tabs(), "cmdClear"));
        QVERIFY(s.choose({"mnuOptions", "mnuLanguage", "mnuLanguage_de"}));
        QVERIFY(s.boxes.shown.size() >= 2);
        for (const std::string& box : s.boxes.shown) {
            // "title: text", each part marked.
            const QString b = QString::fromStdString(box);
            const qsizetype colon = b.indexOf("]]: [[");
            QVERIFY2(colon > 0, box.c_str());
            check("message box title", b.left(colon + 2));
            check("message box", b.mid(colon + 4));
        }
        QVERIFY2(checked > 1000, qPrintable(QString::number(checked)));  // the walk reached the window
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable("shown untranslated:\n  " + found.join("\n  ")));
    }

    // Every text the walk above asked for (the editor's, not Qt's own) is
    // in the German translation.
    void everyTextAskedForIsInGerman() {
        QTranslator german;
        QVERIFY(german.load("zelkvelq_de", translationFolders().first()));
        QStringList missing;
        int ours = 0;
        for (const auto& [context, text] : marking.asked()) {
            if (context.empty() || context[0] == 'Q') continue;  // Qt's own texts
            ++ours;
            if (german.translate(context.c_str(), text.c_str()).isEmpty())
                missing << QString::fromStdString(context) + ": " + QString::fromStdString(text);
        }
        QVERIFY2(ours > 250, qPrintable(QString::number(ours)));
        QVERIFY2(missing.isEmpty(), qPrintable("not in German:\n  " + missing.join("\n  ")));
    }

    // Options > Language keeps the choice in editor.ini, beside windows.ini;
    // the language loaded is the one chosen, else the system's, else English.
    void theChoiceIsKeptAndTheSystemLanguageIsTheDefault() {
        const QString data = QString::fromStdString(s.ed().paths.dataDir);
        QCOMPARE(keptLanguage(data), QString("de"));  // chosen above
        QVERIFY(s.choose({"mnuOptions", "mnuLanguage", "mnuLanguage_system"}));
        QCOMPARE(keptLanguage(data), QString());
        QVERIFY(s.choose({"mnuOptions", "mnuLanguage", "mnuLanguage_en"}));
        QCOMPARE(keptLanguage(data), QString("en"));

        QCOMPARE(languageFor("", QLocale(QLocale::German, QLocale::Austria)), QString("de"));
        QCOMPARE(languageFor("", QLocale(QLocale::French, QLocale::France)), QString("en"));
        QCOMPARE(languageFor("en", QLocale(QLocale::German, QLocale::Germany)), QString("en"));
        QCOMPARE(languageFor("de", QLocale(QLocale::English, QLocale::UnitedStates)), QString("de"));
        QCOMPARE(languageFor("xx", QLocale(QLocale::German, QLocale::Germany)), QString("de"));

        // German found beside the program; a language without a file leaves English.
        Translations de;
        QVERIFY(de.load("de"));
        QCOMPARE(QCoreApplication::translate("Captions", "Connect"), QString("Verbinden"));  // the newest is asked first
        Translations none;
        QVERIFY(!none.load("fr"));
        QVERIFY(none.error().contains("zelkvelq_fr.qm"));
    }
};

QTEST_MAIN(GuiLanguagesTest)
#include "test_gui_languages.moc"
