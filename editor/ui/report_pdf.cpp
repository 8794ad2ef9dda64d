#include "ui/report_pdf.h"

#include <QSaveFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QPolygonF>
#include <cmath>
#include <memory>

#include "form/forms.h"
#include "model/compare.h"

namespace zelk {

namespace {

// Pages are drawn in tenths of a millimetre on A4 (2100 x 2970).
constexpr double kW = 2100, kH = 2970, kMargin = 150;
constexpr int kPlotsPerPage = 3;

QString q(const std::string& s) { return QString::fromStdString(s); }

QFont font(int size, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

const QColor kInk(20, 20, 30), kGreyInk(95, 95, 105), kRule(200, 200, 208), kBandBlue(20, 70, 170),
    kToneOrange(215, 110, 0), kGood(0, 120, 40), kBad(190, 0, 0);

// Draws caption/value rows under a heading; returns the y below them.
double drawSection(QPainter& p, double x, double y, double width, const ReportSection& s, double captionShare = 0.6) {
    p.setFont(font(38, true));
    p.setPen(kInk);
    p.drawText(QPointF(x, y + 38), q(s.heading));
    y += 52;
    p.setPen(QPen(kRule, 3));
    p.drawLine(QPointF(x, y), QPointF(x + width, y));
    y += 10;
    const double captionW = width * captionShare;
    for (const auto& [caption, value] : s.rows) {
        p.setFont(font(30));
        p.setPen(kGreyInk);
        const QFontMetricsF fm(p.font());
        p.drawText(QPointF(x, y + 32), fm.elidedText(q(caption), Qt::ElideRight, captionW - 10));
        p.setPen(kInk);
        p.drawText(QPointF(x + captionW, y + 32), fm.elidedText(q(value), Qt::ElideRight, width - captionW));
        y += 40;
    }
    return y + 30;
}

double xOf(double hz, const QRectF& r) {
    const double lo = std::log10(20.0), hi = std::log10(20000.0);
    return r.left() + (std::log10(hz) - lo) / (hi - lo) * r.width();
}
double yOf(double db, const QRectF& r) { return r.center().y() - db / 12.0 * (r.height() / 2); }

QString dbText(double db) {
    if (std::fabs(db) < 0.05) return QStringLiteral("0");
    return (db > 0 ? QStringLiteral("+") : QString()) + QString::number(db, 'f', std::fmod(std::fabs(db), 1.0) == 0 ? 0 : 1);
}

// One channel: its equaliser on a frequency axis, its values in words beneath.
void drawChannel(QPainter& p, const QRectF& box, const ChannelPlot& c) {
    p.setFont(font(38, true));
    p.setPen(kInk);
    p.drawText(QPointF(box.left(), box.top() + 38), q(c.title));

    const QRectF plot(box.left() + 110, box.top() + 70, box.width() - 130, 430);
    // Grid: dB every 6, frequencies by decade.
    p.setFont(font(24));
    for (int db = -12; db <= 12; db += 6) {
        p.setPen(QPen(db == 0 ? kGreyInk : kRule, db == 0 ? 3 : 2));
        const double y = yOf(db, plot);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(kGreyInk);
        p.drawText(QRectF(box.left(), y - 15, 100, 30), Qt::AlignRight | Qt::AlignVCenter,
                   QCoreApplication::translate("Units", "%1 dB")
                       .arg((db > 0 ? QStringLiteral("+") : QString()) + QString::number(db)));
    }
    for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
        const double x = xOf(hz, plot);
        p.setPen(QPen(kRule, 2));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p.setPen(kGreyInk);
        p.drawText(QRectF(x - 60, plot.bottom() + 4, 120, 30), Qt::AlignHCenter | Qt::AlignTop,
                   q(frequencyText(hz)));
    }
    p.setPen(QPen(kGreyInk, 3));
    p.drawRect(plot);

    p.setRenderHint(QPainter::Antialiasing, true);
    // Bass and treble: shelves at the ends of the axis.
    QPen tone(kToneOrange, 5, Qt::DashLine);
    p.setPen(tone);
    p.drawLine(QPointF(xOf(20, plot), yOf(c.bassDb, plot)), QPointF(xOf(100, plot), yOf(c.bassDb, plot)));
    p.drawLine(QPointF(xOf(8000, plot), yOf(c.trebleDb, plot)), QPointF(xOf(20000, plot), yOf(c.trebleDb, plot)));
    // Their words in the plot's lower corners, clear of the bands.
    p.setFont(font(24, true));
    p.setPen(kToneOrange);
    const QRectF corner = plot.adjusted(14, 0, -14, -8);
    p.drawText(corner, Qt::AlignLeft | Qt::AlignBottom,
               QCoreApplication::translate("Report", "Bass %1 dB").arg(dbText(c.bassDb)));
    p.drawText(corner, Qt::AlignRight | Qt::AlignBottom,
               QCoreApplication::translate("Report", "Treble %1 dB").arg(dbText(c.trebleDb)));

    // The bands, joined, each level written where it is not flat.
    if (!c.bands.empty()) {
        QPolygonF line;
        for (const auto& b : c.bands) line << QPointF(xOf(b.hz, plot), yOf(b.db, plot));
        p.setPen(QPen(kBandBlue, 5));
        p.drawPolyline(line);
        p.setBrush(kBandBlue);
        p.setFont(font(21));
        for (std::size_t i = 0; i < c.bands.size(); ++i) {
            p.setPen(Qt::NoPen);
            p.drawEllipse(line[static_cast<int>(i)], 9, 9);
            if (std::fabs(c.bands[i].db) >= 0.05) {
                p.setPen(kBandBlue);
                const double above = c.bands[i].db >= 0 ? -40 : 12;
                p.drawText(QRectF(line[static_cast<int>(i)].x() - 40, line[static_cast<int>(i)].y() + above, 80, 28),
                           Qt::AlignCenter, dbText(c.bands[i].db));
            }
        }
        p.setBrush(Qt::NoBrush);
    }
    // The sub-bass section: its gain at its frequency, as wide as its bandwidth.
    if (c.subBass) {
        const double half = c.subBandwidthIndex == 2   ? std::sqrt(2.0)
                            : c.subBandwidthIndex == 1 ? std::pow(2.0, 1.0 / 3)
                                                             : std::pow(2.0, 1.0 / 6);
        const double f = c.subBass->hz, g = c.subBass->db;
        QPainterPath bell;
        bell.moveTo(xOf(f / half / half, plot), yOf(0, plot));
        bell.cubicTo(QPointF(xOf(f / half, plot), yOf(0, plot)), QPointF(xOf(f / half, plot), yOf(g, plot)),
                     QPointF(xOf(f, plot), yOf(g, plot)));
        bell.cubicTo(QPointF(xOf(f * half, plot), yOf(g, plot)), QPointF(xOf(f * half, plot), yOf(0, plot)),
                     QPointF(xOf(f * half * half, plot), yOf(0, plot)));
        p.setPen(QPen(kBandBlue, 5));
        p.drawPath(bell);
        p.setBrush(kBandBlue);
        p.drawEllipse(QPointF(xOf(f, plot), yOf(g, plot)), 11, 11);
        p.setBrush(Qt::NoBrush);
        p.setFont(font(26, true));
        p.drawText(QPointF(xOf(f * half * half, plot) + 20, yOf(g, plot) + (g >= 0 ? 10 : 0)),
                   q(c.subBass->label + ", " + c.subBandwidth + ", ") +
                       QCoreApplication::translate("Units", "%1 dB").arg(dbText(g)));
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    // Every value in words, flowing beneath the plot.
    QString words;
    for (const auto& [caption, value] : c.rows) {
        if (!words.isEmpty()) words += QStringLiteral("   ");
        words += q(caption) + QStringLiteral(": ") + q(value);
    }
    p.setFont(font(24));
    p.setPen(kInk);
    p.drawText(QRectF(box.left(), plot.bottom() + 45, box.width(), box.bottom() - plot.bottom() - 45),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, words);
}

void drawFooter(QPainter& p, int index, int count) {
    p.setFont(font(24));
    p.setPen(kGreyInk);
    p.drawText(QRectF(kMargin, kH - 110, kW - 2 * kMargin, 40), Qt::AlignLeft,
               QCoreApplication::translate("Report", "%1 - Service Report").arg(q(kAppTitle)));
    p.drawText(QRectF(kMargin, kH - 110, kW - 2 * kMargin, 40), Qt::AlignRight,
               QCoreApplication::translate("Report", "Page %1 of %2").arg(index + 1).arg(count));
}

}  // namespace

// The changes since the as-found have a page of their own, after the first.
int changesPages(const ServiceReport& r) { return r.changes.heading.empty() ? 0 : 1; }

int reportPageCount(const ServiceReport& r) {
    return 1 + changesPages(r) + (static_cast<int>(r.channels.size()) + kPlotsPerPage - 1) / kPlotsPerPage;
}

void drawReportPage(QPainter& p, const QRectF& page, const ServiceReport& r, int index) {
    p.save();
    p.setViewport(page.toRect());
    p.setWindow(0, 0, static_cast<int>(kW), static_cast<int>(kH));
    p.fillRect(QRectF(0, 0, kW, kH), Qt::white);
    const double colW = (kW - 2 * kMargin - 100) / 2;
    if (index == 0) {
        p.setPen(kInk);
        p.setFont(font(70, true));
        p.drawText(QPointF(kMargin, kMargin + 70), q(r.title));
        p.setFont(font(34));
        p.setPen(kGreyInk);
        p.drawText(QPointF(kMargin, kMargin + 125), q(kAppTitle + "  -  " + r.date));
        double y = kMargin + 190;
        if (!r.verify.empty()) {
            const bool good = r.verified;
            const QRectF box(kMargin, y, kW - 2 * kMargin, 90);
            p.setPen(QPen(good ? kGood : kBad, 5));
            p.drawRect(box);
            p.setFont(font(30, true));
            p.drawText(box.adjusted(20, 0, -20, 0), Qt::AlignVCenter | Qt::TextWordWrap,
                       QCoreApplication::translate("Report", "Verify after upload: %1").arg(q(r.verify)));
            y += 130;
        }
        double left = drawSection(p, kMargin, y, colW, r.theater);
        left = drawSection(p, kMargin, left, colW, r.unit);
        double right = y;
        for (std::size_t i = 0; i + 1 < r.settings.size(); ++i)
            right = drawSection(p, kMargin + colW + 100, right, colW, r.settings[i]);
        if (!r.settings.empty()) drawSection(p, kMargin, std::max(left, right), colW, r.settings.back());
    } else if (index <= changesPages(r)) {
        drawSection(p, kMargin, kMargin, kW - 2 * kMargin, r.changes, 0.36);
    } else {
        const std::size_t first = static_cast<std::size_t>(index - 1 - changesPages(r)) * kPlotsPerPage;
        const double slot = (kH - 2 * kMargin - 80) / kPlotsPerPage;
        for (std::size_t i = first; i < r.channels.size() && i < first + kPlotsPerPage; ++i) {
            const double top = kMargin + static_cast<double>(i - first) * slot;
            drawChannel(p, QRectF(kMargin, top, kW - 2 * kMargin, slot - 40), r.channels[i]);
        }
    }
    drawFooter(p, index, reportPageCount(r));
    p.restore();
}

std::string writeServiceReportPdf(const ServiceReport& r, const std::string& path) {
    // Written beside the target and renamed over it at the end: a failure
    // leaves any older file of that name as it was.
    QSaveFile file(q(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(300);
        pdf.setTitle(q(r.title + " - " + r.date));
        pdf.setCreator(q(kAppTitle));
        QPainter p;
        if (!p.begin(&pdf)) return "the PDF writer could not start";
        const QRectF page(0, 0, pdf.width(), pdf.height());
        const int pages = reportPageCount(r);
        for (int i = 0; i < pages; ++i) {
            if (i > 0) pdf.newPage();
            drawReportPage(p, page, r, i);
        }
        if (!p.end()) return "the PDF could not be finished";
    }
    if (!file.commit()) return file.errorString().toStdString();
    return {};
}

std::string writeServiceReportPdfHeadless(const ServiceReport& r, const std::string& path) {
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        // No display is needed to draw a PDF: the off-screen platform.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "q7mctl";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return writeServiceReportPdf(r, path);
}

}  // namespace zelk
