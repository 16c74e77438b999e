#include "mapedit/ui/TableTextCache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRect>

void TableTextCache::DrawCentred(QPainter& p, const QRect& rect, const std::string& text, int fontKey)
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
    const LaidOut& laidOut = it->second;
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
