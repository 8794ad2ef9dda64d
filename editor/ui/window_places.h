// window_places.h - where the editor's windows were.  Each window's place
// (and its size, for a window the user sizes) is kept under the window's
// object name in a small file of its own beside settings.dat, whose
// six-line format older installations share and which stays as it is.
// A window is put back where it was at the next start, moved onto a screen
// when the screens changed in between.
#ifndef ZELK_UI_WINDOW_PLACES_H
#define ZELK_UI_WINDOW_PLACES_H

#include <QObject>
#include <QRect>
#include <QString>
#include <memory>

class QSettings;
class QWidget;

namespace zelk {

class WindowPlaces : public QObject {
public:
    enum class Keep { Place, PlaceAndSize };

    explicit WindowPlaces(const QString& file);
    ~WindowPlaces() override;

    // Keeps `w`'s place from now on: written each time it is hidden or
    // closed.  Not put back by itself: see restore().
    void keep(QWidget* w, Keep what);
    // Puts `w` where it was kept; false when nothing was kept for it (the
    // caller places it then).
    bool restore(QWidget* w);
    // Writes `w`'s place now.
    void save(QWidget* w);

    // A number kept with a window (the main window's last tab).
    int number(const QString& window, const QString& key, int fallback) const;
    void setNumber(const QString& window, const QString& key, int value);

    // Where a window kept at `r` goes on today's screens: onto the screen
    // that shows most of it (the primary one when none does), inside its
    // free area, and no larger than that area allows (but not below
    // `minimum`).
    static QRect onScreen(QRect r, QSize minimum);

    const QString& file() const { return file_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QString file_;
    std::unique_ptr<QSettings> ini_;
};

}  // namespace zelk

#endif
