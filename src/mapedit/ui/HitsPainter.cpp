#include "mapedit/ui/HitsPainter.h"

#include "mapedit/MapHits.h"
#include "lang/LangQString.h"

#include <QPainter>

#include <cmath>

namespace {

// Orange as the hit traces of tuning tools use it; the most visited cell gets the strongest shade.
constexpr QColor HIT_SHADE { 255, 140, 0 };
constexpr int FAINTEST_ALPHA = 40;
constexpr int STRONGEST_ALPHA = 190;
constexpr QColor DOT { 200, 60, 0, 170 };
constexpr double DOT_RADIUS = 2.0;

// Czech counts one, two to four and five or more with three forms of the noun.
const char* const EngineRanHereOnce = "###Engine ran here: %1 % of the time (1 record)"
                                      "##Motor lief hier: %1 % der Zeit (1 Datensatz)"
                                      "##Motor zde běžel: %1 % času (1 záznam)";
const char* const EngineRanHereFew = "###Engine ran here: %1 % of the time (%2 records)"
                                     "##Motor lief hier: %1 % der Zeit (%2 Datensätze)"
                                     "##Motor zde běžel: %1 % času (%2 záznamy)";
const char* const EngineRanHere = "###Engine ran here: %1 % of the time (%2 records)"
                                  "##Motor lief hier: %1 % der Zeit (%2 Datensätze)"
                                  "##Motor zde běžel: %1 % času (%2 záznamů)";

const char* RanHereText(int records)
{
    if (records == 1)
        return EngineRanHereOnce;
    return records <= 4 ? EngineRanHereFew : EngineRanHere;
}
const char* const EngineNeverHere = "###Engine did not run here##Motor lief hier nicht##Motor zde neběžel";

} // namespace

void HitsPainter::ShadeCell(QPainter& p, const QRect& cell, double share, double largestShare)
{
    if (share <= 0 || largestShare <= 0)
        return;
    // The square root keeps rarely visited cells visible beside one the engine hardly left.
    const double strength = std::sqrt(std::min(1.0, share / largestShare));
    QColor shade = HIT_SHADE;
    shade.setAlpha(FAINTEST_ALPHA + static_cast<int>(std::lround((STRONGEST_ALPHA - FAINTEST_ALPHA) * strength)));
    p.fillRect(cell, shade);
}

QString HitsPainter::CellHint(const MapHits& hits, int column, int row)
{
    if (column < 0 || row < 0 || column >= hits.Columns() || row >= hits.Rows())
        return {};
    const int records = hits.Records(column, row);
    if (records == 0)
        return LangQString(EngineNeverHere);
    const QString text = LangQString(RanHereText(records)).arg(100.0 * hits.Share(column, row), 0, 'f', 1);
    return records == 1 ? text : text.arg(records);
}

void HitsPainter::PaintDots(QPainter& p, const std::vector<QPointF>& dots, const QRect& clip)
{
    if (dots.empty())
        return;
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(DOT);
    for (const QPointF& at : dots)
        p.drawEllipse(at, DOT_RADIUS, DOT_RADIUS);
    p.restore();
}
