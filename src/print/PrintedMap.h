#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One map as it goes on paper: its name, what its axes and values are, and every text of its
// table, already formatted as the map editor shows them.
struct PrintedMap {
    QString title;
    // The axes and the values with their units ("RPM", "TP [%]", "Advance [°]"); an axis that is
    // switched off has none.
    QString columnAxis;
    QString rowAxis;
    QString values;
    QStringList columns;
    QStringList rows;
    std::vector<QStringList> cells; // cells[row][column]
};
