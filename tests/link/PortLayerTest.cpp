#include "LinkTestSupport.h"
#include "link/PortTable.h"
#include "link/PortChannel.h"
#include "link/PortDirectory.h"
#include "link/SerialPortDevice.h"
#include "lang/LangString.h"
#include "unitsim/ChannelUnitLine.h"
#include "unitsim/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

// The two kinds of line a port can stand on: a pseudo-terminal, which the port layer opens as a
// serial device of the system, and an in-process line. The port layer must move bytes the same
// way over both; the test plays the device on the far end.
struct LineKind {
    const char* name;
    std::unique_ptr<UnitLine> (*open)(PortMap& map, int port);
};

void PrintTo(const LineKind& kind, std::ostream* os) { *os << kind.name; }

std::unique_ptr<UnitLine> OpenPseudoTerminal(PortMap& map, int port)
{
    auto pty = std::make_unique<PseudoTerminal>();
    EXPECT_TRUE(pty->Open());
    EXPECT_TRUE(map.Add(std::to_string(port) + "=" + pty->SlavePath()));
    return pty;
}

std::unique_ptr<UnitLine> OpenInProcessLine(PortMap& map, int port)
{
    auto channel = std::make_shared<PortChannel>("port-test");
    EXPECT_TRUE(map.AddChannel(port, channel));
    return std::make_unique<ChannelUnitLine>(channel);
}

const LineKind LINE_KINDS[] = {
    { "PseudoTerminal", &OpenPseudoTerminal },
    { "InProcess", &OpenInProcessLine },
};

struct PortLayerFixture : ::testing::TestWithParam<LineKind> {
    std::unique_ptr<UnitLine> line;
    PortTable sys;

    void SetUp() override
    {
        TickMs = 100000;
        PortMap map;
        map.onlyMapped = true;
        line = GetParam().open(map, 7);
        ASSERT_TRUE(map.Add("9=/dev/no-such-serial-device"));
        sys.SetPortMap(map);
        sys.ServicePorts();
    }
    bool WaitState(int port, uint8_t state)
    {
        return PumpUntil([&] { return sys.Port(port).state.load() == state && !sys.Port(port).requestFlags; },
            [&] { sys.ServicePorts(); });
    }
    std::vector<uint8_t> ReadMaster(size_t count)
    {
        std::vector<uint8_t> got;
        uint8_t buf[512];
        PumpUntil([&] { return got.size() >= count; },
            [&] {
                const long n = line->Read(buf, sizeof buf, 1);
                if (n > 0)
                    got.insert(got.end(), buf, buf + n);
            });
        return got;
    }
};

INSTANTIATE_TEST_SUITE_P(Lines, PortLayerFixture, ::testing::ValuesIn(LINE_KINDS),
    [](const ::testing::TestParamInfo<LineKind>& info) { return std::string(info.param.name); });

TEST_P(PortLayerFixture, MappedLineIsPresentAndMissingDeviceIsNot)
{
    EXPECT_EQ(sys.portsEnumerated, 1);
    EXPECT_EQ(sys.portsChanged, 1);
    EXPECT_EQ(sys.Port(7).present, 1u);
    EXPECT_EQ(sys.Port(9).present, 0u);
    EXPECT_EQ(sys.Port(0).present, 0u);
    EXPECT_EQ(sys.DevicePath(7), line->DevicePath());
}

TEST_P(PortLayerFixture, OpenMovesBytesBothWaysAndCloseEndsTheThread)
{
    sys.OpenPort(7, 57600);
    ASSERT_TRUE(WaitState(7, PORT_OPEN));
    EXPECT_STREQ(sys.Port(7).lineMode, "57600,N,8,1");
    EXPECT_EQ(line->LineBaud(), 57600u) << "the line settings reach the device";

    PortRecord& com = sys.Port(7);
    const uint8_t out[] = { 1, 2, 3, 0x30, 5 };
    std::copy(std::begin(out), std::end(out), com.txBuffer);
    com.txLength.store(5, std::memory_order_release);
    EXPECT_EQ(ReadMaster(5), std::vector<uint8_t>(std::begin(out), std::end(out)));
    EXPECT_TRUE(PumpUntil([&] { return com.txLength.load() == 0; }));

    std::vector<uint8_t> in(300);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = uint8_t(i * 7);
    ASSERT_TRUE(line->Write(in.data(), in.size()));
    std::vector<uint8_t> got;
    PumpUntil([&] { return got.size() >= in.size(); },
        [&] {
            uint8_t b;
            while (com.PopReceived(b))
                got.push_back(b);
        });
    EXPECT_EQ(got, in);

    sys.ClosePort(7);
    ASSERT_TRUE(WaitState(7, PORT_CLOSED));
    EXPECT_TRUE(PumpUntil([&] { return com.ioThread == nullptr; }, [&] { sys.ServicePorts(); }));
}

