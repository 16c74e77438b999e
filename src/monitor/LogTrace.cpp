#include "monitor/LogTrace.h"

#include "model/ImageLayout.h"

namespace {

constexpr int WHOLE_VALUE = 8;

const std::vector<LogTrace> TRACES = {
    { "rpm", "###Engine speed##Drehzahl##Otáčky", "MON_RPM", 0, -1, LogScale::Speed, 0xD62728 },
    { "load", "###Load (TP or IAP)##Last (TP oder IAP)##Zatížení (TP nebo IAP)", "MON_LOAD", 0, -1,
        LogScale::Load, 0x1F77B4 },
    { "adv1", "###Advance 1##Vorzündung 1##Předstih 1", "MON_ADV", 0, -1, LogScale::Advance, 0x2CA02C },
    { "adv2", "###Advance 2##Vorzündung 2##Předstih 2", "MON_ADV", 1, -1, LogScale::Advance, 0x9467BD },
    { "adv3", "###Advance 3##Vorzündung 3##Předstih 3", "MON_ADV", 2, -1, LogScale::Advance, 0x8C564B },
    { "adv4", "###Advance 4##Vorzündung 4##Předstih 4", "MON_ADV", 3, -1, LogScale::Advance, 0xE377C2 },
    { "supply", "###Supply voltage##Versorgungsspannung##Napájecí napětí", "MON_SUPPLY_MV", 0, -1,
        LogScale::Voltage, 0xFF7F0E },
    { "limiter", "###Limiter##Begrenzer##Omezovač", "MON_LIMITER", 0, WHOLE_VALUE, LogScale::State, 0xB22222 },
    { "startlimiter", "###Start limiter##Startbegrenzer##Startovací omezovač", "MON_START_LIMITER", 0,
        WHOLE_VALUE, LogScale::State, 0xCC5500 },
    { "kill", "###Kill switch##Notausschalter##Vypínač", "MON_STATUS", 0, STATUS_KILL_SWITCH, LogScale::State,
        0x800000 },
    { "quickshift", "###Quickshift##Quickshifter##Rychlořazení", "MON_CLUTCH", 0, WHOLE_VALUE, LogScale::State,
        0x008B8B },
    { "retard", "###Retard##Spätzündung##Zpoždění", "MON_RETARD", 0, WHOLE_VALUE, LogScale::State, 0x4682B4 },
    { "blocking", "###Blocking##Sperre##Blokování", "MON_STATUS", 0, STATUS_BLOCKING, LogScale::State, 0x696969 },
    { "pout1", "###Power output 1##Leistungsausgang 1##Výkonový výstup 1", "MON_POUT", 0, 0, LogScale::State,
        0x6B8E23 },
    { "pout2", "###Power output 2##Leistungsausgang 2##Výkonový výstup 2", "MON_POUT", 0, 1, LogScale::State,
        0xDAA520 },
};

} // namespace

const std::vector<LogTrace>& LogTrace::All()
{
    return TRACES;
}

int LogTrace::Find(const std::string& key)
{
    const std::string name = key == "tp" || key == "iap" ? "load" : key;
    for (size_t i = 0; i < TRACES.size(); ++i)
        if (name == TRACES[i].key)
            return static_cast<int>(i);
    return -1;
}

const char* LogTrace::Unit(LogScale scale)
{
    switch (scale) {
    case LogScale::Speed:
        return "###rpm##1/min##ot/min";
    case LogScale::Load:
        return "###% or kPa##% oder kPa##% nebo kPa";
    case LogScale::Advance:
        return "###°##°##°";
    case LogScale::Voltage:
        return "###V##V##V";
    case LogScale::State:
        break;
    }
    return "";
}
