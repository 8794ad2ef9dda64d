#include "ui/window_places.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace zelk {

namespace {
const char* const kKeepProperty = "zelkKeepSize";
}

WindowPlaces::WindowPlaces(const QString& file)
    : file_(file), ini_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

WindowPlaces::~WindowPlaces() = default;

void WindowPlaces::keep(QWidget* w, Keep what) {
    w->setProperty(kKeepProperty, what == Keep::PlaceAndSize);
    w->installEventFilter(this);
}

bool WindowPlaces::eventFilter(QObject* o, QEvent* e) {
    if ((e->type() == QEvent::Hide || e->type() == QEvent::Close) && o->isWidgetType()) {
        auto* w = static_cast<QWidget*>(o);
        // A window that was never shown has no place of its own yet.
        if (w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isWindow()) save(w);
    }
    return false;
}

void WindowPlaces::save(QWidget* w) {
    const QString name = w->objectName();
    if (name.isEmpty()) return;
    const bool withSize = w->property(kKeepProperty).toBool();
    const bool maximised = w->isMaximized();
    const QRect normal = maximised ? w->normalGeometry() : QRect(w->pos(), w->size());
    ini_->beginGroup(name);
    ini_->setValue("x", normal.x());
    ini_->setValue("y", normal.y());
    if (withSize) {
        ini_->setValue("width", normal.width());
        ini_->setValue("height", normal.height());
        ini_->setValue("maximised", maximised);
    }
    ini_->endGroup();
    ini_->sync();
}

bool WindowPlaces::restore(QWidget* w) {
    const QString name = w->objectName();
    if (name.isEmpty() || !ini_->childGroups().contains(name)) return false;
    ini_->beginGroup(name);
    bool okX = false, okY = false;
    const int x = ini_->value("x").toInt(&okX);
    const int y = ini_->value("y").toInt(&okY);
    const bool withSize = w->property(kKeepProperty).toBool() && ini_->contains("width");
    const int width = withSize ? ini_->value("width").toInt() : w->width();
    const int height = withSize ? ini_->value("height").toInt() : w->height();
    const bool maximised = withSize && ini_->value("maximised").toBool();
    ini_->endGroup();
    if (!okX || !okY || width <= 0 || height <= 0) return false;  // a hand-edited file: place it afresh
    const QRect r = onScreen(QRect(x, y, width, height), w->minimumSize());
    if (withSize) w->resize(r.size());
    w->move(r.topLeft());
    if (maximised) w->setWindowState(w->windowState() | Qt::WindowMaximized);
    return true;
}

QRect WindowPlaces::onScreen(QRect r, QSize minimum) {
    const QScreen* best = nullptr;
    long bestArea = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry().intersected(r);
        const long area = common.isEmpty() ? 0 : static_cast<long>(common.width()) * common.height();
        if (area > bestArea) {
            best = s;
            bestArea = area;
        }
    }
    if (!best) best = QGuiApplication::primaryScreen();
    if (!best) return r;
    const QRect avail = best->availableGeometry();
    r.setWidth(std::max(std::min(r.width(), avail.width()), minimum.width()));
    r.setHeight(std::max(std::min(r.height(), avail.height()), minimum.height()));
    // Inside the free area; a window larger than it keeps its top left
    // corner (and so its title bar) on the screen.
    r.moveLeft(std::max(avail.left(), std::min(r.left(), avail.right() + 1 - r.width())));
    r.moveTop(std::max(avail.top(), std::min(r.top(), avail.bottom() + 1 - r.height())));
    return r;
}

int WindowPlaces::number(const QString& window, const QString& key, int fallback) const {
    bool ok = false;
    const int v = ini_->value(window + "/" + key).toInt(&ok);
    return ok ? v : fallback;
}

void WindowPlaces::setNumber(const QString& window, const QString& key, int value) {
    ini_->setValue(window + "/" + key, value);
    ini_->sync();
}

}  // namespace zelk
