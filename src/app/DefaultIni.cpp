#include "app/DefaultIni.h"

#include "base/AtomicFile.h"

#include <QFile>

#include <cstdio>

namespace {

#ifdef Q_OS_WIN
constexpr const char* LINE_BREAK = "\r\n";
#else
constexpr const char* LINE_BREAK = "\n";
#endif

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

QByteArray DefaultIni::Text(const ParamImage& image)
{
    QByteArray out;
    for (int i = 0; i < RS_LEN_EXE; ++i) {
        char field[16];
        std::snprintf(field, sizeof field, "%5u ", static_cast<unsigned>(image.Adrb(i)));
        out += field;
        if ((i + 1) % 10 == 0)
            out += LINE_BREAK;
        if ((i + 1) % 100 == 0)
            out += LINE_BREAK;
    }
    return out;
}

int DefaultIni::Parse(const QByteArray& text, ParamImage& image)
{
    int taken = 0;
    qsizetype i = 0;
    while (taken < RS_LEN_EXE) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i >= text.size() || !isDigit(text[i]))
            break;
        unsigned value = 0; // only the low 8 bits matter, so the number may be of any length
        for (; i < text.size() && isDigit(text[i]); ++i)
            value = (value * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFFu;
        image.Adrb(taken++) = static_cast<uint8_t>(negative ? 0u - value : value);
    }
    return taken;
}

int DefaultIni::Load(const QString& path, ParamImage& image)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MAX_FILE_SIZE)
        return -1;
    return Parse(file.read(MAX_FILE_SIZE), image);
}

bool DefaultIni::Save(const QString& path, const ParamImage& image, QString* error)
{
    return SaveFileAtomically(path, Text(image), error);
}
