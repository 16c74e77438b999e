#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool ApplyQtTranslations(int language)
{
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    const char* code = language == 1 ? "de" : language == 2 ? "cs" : nullptr;
    if (!code)
        return true;
    auto* translator = new QTranslator;
    if (!translator->load(QString("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
