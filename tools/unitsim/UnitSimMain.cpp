#include "unitsim/UnitSim.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) { stopRequested = 1; }

// The defaults shown are those of UnitSimOptions, so the help cannot drift from them.
void Usage()
{
    const UnitSimOptions defaults;
    std::fprintf(stderr,
        "usage: vordax4-unitsim [options]\n"
        "  --protocol %s   (default %s)\n"
        "  --type N          unit type code (default %d)\n"
        "  --firmware M.mm   firmware version (default %d.%02d)\n"
        "  --name TEXT       unit name (default \"%s\")\n"
        "  --max-frame N     WCOM family: maximum frame length (default %d)\n"
        "  --baud N          line rate the unit listens at (default by protocol)\n"
        "  --paced           requests and answers take their time on the wire\n"
        "  --drop SHARE      leave this share of requests unanswered (0..1)\n"
        "  --corrupt SHARE   send this share of answers with a wrong check (0..1)\n"
        "  --delay MS        delay every answer\n"
        "  --delay-share S   delay only this share of the answers (0..1, default %g)\n"
        "  --storing-ms MS   time the unit takes to store a written configuration (default %d)\n"
        "  --echo            behave as a loop-back plug\n"
        "  --silent          answer nothing\n"
        "  --ignore-writes   confirm writes but keep the memory as it is\n"
        "  --alter-reads N   change a byte in N read answers (-1 all) in otherwise valid frames\n"
        "  --unplug-at-write N  vanish as an unplugged adapter when the Nth configuration write arrives\n"
        "  --unplug-at-read N   the same at the Nth configuration read\n"
        "  --seed N          seed of the fault draws (default %u)\n",
        ProtocolNames("|").c_str(), ProtocolName(defaults.protocol), defaults.unitType, defaults.firmwareMajor,
        defaults.firmwareMinor, defaults.name.c_str(), defaults.maxFrameLength, defaults.delayShare, defaults.storingMs,
        defaults.seed);
}

} // namespace

int main(int argc, char** argv)
{
    UnitSimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : "";
        auto take = [&]() {
            if (!hasValue) {
                std::fprintf(stderr, "vordax4-unitsim: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            ++i;
            return std::string(value);
        };
        if (arg == "--protocol") {
            const ProtocolInfo* row = FindProtocolNamed(take());
            if (!row) {
                std::fprintf(stderr, "vordax4-unitsim: unknown protocol \"%s\"\n", value);
                return 2;
            }
            options.protocol = row->id;
        } else if (arg == "--type")
            options.unitType = std::atoi(take().c_str());
        else if (arg == "--firmware") {
            const std::string v = take();
            if (std::sscanf(v.c_str(), "%d.%d", &options.firmwareMajor, &options.firmwareMinor) != 2) {
                std::fprintf(stderr, "vordax4-unitsim: firmware must read MAJOR.MINOR\n");
                return 2;
            }
        } else if (arg == "--name")
            options.name = take();
        else if (arg == "--max-frame")
            options.maxFrameLength = std::atoi(take().c_str());
        else if (arg == "--baud")
            options.baud = static_cast<uint32_t>(std::atoi(take().c_str()));
        else if (arg == "--paced")
            options.paced = true;
        else if (arg == "--drop")
            options.dropShare = std::atof(take().c_str());
        else if (arg == "--corrupt")
            options.corruptShare = std::atof(take().c_str());
        else if (arg == "--delay")
            options.delayMs = std::atoi(take().c_str());
        else if (arg == "--delay-share")
            options.delayShare = std::atof(take().c_str());
        else if (arg == "--storing-ms")
            options.storingMs = std::atoi(take().c_str());
        else if (arg == "--echo")
            options.echo = true;
        else if (arg == "--silent")
            options.silent = true;
        else if (arg == "--ignore-writes")
            options.ignoreWrites = true;
        else if (arg == "--alter-reads")
            options.alteredReads = std::atoi(take().c_str());
        else if (arg == "--unplug-at-write")
            options.unplugAtWrite = std::atoi(take().c_str());
        else if (arg == "--unplug-at-read")
            options.unplugAtRead = std::atoi(take().c_str());
        else if (arg == "--seed")
            options.seed = static_cast<uint32_t>(std::strtoul(take().c_str(), nullptr, 10));
        else {
            Usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    UnitSim sim(options);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "vordax4-unitsim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("%s\n", sim.DevicePath().c_str());
    std::fprintf(stderr,
        "vordax4-unitsim: %s unit, type %d, firmware %d.%02d, at %u baud on %s, %s priority (Ctrl+C ends)\n",
        ProtocolName(options.protocol), options.unitType, options.firmwareMajor, options.firmwareMinor,
        sim.LineBaudRequired(), sim.DevicePath().c_str(), AnswerPriorityName(sim.Priority()));
    std::fflush(stdout);
    while (!stopRequested && !sim.Unplugged())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (sim.Unplugged())
        std::fprintf(stderr, "vordax4-unitsim: unplugged as asked\n");
    sim.Stop();
    return 0;
}
