#include "pages/RoomyButton.h"

QSize RoomyButton::sizeHint() const
{
    QSize hint = QPushButton::sizeHint();
    hint.rwidth() += 2 * fontMetrics().averageCharWidth();
    return hint;
}
