#include "model/LayoutSelfCheck.h"

#include "model/ImageLayout.h"

namespace {

void check(std::vector<std::string>& out, const char* text, int slack)
{
    if (slack > 0)
        out.push_back(text + std::to_string(slack));
}

constexpr int MAX_BITS = 8;

} // namespace

std::vector<std::string> LayoutSelfCheck()
{
    std::vector<std::string> out;
    check(out, "Software error: Enum Adrw to long - ", 2 * ADRW_END - ADRB_FIRST);
    check(out, "Software error: Enum Adrb to long - ", ADRB_END - RS_LEN_EXE);
    check(out, "Software error: Enum Adrb - no space between bytes and tables - ", ADRB_FIELDS_END - ADRB_FIRST_TABLE);
    check(out, "Software error: Enum Monw to long - ", 2 * MONW_END - MONB_FIRST);
    check(out, "Software error: Enum Monb to long - ", MONITOR_BLOCK_LEN - RS_LEN_EXE);
    for (int bits : {int(MON_PICKUPS_BITS), int(MON_STATUS_BITS), int(LOBE_FLAG_BITS), int(POUT_COLUMNS),
             int(MON_POUT_BITS), int(TEST_BITS_MAX)})
        if (bits > MAX_BITS)
            out.push_back("Software error: More then 8 bits in bitfield - " + std::to_string(bits));
    if (RS_LEN_EXE > COMMAXBUF)
        out.push_back("Software error: RS_LEN_EXE>COMMAXBUF - " + std::to_string(RS_LEN_EXE) + ">" + std::to_string(COMMAXBUF));
    return out;
}

void LayoutSelfCheck(const std::function<void(const std::string&)>& show)
{
    for (const std::string& message : LayoutSelfCheck())
        show(message);
}

static_assert(MON_PICKUPS_BITS <= MAX_BITS && MON_STATUS_BITS <= MAX_BITS && LOBE_FLAG_BITS <= MAX_BITS);
