#include "ui/picture_widget.h"

#include <QFontDatabase>
#include <QPaintEvent>
#include <cmath>

namespace zelk {

namespace {
QColor qc(Colour c) { return QColor(c.r, c.g, c.b); }
}  // namespace

PictureWidget::PictureWidget(Picture& picture, QWidget* parent)
    : QWidget(parent),
      picture_(picture),
      image_(static_cast<int>(std::ceil(picture.width() * kResolution)),
             static_cast<int>(std::ceil(picture.height() * kResolution)), QImage::Format_RGB32) {
    setObjectName(QString::fromStdString(picture.name()));
    // 72 dots per inch: a point of font size is one image pixel, and with
    // the painter scaled to drawing units, one drawing unit.
    image_.setDotsPerMeterX(2835);
    image_.setDotsPerMeterY(2835);
    image_.fill(Qt::white);
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
        painter_->scale(kResolution, kResolution);
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
    constexpr int kMiddle = kResolution / 2;
    const int px = static_cast<int>(x * kResolution + kMiddle);
    const int py = static_cast<int>(y * kResolution + kMiddle);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return QColor();
    return image_.pixelColor(px, py);
}

QPen PictureWidget::currentPen() const {
    QPen p(colour_, width_, style_, Qt::FlatCap, Qt::MiterJoin);
    return p;
}

void PictureWidget::clear() {
    finish();
    image_.fill(Qt::white);
    update();
}

void PictureWidget::pen(Colour colour, int width) {
    colour_ = qc(colour);
    width_ = std::max(1, width);
}

void PictureWidget::style(LineStyle s) {
    style_ = s == LineStyle::Dashed ? Qt::DashLine : s == LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine;
}

void PictureWidget::line(double x1, double y1, double x2, double y2) {
    auto& p = painter();
    p.setPen(currentPen());
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    update();
}

void PictureWidget::box(double x1, double y1, double x2, double y2) {
    const QRectF r(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
    if (r.width() <= 0 || r.height() <= 0) return;
    painter().fillRect(r, colour_);
    update();
}

void PictureWidget::point(double x, double y, Colour colour) {
    const double w = width_;
    painter().fillRect(QRectF(x - w / 2, y - w / 2, w, w), qc(colour));
    update();
}

void PictureWidget::text(double x, double y, const std::string& s) {
    auto& p = painter();
    p.setFont(font_);
    p.setPen(QPen(colour_));
    p.drawText(QRectF(x, y, picture_.width(), picture_.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               QString::fromStdString(s));
    update();
}

void PictureWidget::font(const std::string&, double size) {
    // The unit's old font names do not exist here: every text uses the
    // platform's sans font, at the given size in drawing units.
    font_ = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font_.setPointSizeF(size > 0 ? size : 8);
    if (painter_) painter_->setFont(font_);
}

void PictureWidget::paintEvent(QPaintEvent*) {
    finish();
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    QSizeF target = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const QRectF r(QPointF((width() - target.width()) / 2, (height() - target.height()) / 2), target);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(r, image_);
    p.setPen(QPen(palette().mid().color()));
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace zelk
