#include "app/PathCodec.h"

#include <cstdio>

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The value of the four hexadecimal digits at text[at], or -1.
int hex4(const QByteArray& text, qsizetype at)
{
    if (at + 4 > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + 4; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

QByteArray PathCodec::Encode(const QString& path)
{
    QByteArray out;
    out.reserve(path.size());
    for (QChar ch : path) {
        const char16_t c = ch.unicode();
        if (c == u'\\') {
            out += "\\\\";
        } else if (c < 256 && c != u'\r' && c != u'\n') {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%04X", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out;
}

// Exactly two backslashes and nothing after them is the encoded form of one backslash, not a
// plain path, so that a lone backslash survives a round trip.
bool PathCodec::LooksPlain(const QByteArray& text)
{
    if (text.size() >= 3 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\')
        return true;
    return text.size() >= 3 && isLetter(text[0]) && text[1] == ':' && text[2] == '\\'
        && (text.size() == 3 || text[3] != '\\');
}

QString PathCodec::Decode(const QByteArray& text)
{
    if (LooksPlain(text))
        return QString::fromLatin1(text);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += u'\\';
            ++i;
        } else if (int value; c == '\\' && i + 1 < text.size() && (value = hex4(text, i + 2)) >= 0) {
            out += QChar(static_cast<char16_t>(value));
            i += 5;
        } else {
            out += QChar(static_cast<char16_t>(static_cast<unsigned char>(c)));
        }
    }
    return out;
}
