// picture_widget.h - the window's side of a picture: every drawing command
// goes into an off-screen image kept in the picture's drawing units (times a
// fixed resolution), which stays until the picture is cleared and is shown
// scaled to the widget, keeping its aspect.
#ifndef ZELK_UI_PICTURE_WIDGET_H
#define ZELK_UI_PICTURE_WIDGET_H

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>

#include "form/picture.h"

namespace zelk {

class PictureWidget : public QWidget, public Canvas {
public:
    // Image pixels per drawing unit: enough for a crisp picture when it is
    // shown three times larger than its units (a high-density screen).
    static constexpr int kResolution = 3;

    explicit PictureWidget(Picture& picture, QWidget* parent = nullptr);
    ~PictureWidget() override;

    // What has been drawn so far (for tests and screenshots).
    QImage image();
    // The colour at drawing position (x, y).
    QColor colourAt(double x, double y);

    void clear() override;
    void pen(Colour colour, int width) override;
    void style(LineStyle s) override;
    void line(double x1, double y1, double x2, double y2) override;
    void box(double x1, double y1, double x2, double y2) override;
    void point(double x, double y, Colour colour) override;
    void text(double x, double y, const std::string& s) override;
    void font(const std::string& name, double size) override;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPainter& painter();
    void finish();
    QPen currentPen() const;
    Picture& picture_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QColor colour_{Qt::black};
    int width_ = 1;
    Qt::PenStyle style_ = Qt::SolidLine;
    QFont font_;
};

}  // namespace zelk

#endif