// A sender that still holds a port as it closes (the link before it notices) must find the transmit
// buffer free again, not wait forever for a thread that is gone.
TEST_P(PortLayerFixture, BytesHandedOverAsThePortClosesAreDropped)
{
    sys.OpenPort(7, 57600);
    ASSERT_TRUE(WaitState(7, PORT_OPEN));
    PortRecord& com = sys.Port(7);
    sys.ClosePort(7);
    sys.ServicePorts();
    com.txBuffer[0] = 0x55;
    com.txLength.store(1, std::memory_order_release);
    ASSERT_TRUE(WaitState(7, PORT_CLOSED));
    EXPECT_EQ(com.txLength.load(), 0u);
}

TEST_P(PortLayerFixture, ReceiveRingBacksUpIntoTheDriverQueueWithoutLoss)
{
    sys.OpenPort(7, 115200);
    ASSERT_TRUE(WaitState(7, PORT_OPEN));
    std::vector<uint8_t> in(2000);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = uint8_t(i * 13 + 1);
    ASSERT_TRUE(line->Write(in.data(), in.size()));
    PortRecord& com = sys.Port(7);
    EXPECT_TRUE(PumpUntil([&] { return com.rxWrite.load() == 329; })) << "the ring fills up to one free byte";
    std::vector<uint8_t> got;
    PumpUntil([&] { return got.size() >= in.size(); },
        [&] {
            uint8_t b;
            while (com.PopReceived(b))
                got.push_back(b);
        });
    EXPECT_EQ(got, in);
}

TEST_P(PortLayerFixture, FailedOpenEndsWithErrorOneAndASecondRequestMakesANewThread)
{
    sys.OpenPort(9, 57600);
    ASSERT_TRUE(WaitState(9, PORT_CLOSED));
    EXPECT_EQ(sys.Port(9).error.load(), PORT_ERROR_OPEN);
    EXPECT_TRUE(PumpUntil([&] { return sys.Port(9).ioThread == nullptr; }, [&] { sys.ServicePorts(); }));
    sys.OpenPort(9, 57600);
    EXPECT_EQ(sys.Port(9).error.load(), PORT_ERROR_NONE);
    sys.ServicePorts();
    EXPECT_NE(sys.Port(9).ioThread, nullptr) << "a new thread for the second request";
    ASSERT_TRUE(WaitState(9, PORT_CLOSED));
    EXPECT_EQ(sys.Port(9).error.load(), PORT_ERROR_OPEN);
}

TEST_P(PortLayerFixture, OpenOnAnOpenPortReopensWithTheNewBaud)
{
    sys.OpenPort(7, 57600);
    ASSERT_TRUE(WaitState(7, PORT_OPEN));
    sys.OpenPort(7, 115200);
    EXPECT_EQ(sys.Port(7).requestFlags, REQUEST_OPEN | REQUEST_CLOSE);
    ASSERT_TRUE(PumpUntil([&] { return sys.Port(7).state.load() == PORT_OPEN && !sys.Port(7).requestFlags; },
        [&] { sys.ServicePorts(); }));
    EXPECT_EQ(line->LineBaud(), 115200u);
    EXPECT_STREQ(sys.Port(7).lineMode, "115200,N,8,1");
}

TEST_P(PortLayerFixture, VanishedDeviceClosesThePortWithErrorLost)
{
    sys.OpenPort(7, 57600);
    ASSERT_TRUE(WaitState(7, PORT_OPEN));
    line->Close();
    ASSERT_TRUE(WaitState(7, PORT_CLOSED));
    EXPECT_EQ(sys.Port(7).error.load(), PORT_ERROR_LOST);
}

TEST_P(PortLayerFixture, EnumerationRunsAtMostOncePerSecond)
{
    char path[] = "/tmp/vordax4-port-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    PortMap map = sys.portMap();
    map.Add(std::string("11=") + path);
    sys.SetPortMap(map);
    sys.ServicePorts();
    EXPECT_EQ(sys.Port(11).present, 1u);
    sys.portsChanged = 0;
    ::unlink(path);
    TickMs += 1000;
    sys.ServicePorts();
    EXPECT_EQ(sys.Port(11).present, 1u) << "exactly 1000 ms is not more than 1000 ms";
    TickMs += 50;
    sys.ServicePorts();
    EXPECT_EQ(sys.Port(11).present, 0u);
    EXPECT_EQ(sys.portsChanged, 1);
}

