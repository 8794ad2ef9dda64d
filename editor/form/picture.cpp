#include "form/picture.h"

#include <algorithm>

namespace zelk {

void Picture::detach(Canvas& c) { sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), &c), sinks_.end()); }

void Picture::clear() {
    for (auto* s : sinks_) s->clear();
}

void Picture::pen(Colour colour, int width) {
    pen_ = colour;
    penWidth_ = width;
    for (auto* s : sinks_) s->pen(colour, width);
}

void Picture::style(LineStyle st) {
    for (auto* s : sinks_) s->style(st);
}

void Picture::line(double x1, double y1, double x2, double y2) {
    for (auto* s : sinks_) s->line(x1, y1, x2, y2);
}

void Picture::box(double x1, double y1, double x2, double y2) {
    for (auto* s : sinks_) s->box(x1, y1, x2, y2);
}

void Picture::point(double x, double y, Colour colour) {
    for (auto* s : sinks_) s->point(x, y, colour);
}

void Picture::text(double x, double y, const std::string& t) {
    for (auto* s : sinks_) s->text(x, y, t);
}

void Picture::font(const std::string& name, double size) {
    fontName_ = name;
    fontSize_ = size;
    for (auto* s : sinks_) s->font(name, size);
}

}  // namespace zelk
