#include "print/PrintHeader.h"

#include "lang/LangString.h"

#include <QFileInfo>

namespace {

const char* const NO_FILE = "###(no file)##(keine Datei)##(žádný soubor)";
const char* const UNIT = "###Unit##Zündung##Zapalování";
const char* const SEPARATOR = "     ";

} // namespace

QString PrintHeader(const QString& filePath, const QString& unitText, const QDate& date)
{
    QString header = filePath.isEmpty() ? QString::fromUtf8(LangText(NO_FILE)) : QFileInfo(filePath).fileName();
    if (!unitText.trimmed().isEmpty())
        header += SEPARATOR + QString::fromUtf8(LangText(UNIT)) + ": " + unitText.simplified();
    return header + SEPARATOR + date.toString(Qt::ISODate);
}
