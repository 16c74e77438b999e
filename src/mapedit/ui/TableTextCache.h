#pragma once

#include <QFont>
#include <QStaticText>

#include <string>
#include <unordered_map>

class QPainter;
class QRect;

// The laid-out value texts of a table: a value and its font rarely change from one paint to the
// next, and laying a text out (shaping it) costs far more than drawing it, so each text is laid
// out once and then drawn from the cache. The fonts of the few sizes a table uses are kept too.
class TableTextCache {
    struct LaidOut {
        QStaticText text;
        qreal height; // of the line, as drawText centres it
    };

public:
    // The font known by key (one key for one font), made by make the first time.
    template <typename MakeFont> const QFont& Font(int key, MakeFont make)
    {
        auto it = fonts_.find(key);
        if (it == fonts_.end())
            it = fonts_.emplace(key, make()).first;
        return it->second;
    }
    // Draws text centred in rect, as QPainter::drawText with Qt::AlignCenter does, in the font
    // known by fontKey, which must be the painter's font.
    void DrawCentred(QPainter& p, const QRect& rect, const std::string& text, int fontKey);
    // The same, but a text wider than rect is drawn in a smaller size of that font (down to
    // minPixels) rather than cut, so a wide header value such as "10 000" stays whole.
    void DrawFitted(QPainter& p, const QRect& rect, const std::string& text, int fontKey, int minPixels);

private:
    const LaidOut& Prepare(QPainter& p, const std::string& text, int fontKey);

    // Bounds the memory of a table whose values keep changing (a map being dragged).
    static constexpr size_t MAX_TEXTS = 4096;

    std::unordered_map<std::string, LaidOut> texts_;
    std::unordered_map<int, QFont> fonts_;
};
