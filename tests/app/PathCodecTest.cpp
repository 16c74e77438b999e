#include "app/PathCodec.h"

#include <gtest/gtest.h>

TEST(PathCodec, EncodesBackslashesAndCharactersOutsideLatin1)
{
    EXPECT_EQ(PathCodec::Encode(QString::fromUtf8("C:\\Daten\\Jiří\\é.ign")),
        QByteArray("C:\\\\Daten\\\\Ji\\x0159\\x00ED\\\\\xE9.ign").replace("\\x00ED", "\xED"));
    EXPECT_EQ(PathCodec::Encode(QString(QChar(0xABCD))), "\\xABCD");
    EXPECT_EQ(PathCodec::Encode("/home/u/a.ign"), "/home/u/a.ign");
    EXPECT_EQ(PathCodec::Encode("/a\nb\r.ign"), "/a\\x000Ab\\x000D.ign") << "line breaks would end the key's line";
}

TEST(PathCodec, DecodeTable)
{
    struct Case {
        QByteArray stored;
        QString path;
    };
    const Case cases[] = {
        { "C:\\\\Daten\\\\a.ign", "C:\\Daten\\a.ign" },
        { "C:\\Daten\\x0041.ign", "C:\\Daten\\x0041.ign" }, // plain: drive, colon, one backslash
        { "\\\\server\\share\\a.ign", "\\\\server\\share\\a.ign" }, // plain: UNC path
        { "\\\\\\\\server\\\\a", "\\\\server\\a" }, // encoded UNC path
        { "d\\x0159d", QString::fromUtf8("dřd") },
        { "d\\u0159d", QString::fromUtf8("dřd") }, // any character before the digits
        { "d\\xabcd", QString(QChar('d')) + QChar(0xABCD) }, // lower-case digits
        { "d\\xZZ12", "d\\xZZ12" }, // no digits: taken as it is
        { "end\\x12", "end\\x12" }, // too few digits at the end
        { "\\\\", "\\" }, // a lone backslash survives
        { "", "" },
        { "\xE9", QString(QChar(0xE9)) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathCodec::Decode(c.stored), c.path) << c.stored.toStdString();
}

TEST(PathCodec, RoundTripOfAnyPathThatDoesNotStartWithOneBackslash)
{
    const QString paths[] = {
        QString::fromUtf8("C:\\Users\\Jiří Dvořák\\Документы\\моя.ign"),
        QString::fromUtf8("/home/jiří/\\odd\\name.ign"),
        QString::fromUtf8("D:\\😀\\x.ign"),
        "\\\\server\\share\\a.ign",
        "C:",
        "C:\\",
        "/odd\nname\r.ign",
    };
    for (const QString& p : paths)
        EXPECT_EQ(PathCodec::Decode(PathCodec::Encode(p)), p) << p.toStdString();
}
