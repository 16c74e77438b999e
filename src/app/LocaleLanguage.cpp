#include "app/LocaleLanguage.h"

#include <QLocale>

int LocaleLanguage::FromLocaleName(const QString& name)
{
    const QString language = name.section('_', 0, 0).section('.', 0, 0).section('@', 0, 0).toLower();
    if (language == "de")
        return 1;
    return language == "cs" ? 2 : 0;
}

int LocaleLanguage::FromEnvironment(const QProcessEnvironment& env)
{
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANG" })
        if (const QString value = env.value(variable); !value.isEmpty())
            return FromLocaleName(value);
    return 0;
}

int LocaleLanguage::System()
{
#ifdef Q_OS_WIN
    return FromLocaleName(QLocale::system().name());
#else
    return FromEnvironment(QProcessEnvironment::systemEnvironment());
#endif
}
