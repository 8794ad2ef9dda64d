// picture.h - a picture box: a control the logic draws on with plain
// immediate-mode commands, in the picture's own drawing units (x to the
// right, y downwards).  The picture forwards every command to the canvases
// attached to it: the window's renderer, or a recorder in tests.  What is
// drawn stays until the picture is cleared.
#ifndef ZELK_FORM_PICTURE_H
#define ZELK_FORM_PICTURE_H

#include <string>
#include <vector>

#include "form/controls.h"

namespace zelk {

enum class LineStyle { Solid, Dashed, Dotted };

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void clear() = 0;
    virtual void pen(Colour colour, int width) = 0;
    virtual void style(LineStyle s) = 0;
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    // A filled box with corners (x1, y1) and (x2, y2), in the pen colour.
    virtual void box(double x1, double y1, double x2, double y2) = 0;
    // One point, as wide as the pen, in `colour`.
    virtual void point(double x, double y, Colour colour) = 0;
    // Text whose top left corner is at (x, y), in the pen colour.
    virtual void text(double x, double y, const std::string& s) = 0;
    // The font; its size is also a length in drawing units.
    virtual void font(const std::string& name, double size) = 0;
};

class Picture : public Control, public Canvas {
public:
    Picture(std::string name, double width, double height, double fontSize = 8)
        : Control(std::move(name)), width_(width), height_(height), fontSize_(fontSize) {}

    double width() const { return width_; }
    double height() const { return height_; }
    double fontSize() const { return fontSize_; }
    const std::string& fontName() const { return fontName_; }
    Colour penColour() const { return pen_; }
    int penWidth() const { return penWidth_; }

    void attach(Canvas& c) { sinks_.push_back(&c); }
    void detach(Canvas& c);

    void clear() override;
    void pen(Colour colour, int width) override;
    void style(LineStyle s) override;
    void line(double x1, double y1, double x2, double y2) override;
    void box(double x1, double y1, double x2, double y2) override;
    void point(double x, double y, Colour colour) override;
    void text(double x, double y, const std::string& s) override;
    void font(const std::string& name, double size) override;
    // Changes only the size, keeping the font.
    void fontSizeTo(double size) { font(fontName_, size); }

private:
    double width_, height_;
    double fontSize_;
    std::string fontName_ = "MS Sans Serif";
    Colour pen_{0, 0, 0};
    int penWidth_ = 1;
    std::vector<Canvas*> sinks_;
};

}  // namespace zelk

#endif
