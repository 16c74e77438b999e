#pragma once

#include <QDate>
#include <QString>

// The head line of every printed page, what a workshop needs to file the printout: the file's
// name, the unit's name and firmware while one is connected, and the date.
QString PrintHeader(const QString& filePath, const QString& unitText, const QDate& date);
