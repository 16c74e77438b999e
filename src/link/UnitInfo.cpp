#include "link/UnitInfo.h"

#include <cstdio>
#include <ctime>

namespace {

std::string printable(const uint8_t* p, int n)
{
    std::string s;
    for (int i = 0; i < n && p[i]; ++i)
        s += (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    return s;
}

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

} // namespace

int FirmwareMonth(uint8_t code)
{
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m)
        if (static_cast<uint8_t>(months[m][0] + months[m][1] + months[m][2]) == code)
            return m + 1;
    return 0;
}

UnitInfo BuildUnitInfo(const ReferenceBlock& b)
{
    UnitInfo u;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s%02i", printable(b.data(), 3).c_str(), b[3]);
    u.name = b[16] ? printable(&b[16], 15) : std::string(buf);

    const int month = FirmwareMonth(b[5]);
    char monthText[4] = "00";
    if (month)
        std::snprintf(monthText, sizeof monthText, "%2i", month);
    std::snprintf(buf, sizeof buf, "%2i.%s.20%02i", b[4], monthText, b[6] % 100);
    u.firmwareDate = buf;
    std::snprintf(buf, sizeof buf, "%02i:%02i", b[7], b[8]);
    u.firmwareTime = buf;
    u.versionMajor = b[10];
    u.versionMinor = b[11];

    if (b[31] != 0 && b[31] != 255) {
        if (b[34] != 255) {
            std::snprintf(buf, sizeof buf, "%02i%02i%02i%c%c", b[34], b[33], b[32], b[31] & 0x7F, (b[31] & 0x80) ? '+' : '_');
            u.programmedBy = buf + u.name;
        }
    }
    if (b[39] != 0 && b[39] != 255) {
        if (b[46] == 255) {
            u.serialNumber = "none SN";
        } else {
            std::snprintf(buf, sizeof buf, "%02i%02i%02i-%02i%02i%02i-%03i%02x", b[46], b[45], b[44], b[43], b[42], b[41], b[40], b[39]);
            u.serialNumber = buf;
        }
    }
    const uint32_t stamp = le32(&b[35]);
    if (b[35] != 0 && b[35] != 255 && stamp != 0xFFFFFFFFu) {
        const std::time_t t = static_cast<std::time_t>(stamp);
        std::tm local{};
        localtime_r(&t, &local);
        std::snprintf(buf, sizeof buf, "(last update: %02i.%02i.%02i-%02i:%02i:%02i)", local.tm_mday, local.tm_mon + 1,
            local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
        u.lastUpdate = buf;
    }
    return u;
}

std::string UnitPanelText(int versionState, const std::string& versionText, const UnitInfo& u)
{
    if (versionState == VERSION_NOT_CONNECTED)
        return "not connected";
    if (versionState == VERSION_OTHER)
        return versionText;
    if (!u.programmedBy.empty())
        return u.programmedBy + "   " + versionText + "   (" + u.serialNumber + ")   " + u.lastUpdate;
    return u.name + "   " + versionText + "   " + u.firmwareDate + "   " + u.firmwareTime;
}
