#include "ui/app.h"

#include <QTabWidget>
#include <QTimer>

#include "ui/bind.h"

namespace zelk {

EditorApp::EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg, FileDialogService* files) {
    // Library calls run on the link thread; pauses and timer ticks wait for
    // the exchange in flight instead of freezing or interleaving with it.
    clock_.runner = &runner_;
    places_ = std::make_unique<WindowPlaces>(QString::fromStdString(paths.dataDir + "/windows.ini"));
    setTickGate([this](const void* key, std::function<void()> tick) { runner_.whenIdle(key, std::move(tick)); });
    editor_ = std::make_unique<Editor>(Services{msg ? *msg : static_cast<MessageBoxService&>(qtMsg_),
                                                files ? *files : static_cast<FileDialogService&>(qtFiles_), clock_,
                                                ui_, runner_},
                                       link, std::move(paths));
    editor_->main.bar.form.setVisible(false);
    main_ = std::make_unique<MainWindow>(*editor_);
    // The smallest size fits a 1366x768 screen; the pictures and the
    // equaliser grow with a larger one.
    main_->setMinimumSize(940, 660);
    main_->resize(940, 660);
    places_->keep(main_.get(), WindowPlaces::Keep::PlaceAndSize);
    places_->restore(main_.get());
    QObject::connect(main_->tabs(), &QTabWidget::currentChanged, main_.get(),
                     [this](int tab) { places_->setNumber(main_->objectName(), "tab", tab); });
    main_->setRunner(&runner_);
    qtMsg_.parent = main_.get();
    qtFiles_.parent = main_.get();
    ui_.mainWindow = main_.get();
    // The main window follows its form's visibility; once it is up, the
    // tab last used comes back (through the tab strip, as a click would).
    editor_->main.bar.form.observe([this](Control& c, Prop p) {
        if (p != Prop::Visible) return;
        main_->setVisible(c.visible());
        if (c.visible() && !tabRestored_) {
            tabRestored_ = true;
            const int tab = places_->number(main_->objectName(), "tab", 0);
            QTimer::singleShot(0, main_.get(), [this, tab] {
                if (tab > 0 && tab < main_->tabs()->count()) main_->tabs()->setCurrentIndex(tab);
            });
        }
    });
    buildProgressDialog(*editor_, main_.get());
    buildTheaterDialog(*editor_, main_.get());
    buildRefreshDialog(*editor_, main_.get());
    places_->keep(buildFaderDialog(*editor_, main_.get(), places_.get()), WindowPlaces::Keep::Place);
    QDialog* compare = buildCompareDialog(*editor_, main_.get());
    places_->keep(compare, WindowPlaces::Keep::PlaceAndSize);
    places_->restore(compare);
    buildAsFoundDialog(*editor_, main_.get());
    editor_->service.setReportWriter(&reports_);
    splash_.reset(buildSplash(*editor_));
}

EditorApp::~EditorApp() { setTickGate(nullptr); }

void EditorApp::start() { editor_->splash.form.setVisible(true); }

}  // namespace zelk
