#include "ui/app.h"

#include "ui/bind.h"

namespace zelk {

EditorApp::EditorApp(const LinkApi& link, Paths paths, MessageBoxService* msg, FileDialogService* files) {
    // Library calls run on the link thread; pauses and timer ticks wait for
    // the exchange in flight instead of freezing or interleaving with it.
    clock_.runner = &runner_;
    setTickGate([this](const void* key, std::function<void()> tick) { runner_.whenIdle(key, std::move(tick)); });
    editor_ = std::make_unique<Editor>(Services{msg ? *msg : static_cast<MessageBoxService&>(qtMsg_),
                                                files ? *files : static_cast<FileDialogService&>(qtFiles_), clock_,
                                                ui_, runner_},
                                       link, std::move(paths));
    editor_->main.bar.form.setVisible(false);
    main_ = std::make_unique<MainWindow>(*editor_);
    main_->resize(940, 660);
    main_->setRunner(&runner_);
    qtMsg_.parent = main_.get();
    qtFiles_.parent = main_.get();
    ui_.mainWindow = main_.get();
    // The main window follows its form's visibility.
    editor_->main.bar.form.observe([this](Control& c, Prop p) {
        if (p == Prop::Visible) main_->setVisible(c.visible());
    });
    buildProgressDialog(*editor_, main_.get());
    buildTheaterDialog(*editor_, main_.get());
    buildRefreshDialog(*editor_, main_.get());
    buildFaderDialog(*editor_, main_.get());
    buildCompareDialog(*editor_, main_.get());
    buildAsFoundDialog(*editor_, main_.get());
    buildHistoryDialog(*editor_, main_.get());
    editor_->service.setReportWriter(&reports_);
    splash_.reset(buildSplash(*editor_));
}

EditorApp::~EditorApp() { setTickGate(nullptr); }

void EditorApp::start() { editor_->splash.form.setVisible(true); }

}  // namespace zelk
