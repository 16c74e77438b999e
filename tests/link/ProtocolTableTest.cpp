#include "link/ProtocolTable.h"
#include "link/LinkCommands.h"

#include <gtest/gtest.h>

#include <QString>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

// Rules every row must keep, so a new protocol that breaks one fails here rather than on a line.
TEST(ProtocolTableTest, EveryRowKeepsTheFamilyRules)
{
    std::set<int32_t> ids;
    std::set<std::string> names;
    for (const ProtocolInfo& row : Protocols()) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(ids.insert(row.id).second) << "ids are unique";
        EXPECT_TRUE(names.insert(row.name).second) << "names are unique";
        EXPECT_NE(row.id, PROTOCOL_NONE);
        EXPECT_EQ(FindProtocol(row.id), &row);
        EXPECT_EQ(FindProtocolNamed(row.name), &row);
        EXPECT_GT(row.usualBaud, 0u);
        if (row.wcomFamily) {
            EXPECT_EQ(row.requestLength, WCOM_OVERHEAD);
            EXPECT_EQ(row.blockSize, 0);
            EXPECT_FALSE(row.hasTail);
        } else {
            // The frame builder finds a fixed-block row from the block size alone.
            EXPECT_EQ(row.id, FixedBlockProtocolId(row.blockSize));
            EXPECT_EQ(row.name, "IGN" + std::to_string(row.blockSize)) << "the name carries the block size";
            EXPECT_EQ(row.requestLength, row.blockSize + IGN_OVERHEAD);
            EXPECT_FALSE(row.sumCheck);
        }
    }
    EXPECT_EQ(FixedBlockProtocolId(100), 3100);
    EXPECT_EQ(FindProtocol(PROTOCOL_NONE), nullptr);
    EXPECT_EQ(FindProtocolNamed("ign100"), nullptr) << "the simulated unit takes names exactly";
    EXPECT_EQ(FindProtocolNamed(""), nullptr);
    EXPECT_STREQ(ProtocolName(PROTOCOL_NONE), "none");
}

TEST(ProtocolTableTest, NamesListInTableOrder)
{
    EXPECT_EQ(ProtocolNames(", "), "WCOM, WCOMS, IGN50, IGN100, IGN150, IGN300");
    EXPECT_EQ(ProtocolNames("|"), "WCOM|WCOMS|IGN50|IGN100|IGN150|IGN300");
}

TEST(ProtocolTableTest, ProtocolOptionTakesEveryNameInAnyCase)
{
    for (const ProtocolInfo& row : Protocols())
        for (const QString& spelling : { QString(row.name), QString(row.name).toLower() }) {
            PortChoice choice;
            std::string error;
            EXPECT_TRUE(ParseProtocolOption(spelling.toStdString(), choice, &error)) << error;
            EXPECT_EQ(choice.protocol, row.id) << spelling.toStdString();
        }
    PortChoice choice;
    std::string error;
    EXPECT_FALSE(ParseProtocolOption("IGN200", choice, &error));
    EXPECT_EQ(error, "--protocol needs one of WCOM, WCOMS, IGN50, IGN100, IGN150, IGN300: \"IGN200\"");
}

// The README is written by hand; its protocol lists must name the rows.
TEST(ProtocolTableTest, ReadmeListsEveryProtocol)
{
    std::ifstream file(VORDAX4_README);
    ASSERT_TRUE(file) << VORDAX4_README;
    std::stringstream text;
    text << file.rdbuf();
    const std::string readme = text.str();
    EXPECT_NE(readme.find("`--protocol " + ProtocolNames("|") + "`"), std::string::npos)
        << "the simulated unit's options";
    std::string ticked;
    for (const ProtocolInfo& row : Protocols())
        ticked += std::string(ticked.empty() ? "" : ", ") + "`" + row.name + "`";
    std::string flowing = readme;
    for (char& c : flowing)
        if (c == '\n')
            c = ' ';
    EXPECT_NE(flowing.find("NAME one of " + ticked), std::string::npos) << "the command line's --protocol";
}

} // namespace
