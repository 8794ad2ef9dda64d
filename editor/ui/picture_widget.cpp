#include "ui/picture_widget.h"

#include <QFontDatabase>
#include <QPaintEvent>
#include <cmath>

namespace zelk {

namespace {
QColor qc(Colour c) { return QColor(c.r, c.g, c.b); }

QImage blank(QSize pixels) {
    QImage img(pixels, QImage::Format_RGB32);
    // 72 dots per inch: a point of font size is one image pixel, and with
    // the painter scaled to drawing units, one drawing unit.
    img.setDotsPerMeterX(2835);
    img.setDotsPerMeterY(2835);
    img.fill(Qt::white);
    return img;
}
}  // namespace

PictureWidget::PictureWidget(Picture& picture, QWidget* parent)
    : QWidget(parent),
      picture_(picture),
      image_(blank(QSize(static_cast<int>(std::ceil(picture.width() * kInitialScale)),
                         static_cast<int>(std::ceil(picture.height() * kInitialScale))))) {
    setObjectName(QString::fromStdString(picture.name()));
    setMinimumSize(static_cast<int>(picture.width()), static_cast<int>(picture.height()));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setVisible(picture.visible());
    font(picture.fontName(), picture.fontSize());
    picture_.attach(*this);
}

PictureWidget::~PictureWidget() {
    picture_.detach(*this);
    finish();
}

QSize PictureWidget::sizeHint() const {
    return QSize(static_cast<int>(picture_.width() * 1.5), static_cast<int>(picture_.height() * 1.5));
}

int PictureWidget::heightForWidth(int w) const {
    return static_cast<int>(w * picture_.height() / picture_.width());
}

QPainter& PictureWidget::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->scale(scale_, scale_);
        painter_->setFont(font_);
    }
    return *painter_;
}

void PictureWidget::finish() {
    if (painter_) painter_->end();
    painter_.reset();
}

QImage PictureWidget::image() {
    finish();
    return image_;
}

QColor PictureWidget::colourAt(double x, double y) {
    finish();
    // The middle pixel of the unit's cell.
    const int px = static_cast<int>(x * scale_ + scale_ / 2);
    const int py = static_cast<int>(y * scale_ + scale_ / 2);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return QColor();
    return image_.pixelColor(px, py);
}

QPen PictureWidget::currentPen() const { return QPen(colour_, width_, style_, Qt::FlatCap, Qt::MiterJoin); }

void PictureWidget::record(Command c) {
    if (commands_.size() >= kMaxCommands) {
        // Keep what is drawn as it stands; a later change of size scales it.
        earlier_ = image();
        commands_.clear();
    }
    if (commands_.empty()) {
        // The pen, style and font the list starts from.
        startColour_ = colour_;
        startWidth_ = width_;
        startStyle_ = style_;
        startFont_ = font_;
    }
    apply(c);
    commands_.push_back(std::move(c));
    update();
}

void PictureWidget::apply(const Command& c) {
    switch (c.kind) {
    case Command::Kind::Pen:
        colour_ = qc(c.colour);
        width_ = std::max(1, c.width);
        break;
    case Command::Kind::Style:
        style_ = c.lineStyle == LineStyle::Dashed   ? Qt::DashLine
                 : c.lineStyle == LineStyle::Dotted ? Qt::DotLine
                                                    : Qt::SolidLine;
        break;
    case Command::Kind::Line: {
        auto& p = painter();
        p.setPen(currentPen());
        p.drawLine(QPointF(c.a, c.b), QPointF(c.c, c.d));
        break;
    }
    case Command::Kind::Box: painter().fillRect(QRectF(c.a, c.b, c.c, c.d), colour_); break;
    case Command::Kind::Point: {
        const double w = width_;
        painter().fillRect(QRectF(c.a - w / 2, c.b - w / 2, w, w), qc(c.colour));
        break;
    }
    case Command::Kind::Text: {
        auto& p = painter();
        p.setFont(font_);
        p.setPen(QPen(colour_));
        p.drawText(QRectF(c.a, c.b, picture_.width(), picture_.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   QString::fromStdString(c.text));
        break;
    }
    case Command::Kind::Font:
        // The unit's old font names do not exist here: every text uses the
        // platform's sans font, at the given size in drawing units.
        font_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font_.setPointSizeF(c.a > 0 ? c.a : 8);
        if (painter_) painter_->setFont(font_);
        break;
    }
}

void PictureWidget::clear() {
    finish();
    commands_.clear();
    earlier_ = QImage();
    image_.fill(Qt::white);
    update();
}

void PictureWidget::pen(Colour colour, int width) {
    Command c(Command::Kind::Pen);
    c.colour = colour;
    c.width = width;
    record(std::move(c));
}

void PictureWidget::style(LineStyle s) {
    Command c(Command::Kind::Style);
    c.lineStyle = s;
    record(std::move(c));
}

void PictureWidget::line(double x1, double y1, double x2, double y2) { record(Command(Command::Kind::Line, x1, y1, x2, y2)); }

void PictureWidget::box(double x1, double y1, double x2, double y2) {
    const QRectF r(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
    if (r.width() <= 0 || r.height() <= 0) return;
    record(Command(Command::Kind::Box, r.x(), r.y(), r.width(), r.height()));
}

void PictureWidget::point(double x, double y, Colour colour) {
    Command c(Command::Kind::Point, x, y);
    c.colour = colour;
    record(std::move(c));
}

void PictureWidget::text(double x, double y, const std::string& s) {
    Command c(Command::Kind::Text, x, y);
    c.text = s;
    record(std::move(c));
}

void PictureWidget::font(const std::string&, double size) { record(Command(Command::Kind::Font, size)); }

void PictureWidget::render(QSize pixels) {
    finish();
    // The pen, style and font in force now are those the commands leave;
    // replaying starts from the state the list started from.
    const QColor colour = colour_;
    const int width = width_;
    const Qt::PenStyle style = style_;
    const QFont font = font_;
    image_ = blank(pixels);
    scale_ = pixels.width() / picture_.width();
    if (!earlier_.isNull()) {
        QPainter p(&image_);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(pixels)), earlier_);
    }
    colour_ = startColour_;
    width_ = startWidth_;
    style_ = startStyle_;
    font_ = startFont_;
    for (const Command& c : commands_) apply(c);
    finish();
    colour_ = colour;
    width_ = width;
    style_ = style;
    font_ = font;
}

QRectF PictureWidget::target() const {
    const QSizeF size = QSizeF(picture_.width(), picture_.height()).scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QSize PictureWidget::devicePixels(const QRectF& t) const {
    const double dpr = devicePixelRatioF();
    return QSize(std::max(1, static_cast<int>(std::lround(t.width() * dpr))),
                 std::max(1, static_cast<int>(std::lround(t.height() * dpr))));
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QRectF r = target();
    const QSize pixels = devicePixels(r);
    if (pixels != image_.size()) render(pixels);
    finish();
    // Exactly one image pixel per device pixel.
    const double dpr = devicePixelRatioF();
    r.setSize(QSizeF(pixels) / dpr);
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.drawImage(r, image_);
    p.setPen(QPen(palette().mid().color()));
    p.drawRect(r.adjusted(0, 0, -1 / dpr, -1 / dpr));
}

}  // namespace zelk
