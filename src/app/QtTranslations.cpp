#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QLocale LanguageLocale(int language)
{
    switch (language) {
    case 1:
        return QLocale(QLocale::German, QLocale::Germany);
    case 2:
        return QLocale(QLocale::Czech, QLocale::CzechRepublic);
    default:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
}

bool ApplyQtTranslations(int language)
{
    QLocale::setDefault(LanguageLocale(language));
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
