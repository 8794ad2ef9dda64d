// picture_widget.h - the window's side of a picture.  Every drawing command
// is kept (until the picture is cleared) and drawn into an off-screen image
// as large as the picture shows on the screen, in device pixels: when the
// widget is resized or moves to a screen of another pixel ratio, the image
// is drawn again from the commands at the new size, so lines and text stay
// sharp at any scale.  The picture keeps its aspect in the widget.
#ifndef ZELK_UI_PICTURE_WIDGET_H
#define ZELK_UI_PICTURE_WIDGET_H

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "form/picture.h"

namespace zelk {

class PictureWidget : public QWidget, public Canvas {
public:
    // Image pixels per drawing unit until the widget is first shown.
    static constexpr double kInitialScale = 3;
    // A picture that is never cleared (the azimuth trail) keeps at most
    // this many commands; beyond it, what is drawn so far is kept as an
    // image and the list starts again.
    static constexpr std::size_t kMaxCommands = 20000;

    explicit PictureWidget(Picture& picture, QWidget* parent = nullptr);
    ~PictureWidget() override;

    // What has been drawn so far, at the size it is shown (tests, screenshots).
    QImage image();
    // The colour at drawing position (x, y).
    QColor colourAt(double x, double y);
    // Image pixels per drawing unit now.
    double scale() const { return scale_; }

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
    // One drawing command, in drawing units.
    struct Command {
        enum class Kind { Pen, Style, Line, Box, Point, Text, Font };
        explicit Command(Kind k, double a_ = 0, double b_ = 0, double c_ = 0, double d_ = 0)
            : kind(k), a(a_), b(b_), c(c_), d(d_) {}
        Kind kind;
        double a, b, c, d;
        Colour colour;
        int width = 1;
        LineStyle lineStyle = LineStyle::Solid;
        std::string text;
    };
    void record(Command c);
    void apply(const Command& c);
    // Draws the image again, `pixels` large, from what was kept.
    void render(QSize pixels);
    // Where the picture shows in the widget (logical pixels), and how many
    // device pixels that is.
    QRectF target() const;
    QSize devicePixels(const QRectF& target) const;
    QPainter& painter();
    void finish();
    QPen currentPen() const;

    Picture& picture_;
    QImage image_;
    double scale_ = kInitialScale;
    std::vector<Command> commands_;
    QImage earlier_;  // what was drawn before the kept commands, when the list overflowed
    std::unique_ptr<QPainter> painter_;
    QColor colour_{Qt::black};
    int width_ = 1;
    Qt::PenStyle style_ = Qt::SolidLine;
    QFont font_;
    QColor startColour_{Qt::black};
    int startWidth_ = 1;
    Qt::PenStyle startStyle_ = Qt::SolidLine;
    QFont startFont_;
};

}  // namespace zelk

#endif