TEST(PortMapTest, EntriesFromTextAndEnvironment)
{
    PortMap map;
    std::string error;
    EXPECT_TRUE(map.AddList("7=/dev/pts/3, 8=/dev/ttyUSB0;7=/dev/pts/4", &error));
    EXPECT_EQ(map.Device(7), "/dev/pts/4");
    EXPECT_EQ(map.Device(8), "/dev/ttyUSB0");
    EXPECT_EQ(map.Device(9), "");
    for (const char* bad : { "0=/dev/x", "256=/dev/x", "x=/dev/x", "7", "7=" }) {
        EXPECT_FALSE(map.Add(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    ::setenv(PortMap::ENVIRONMENT_VARIABLE, "12=/dev/pts/9", 1);
    EXPECT_EQ(PortMap::FromEnvironment().Device(12), "/dev/pts/9");
    ::unsetenv(PortMap::ENVIRONMENT_VARIABLE);
    EXPECT_TRUE(PortMap::FromEnvironment().Empty());
}

SerialDevice Device(const std::string& path, const std::string& identity)
{
    SerialDevice device;
    device.path = path;
    device.identity = identity;
    return device;
}

TEST(PortDirectoryTest, NumbersDependOnIdentityNotOrder)
{
    const SerialDevice s0 = Device("/dev/ttyS0", "name:ttyS0");
    const SerialDevice s3 = Device("/dev/ttyS3", "name:ttyS3");
    const SerialDevice usbA = Device("/dev/ttyUSB0", "usb:0403:6001:A1");
    const SerialDevice usbB = Device("/dev/ttyUSB1", "usb:0403:6001:B2");
    const PortDirectory one = PortDirectory::Assign({ s0, s3, usbA, usbB }, {});
    EXPECT_EQ(one.Find("/dev/ttyS0"), 1);
    EXPECT_EQ(one.Find("/dev/ttyS3"), 4);
    const int a = one.Find("/dev/ttyUSB0");
    EXPECT_GE(a, 100);
    // Replugged at another socket and listed in another order: the adapter keeps its number.
    const SerialDevice usbAMoved = Device("/dev/ttyUSB2", "usb:0403:6001:A1");
    const PortDirectory two = PortDirectory::Assign({ usbB, usbAMoved, s3 }, {});
    EXPECT_EQ(two.Find("/dev/ttyUSB2"), a);
    EXPECT_EQ(two.Find("/dev/ttyUSB1"), one.Find("/dev/ttyUSB1"));
}

TEST(PortDirectoryTest, MappedNumbersWinAndCollisionsMoveOn)
{
    const SerialDevice usb = Device("/dev/ttyUSB0", "usb:1a86:7523:X");
    const int preferred = PortDirectory::PreferredNumber(usb);
    PortMap map;
    map.Add(std::to_string(preferred) + "=/dev/pts/5");
    map.Add("4=/dev/ttyUSB0");
    const PortDirectory dir = PortDirectory::Assign({ usb, Device("/dev/ttyUSB9", "usb:1a86:7523:X2") }, map);
    EXPECT_EQ(dir.Find("/dev/pts/5"), preferred);
    EXPECT_EQ(dir.Find("/dev/ttyUSB0"), 4) << "a mapped device is not numbered twice";
    EXPECT_NE(dir.Find("/dev/ttyUSB9"), 0);
}

// Two CH340 adapters without serial numbers: which one the system calls ttyUSB0 follows the plug
// order, but each keeps the number of the USB socket it is in.
TEST(PortDirectoryTest, AnAdapterWithoutSerialNumberKeepsTheNumberOfItsSocket)
{
    const auto ch340 = [](const std::string& name, const std::string& socket) {
        SerialDevice d = Device("/dev/" + name, {});
        d.byPath = "/dev/serial/by-path/" + socket;
        d.identity = SerialDevice::Identity(0x1a86, 0x7523, {}, d.byPath, name);
        return d;
    };
    const std::string left = "pci-0000:00:14.0-usb-0:1:1.0-port0";
    const std::string right = "pci-0000:00:14.0-usb-0:2:1.0-port0";
    const PortDirectory first = PortDirectory::Assign({ ch340("ttyUSB0", left), ch340("ttyUSB1", right) }, {});
    const PortDirectory swapped = PortDirectory::Assign({ ch340("ttyUSB1", left), ch340("ttyUSB0", right) }, {});
    ASSERT_NE(first.Find("/dev/ttyUSB0"), first.Find("/dev/ttyUSB1"));
    EXPECT_EQ(swapped.Find("/dev/ttyUSB1"), first.Find("/dev/ttyUSB0"));
    EXPECT_EQ(swapped.Find("/dev/ttyUSB0"), first.Find("/dev/ttyUSB1"));
    EXPECT_EQ(swapped.Find("/dev/serial/by-path/" + left), first.Find("/dev/ttyUSB0")) << "found by its link too";

    EXPECT_EQ(SerialDevice::Identity(0x0403, 0x6001, "A50285BI", "/dev/serial/by-path/" + left, "ttyUSB0"),
        "usb:0403:6001:A50285BI")
        << "a serial number goes with the adapter to any socket";
    EXPECT_EQ(SerialDevice::Identity(-1, -1, {}, {}, "ttyS0"), "name:ttyS0");
}

TEST(PortDirectoryTest, LabelsNameTheDeviceAndWhatTheSystemTellsOfIt)
{
    struct Case {
        const char* description;
        const char* manufacturer;
        const char* serialNumber;
        const char* label;
    };
    const Case cases[] = {
        { "FT232R USB UART", "FTDI", "A50285BI", "COM204 – /dev/ttyUSB0 – FT232R USB UART (FTDI, A50285BI)" },
        { "USB Serial", "1a86", "", "COM204 – /dev/ttyUSB0 – USB Serial (1a86)" },
        { "", "FTDI", "A50285BI", "COM204 – /dev/ttyUSB0 – (FTDI, A50285BI)" },
        { "ttyS0", "", "", "COM204 – /dev/ttyUSB0 – ttyS0" },
        { "", "", "", "COM204 – /dev/ttyUSB0" },
    };
    for (const Case& c : cases) {
        PortDirectory dir;
        dir.devicePath[204] = "/dev/ttyUSB0";
        dir.devices[204].description = c.description;
        dir.devices[204].manufacturer = c.manufacturer;
        dir.devices[204].serialNumber = c.serialNumber;
        EXPECT_EQ(dir.Label(204), c.label);
    }
}

// A fixed port named by the adapter's /dev/serial/by-id link is that adapter, described and
// numbered once.
TEST(PortDirectoryTest, AMappedLinkIsTheDeviceItNames)
{
    SerialDevice ftdi = Device("/dev/ttyUSB3", "usb:0403:6001:A50285BI");
    ftdi.byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    ftdi.description = "FT232R USB UART";
    PortMap map;
    map.Add("5=" + ftdi.byId);
    const PortDirectory dir = PortDirectory::Assign({ ftdi }, map);
    EXPECT_EQ(dir.Find("/dev/ttyUSB3"), 5);
    EXPECT_EQ(dir.Find(ftdi.byId), 5);
    EXPECT_EQ(dir.Label(5), "COM5 – " + ftdi.byId + " – FT232R USB UART");
}

TEST(PortOpenFailureTest, TheMessageNamesDeviceCauseAndFix)
{
    const PortOpenFailure denied { PortFailureCause::PERMISSION, "/dev/ttyUSB0", "dialout", {} };
    EXPECT_EQ(LangText(denied.Message(204), 0),
        "COM204: /dev/ttyUSB0 cannot be opened: permission denied. Add yourself to the group dialout: sudo "
        "adduser $USER dialout, then log in again");
    for (int language : { 1, 2 }) {
        const std::string text = LangText(denied.Message(204), language);
        EXPECT_EQ(text.rfind("COM204: /dev/ttyUSB0 ", 0), 0u) << text;
        EXPECT_NE(text.find("sudo adduser $USER dialout"), std::string::npos) << text;
    }
    EXPECT_EQ(denied.Mark(), "permission denied (group dialout)");
    const PortOpenFailure busy { PortFailureCause::BUSY, "/dev/ttyACM0", {}, {} };
    EXPECT_EQ(LangText(busy.Reason(), 0), "/dev/ttyACM0 cannot be opened: another program holds it");
}

// The port layer tells why a device did not open: one that went, one another program holds.
TEST(PortOpenFailureTest, AFailedOpenSaysWhy)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Open());
    SerialPortDevice holder(QString::fromStdString(pty.SlavePath()));
    ASSERT_TRUE(holder.Open(115200));
    SerialPortDevice second(QString::fromStdString(pty.SlavePath()));
    EXPECT_FALSE(second.Open(115200));
    EXPECT_EQ(second.OpenFailure().cause, PortFailureCause::BUSY) << second.OpenFailure().detail;
    EXPECT_EQ(second.OpenFailure().device, pty.SlavePath());

    SerialPortDevice gone("/dev/ttyUSB-vordax4-none");
    EXPECT_FALSE(gone.Open(115200));
    EXPECT_EQ(gone.OpenFailure().cause, PortFailureCause::GONE);
    EXPECT_EQ(PortOpenFailure::Probe("/dev/ttyUSB-vordax4-none").cause, PortFailureCause::GONE);
    EXPECT_FALSE(PortOpenFailure::Probe(pty.SlavePath()).Failed()) << "the user may open it";
}

} // namespace
