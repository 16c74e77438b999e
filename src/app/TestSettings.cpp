#include "app/TestSettings.h"

#include <QDir>
#include <QFile>

QString TestSettings::DefaultPath()
{
#ifdef Q_OS_WIN
    return "c:\\test_ralvo.txt";
#else
    return QDir::homePath() + "/test_ralvo.txt";
#endif
}

TestSettings TestSettings::Parse(const QByteArray& text)
{
    TestSettings settings;
    const QList<QByteArray> words = text.simplified().split(' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == "TEST_ENABLE") {
            settings.testMode = true;
        } else if (words[i] == "TEST_COM" && i + 1 < words.size()) {
            bool ok = false;
            const int port = words[i + 1].toInt(&ok, 10);
            if (ok) {
                settings.testPort = port;
                ++i;
            }
        }
    }
    return settings;
}

TestSettings TestSettings::Read(const QString& path)
{
    constexpr qint64 maxSize = 64 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.read(maxSize));
}
