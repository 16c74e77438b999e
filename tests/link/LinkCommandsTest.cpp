#include "link/TransferEngine.h"
#include "link/LinkCommands.h"
#include "link/SerialPortDevice.h"
#include "unitsim/PseudoTerminal.h"
#include "unitsim/UnitSim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

// A temporary stream whose text can be read back.
struct Capture {
    std::FILE* file = std::tmpfile();
    ~Capture() { std::fclose(file); }
    std::string Text()
    {
        std::fflush(file);
        std::rewind(file);
        std::string text;
        char buf[256];
        while (std::fgets(buf, sizeof buf, file))
            text += buf;
        return text;
    }
};

TEST(LinkCommandsTest, PortOptionForms)
{
    PortChoice choice;
    std::string error;
    EXPECT_TRUE(ParsePortOption("5", choice, &error));
    EXPECT_EQ(choice.forcedPort, 5);
    EXPECT_TRUE(ParsePortOption("7=/dev/pts/3", choice, &error));
    EXPECT_EQ(choice.forcedPort, 7);
    EXPECT_EQ(choice.map.Device(7), "/dev/pts/3");
    for (const char* bad : { "0", "256", "x", "", "7=" }) {
        error.clear();
        EXPECT_FALSE(ParsePortOption(bad, choice, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(LinkCommandsTest, ProtocolOptionLeavesTheSearchOneRow)
{
    struct Case {
        const char* protocol;
        const char* baud;
        SearchRow row;
    };
    const Case cases[] = {
        { "IGN300", nullptr, { PROTOCOL_IGN300, 115200, 175 } },
        { "ign100", nullptr, { PROTOCOL_IGN100, 57600, 175 } },
        { "WCOM", nullptr, { PROTOCOL_WCOM, 57600, 75 } },
        { "WCOM", "115200", { PROTOCOL_WCOM, 115200, 75 } },
        { "WCOMS", "115200", { PROTOCOL_WCOMS, 115200, 325 } },
        { "IGN50", "19200", { PROTOCOL_IGN50, 19200, 125 } },
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.protocol) + " " + (c.baud ? c.baud : "-");
        PortChoice choice;
        ASSERT_TRUE(ParseProtocolOption(c.protocol, choice, nullptr)) << label;
        if (c.baud) {
            ASSERT_TRUE(ParseBaudOption(c.baud, choice, nullptr)) << label;
        }
        TransferEngine link;
        ApplyPortChoice(link, choice);
        const SearchRow& row = link.Search().searchTable.Row(0);
        EXPECT_EQ(row.protocol, c.row.protocol) << label;
        EXPECT_EQ(row.baud, c.row.baud) << label;
        EXPECT_EQ(row.timeoutMs, c.row.timeoutMs) << label;
        EXPECT_TRUE(link.Search().searchTable.IsEnd(1)) << label;
    }
    TransferEngine whole;
    ApplyPortChoice(whole, PortChoice {});
    EXPECT_EQ(whole.Search().searchTable.Row(13).protocol, PROTOCOL_IGN300) << "without --protocol the whole order";

    PortChoice choice;
    std::string error;
    for (const char* bad : { "IGN", "", "3100", "WCOMX" }) {
        error.clear();
        EXPECT_FALSE(ParseProtocolOption(bad, choice, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    for (const char* bad : { "0", "-9600", "x", "", "4000001", "9600x" }) {
        error.clear();
        EXPECT_FALSE(ParseBaudOption(bad, choice, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// The last row of the search order, named with its protocol, is the one tried.
TEST(LinkCommandsTest, IdentifyWithAProtocolFindsTheUnitOnThatRow)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_IGN300;
    UnitSim unit(o);
    ASSERT_TRUE(unit.Start());
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("3=" + unit.DevicePath(), choice, nullptr));
    ASSERT_TRUE(ParseProtocolOption("IGN300", choice, nullptr));
    Capture out, err;
    ASSERT_EQ(IdentifyCommand(choice, 5000, out.file, err.file), 0) << err.Text();
    EXPECT_NE(out.Text().find("\tprotocol IGN300\t"), std::string::npos) << out.Text();
}

TEST(LinkCommandsTest, PortsListsTheMappedDevice)
{
    UnitSim unit;
    ASSERT_TRUE(unit.Start());
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("7=" + unit.DevicePath(), choice, nullptr));
    Capture out, err;
    EXPECT_EQ(ListPortsCommand(choice, out.file, err.file), 0);
    EXPECT_EQ(out.Text(), "COM7 – " + unit.DevicePath() + "\n");
}

// A search whose only port another program holds ends at once with the reason, not after its
// time-out; the same port named by its path is that COM number.
TEST(LinkCommandsTest, IdentifyEndsAtOnceWhenItsOnlyPortCannotBeOpened)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Open());
    SerialPortDevice holder(QString::fromStdString(pty.SlavePath()));
    ASSERT_TRUE(holder.Open(115200));
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("7=" + pty.SlavePath(), choice, nullptr));
    Capture out, err;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(IdentifyCommand(choice, 30000, out.file, err.file), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "well before the time-out";
    EXPECT_EQ(err.Text(),
        "COM7: " + pty.SlavePath() + " cannot be opened: another program holds it\n" + NO_PORT_OPENS_TEXT + "\n");
    EXPECT_EQ(out.Text(), "");
}

TEST(LinkCommandsTest, APortNamedByItsDevicePath)
{
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("9=/dev/pts/77", choice, nullptr));
    std::string error;
    ASSERT_TRUE(ParsePortOption("/dev/pts/77", choice, &error)) << error;
    EXPECT_EQ(choice.forcedPort, 9);
    EXPECT_FALSE(ParsePortOption("/dev/serial/by-id/vordax4-none", choice, &error));
    EXPECT_NE(error.find("/dev/serial/by-id/vordax4-none"), std::string::npos) << error;
}

TEST(LinkCommandsTest, IdentifyPrintsTheUnitOrFailsAfterTheTimeout)
{
    UnitSimOptions o;
    o.protocol = PROTOCOL_WCOM;
    o.maxFrameLength = 100;
    UnitSim unit(o);
    ASSERT_TRUE(unit.Start());
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("9=" + unit.DevicePath(), choice, nullptr));
    Capture out, err;
    ASSERT_EQ(IdentifyCommand(choice, 5000, out.file, err.file), 0);
    EXPECT_EQ(out.Text(),
        "COM9\t" + unit.DevicePath()
            + "\tVORDAX4 SIM v93 (hw:12)\tprotocol WCOM\tmax frame 100\t84 data bytes per frame\n");

    unit.SetSilent(true);
    Capture out2, err2;
    EXPECT_EQ(IdentifyCommand(choice, 300, out2.file, err2.file), 1);
    EXPECT_EQ(out2.Text(), "");
    EXPECT_EQ(err2.Text(), "no unit found within 0.3 s\n");
}

TEST(LinkCommandsTest, IdentifyReportsAUnitOfAnotherType)
{
    UnitSimOptions o;
    o.unitType = 301;
    o.protocol = PROTOCOL_WCOM;
    UnitSim unit(o);
    ASSERT_TRUE(unit.Start());
    PortChoice choice;
    ASSERT_TRUE(ParsePortOption("4=" + unit.DevicePath(), choice, nullptr));
    choice.forcedPort = 4;
    Capture out, err;
    EXPECT_EQ(IdentifyCommand(choice, 1500, out.file, err.file), 1);
    EXPECT_NE(err.Text().find("COM 4:VORDAX4 SIM v301 (hw:12) (unmatched)\n"), std::string::npos) << err.Text();
}

} // namespace
