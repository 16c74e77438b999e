#include "mapedit/ui/TableTextCache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRect>

const TableTextCache::LaidOut& TableTextCache::Prepare(QPainter& p, const std::string& text, int fontKey)
{
    std::string key = std::to_string(fontKey);
    key += '\n';
    key += text;
    auto it = texts_.find(key);
    if (it == texts_.end()) {
        if (texts_.size() >= MAX_TEXTS)
            texts_.clear();
        LaidOut laidOut { QStaticText(QString::fromUtf8(text.c_str())), 0 };
        laidOut.text.setTextFormat(Qt::PlainText);
        laidOut.text.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.text.prepare(QTransform(), p.font());
        // The line's height as drawText centres it: ascent and descent, without leading.
        const QFontMetricsF metrics(p.font());
        laidOut.height = metrics.ascent() + metrics.descent();
        it = texts_.emplace(std::move(key), std::move(laidOut)).first;
    }
    return it->second;
}

void TableTextCache::DrawFitted(QPainter& p, const QRect& rect, const std::string& text, int fontKey, int minPixels)
{
    const QFont base = p.font();
    int pixels = base.pixelSize();
    int key = fontKey;
    // Smaller sizes get keys of their own, past every key a table uses for its base fonts.
    constexpr int FITTED_KEYS = 1 << 16;
    while (Prepare(p, text, key).text.size().width() > rect.width() - 2 && pixels > minPixels) {
        --pixels;
        key = FITTED_KEYS + fontKey * 256 + pixels;
        p.setFont(Font(key, [&] {
            QFont smaller = base;
            smaller.setPixelSize(pixels);
            return smaller;
        }));
    }
    DrawCentred(p, rect, text, key);
    p.setFont(base);
}

void TableTextCache::DrawCentred(QPainter& p, const QRect& rect, const std::string& text, int fontKey)
{
    const LaidOut& laidOut = Prepare(p, text, fontKey);
    const qreal width = laidOut.text.size().width();
    const QPointF at(rect.x() + (rect.width() - width) / 2, rect.y() + (rect.height() - laidOut.height) / 2);
    // A text too wide (or tall) for its element is cut at the element's edges, as drawText cuts it.
    const bool cut = width > rect.width() || laidOut.height > rect.height();
    if (cut) {
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
    }
    p.drawStaticText(at, laidOut.text);
    if (cut)
        p.restore();
}
