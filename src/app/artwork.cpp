#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QFont titleFont(int pixelSize, bool bold = true) {
    QFont f(QStringLiteral("楷体"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// Soft layered hills, drawn from the bottom edge up.
void drawHills(QPainter& p, const QSize& s, const QColor& base, int layers) {
    for (int i = 0; i < layers; ++i) {
        QColor c = base;
        c.setAlpha(40 + 30 * i);
        QPainterPath path;
        const double h = s.height() * (0.55 + 0.12 * i);
        path.moveTo(0, s.height());
        path.lineTo(0, h);
        const int steps = 6;
        for (int k = 1; k <= steps; ++k) {
            const double x = s.width() * k / double(steps);
            const double y = h + ((k + i) % 2 ? -1 : 1) * s.height() * 0.08;
            path.quadTo(x - s.width() / (2.0 * steps), y - s.height() * 0.1, x, y);
        }
        path.lineTo(s.width(), s.height());
        path.closeSubpath();
        p.fillPath(path, c);
    }
}

} // namespace

QPixmap Artwork::banner(const QSize& size) {
    const QSize s = size.isEmpty() ? QSize(800, 60) : size;
    QPixmap pm(s);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, s.width(), 0);
    g.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    g.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
    p.fillRect(pm.rect(), g);
    drawHills(p, s, QColor(255, 255, 255), 2);
    p.setPen(QColor(255, 255, 255));
    p.setFont(titleFont(qMax(16, s.height() * 11 / 20)));
    p.drawText(QRect(16, 0, s.width() - 32, s.height()), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("蓝溪诗汇"));
    QFont sub = titleFont(qMax(10, s.height() / 4), false);
    p.setFont(sub);
    p.setPen(QColor(230, 240, 250));
    // Leaves room at the right for the quit button.
    p.drawText(QRect(s.width() / 3, 0, s.width() / 3, s.height()), Qt::AlignVCenter | Qt::AlignHCenter,
               QStringLiteral("唐诗 · 宋词 · 元曲"));
    return pm;
}

QPixmap Artwork::splash(const QSize& size) {
    const QSize s = size.isEmpty() ? QSize(480, 300) : size;
    QPixmap pm(s);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(0xf4, 0xef, 0xe1));
    g.setColorAt(1, QColor(0xd9, 0xe4, 0xee));
    p.fillRect(pm.rect(), g);
    drawHills(p, s, QColor(0x2c, 0x5a, 0x8c), 3);
    p.setPen(QColor(0x1d, 0x3c, 0x66));
    p.setFont(titleFont(s.height() / 6));
    p.drawText(QRect(0, s.height() / 8, s.width(), s.height() / 4), Qt::AlignCenter, QStringLiteral("蓝溪诗汇"));
    p.setFont(titleFont(s.height() / 18, false));
    p.drawText(QRect(0, s.height() * 3 / 8, s.width(), s.height() / 8), Qt::AlignCenter,
               QStringLiteral("床前明月光，疑是地上霜。"));
    return pm;
}

QPixmap Artwork::poetPicture(const QSize& size) {
    const QSize s = size.isEmpty() ? QSize(100, 380) : size;
    QPixmap pm(s);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(0xf7, 0xf3, 0xe8));
    g.setColorAt(1, QColor(0xe3, 0xdc, 0xc8));
    p.fillRect(pm.rect(), g);
    // A moon and a far mountain in ink.
    QRadialGradient moon(s.width() * 0.65, s.height() * 0.15, s.width() * 0.2);
    moon.setColorAt(0, QColor(255, 250, 230));
    moon.setColorAt(1, QColor(255, 250, 230, 0));
    p.setBrush(moon);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(s.width() * 0.65, s.height() * 0.15), s.width() * 0.2, s.width() * 0.2);
    drawHills(p, s, QColor(0x3a, 0x3a, 0x3a), 3);
    p.setPen(QColor(0x5a, 0x4a, 0x3a));
    QFont f = titleFont(qMax(12, s.width() / 5), false);
    p.setFont(f);
    const QString verse = QStringLiteral("诗言志");
    const int step = f.pixelSize() + 4;
    for (int i = 0; i < verse.size(); ++i)
        p.drawText(QRect(0, s.height() / 4 + i * step, s.width() / 3, step), Qt::AlignCenter, verse.mid(i, 1));
    return pm;
}

QIcon Artwork::toolIcon(const QString& glyph, const QColor& colour) {
    QIcon icon;
    for (int px : {16, 24, 32, 48}) {
        QPixmap pm(px, px);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(1, 1, px - 2, px - 2), px / 5.0, px / 5.0);
        QFont f(QStringLiteral("黑体"));
        f.setPixelSize(px * 2 / 3);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(pm.rect(), Qt::AlignCenter, glyph);
        icon.addPixmap(pm);
    }
    return icon;
}
