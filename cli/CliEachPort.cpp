#include "CliEachPort.h"

#include "link/PortTable.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace {

// The progress bar's lines ("  40 %") say nothing once the port has ended.
bool IsProgressLine(const std::string& line) { return line.size() >= 2 && line.ends_with(" %") && line[0] == ' '; }

std::vector<std::string> MessageLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && !IsProgressLine(line))
            lines.push_back(line);
    return lines;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

std::string ResultLine(const PortResult& r)
{
    return "COM" + std::to_string(r.port) + "\t" + OrDash(r.device) + "\t" + OrDash(r.unitName) + "\t"
        + OrDash(r.serialNumber) + "\t" + (r.ok ? "OK" : "FAILED") + "\t" + r.message;
}

QJsonObject ResultJson(const PortResult& r)
{
    QJsonObject o = r.json;
    o["port"] = r.port;
    o["device"] = QString::fromStdString(r.device);
    o["name"] = QString::fromStdString(r.unitName);
    o["serialNumber"] = QString::fromStdString(r.serialNumber);
    o["ok"] = r.ok;
    o["message"] = QString::fromStdString(r.message);
    return o;
}

// One port's run: its own session, its own buffers for what the session prints.
PortResult RunPort(const PortChoice& choice, int timeoutMs, CliTicker& ticker, const PortWork& work,
    std::vector<std::string>& messages)
{
    std::ostringstream out, err;
    CliIo io { out, err };
    PortResult r;
    r.port = choice.forcedPort;
    {
        CliUnitSession session(choice, timeoutMs, io, &ticker);
        r.ok = work(session, r);
        r.device = session.link.Ports().DevicePath(choice.forcedPort);
        r.unitName = session.manager.unitInfo.name;
        r.serialNumber = session.manager.unitInfo.serialNumber;
        // A failed port is told by its failure; a step's title the unit was pulled out in
        // ("Reference read:") says nothing, the error lines then say what happened.
        if (r.message.empty() && (r.ok || session.ResultFailed()))
            r.message = session.ResultText();
    }
    messages = MessageLines(err.str());
    if (r.message.empty() && !messages.empty())
        r.message = messages.back();
    if (r.device.empty())
        r.device = choice.map.Device(choice.forcedPort);
    return r;
}

bool ParsePort(const std::string& value, PortChoice& choice, CliIo& io)
{
    choice = PortChoice {};
    // A device named on the line is this port's only device; a bare number keeps the mapped ones.
    if (value.find('=') != std::string::npos)
        choice.map = PortMap {};
    std::string error;
    if (!ParsePortOption(value, choice, &error)) {
        io.err << "vordax4-cli: " << error << "\n";
        return false;
    }
    return true;
}

bool ParseTimeout(const std::string& value, int& timeoutMs, CliIo& io)
{
    char* end = nullptr;
    const double seconds = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end || !(seconds > 0 && seconds <= 3600)) {
        io.err << "vordax4-cli: --timeout wants seconds between 0 and 3600, not '" << value << "'\n";
        return false;
    }
    timeoutMs = static_cast<int>(seconds * 1000);
    return true;
}

std::vector<PortChoice> PresentPorts()
{
    PortChoice all;
    PortTable sys;
    sys.SetPortMap(all.map);
    sys.EnumeratePorts();
    std::vector<PortChoice> ports;
    for (int port = 1; port < PORT_COUNT; ++port)
        if (sys.Port(port).present) {
            PortChoice c = all;
            c.forcedPort = port;
            ports.push_back(c);
        }
    return ports;
}

} // namespace

bool CliEachPort::TakeOption(std::vector<std::string>& args) { return std::erase(args, "--each") > 0; }

bool CliEachPort::TakePorts(std::vector<std::string>& args, std::vector<PortChoice>& ports, int& timeoutMs, CliIo& io)
{
    std::vector<std::string> rest;
    bool named = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "--port" && a != "--timeout") {
            rest.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            io.err << "vordax4-cli: " << a << " needs a value\n";
            return false;
        }
        const std::string& value = args[++i];
        if (a == "--timeout") {
            if (!ParseTimeout(value, timeoutMs, io))
                return false;
            continue;
        }
        named = true;
        PortChoice choice;
        if (!ParsePort(value, choice, io))
            return false;
        ports.push_back(choice);
    }
    if (!named)
        ports = PresentPorts();
    std::set<int> seen;
    for (const PortChoice& p : ports)
        if (!seen.insert(p.forcedPort).second) {
            io.err << "vordax4-cli: COM" << p.forcedPort << " is named twice\n";
            return false;
        }
    if (ports.empty()) {
        io.err << "vordax4-cli: --each found no serial port; name them with --port N=DEVICE\n";
        return false;
    }
    args = std::move(rest);
    return true;
}

int CliEachPort::Run(const std::vector<PortChoice>& ports, int timeoutMs, const PortWork& work, bool json, CliIo& io)
{
    CliTicker ticker;
    std::mutex printing;
    std::vector<PortResult> results(ports.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < ports.size(); ++i)
        threads.emplace_back([&, i] {
            std::vector<std::string> messages;
            results[i] = RunPort(ports[i], timeoutMs, ticker, work, messages);
            if (json)
                return;
            // Each line goes out as its port ends, so a bench log shows every unit at once.
            const std::lock_guard lock(printing);
            io.out << ResultLine(results[i]) << std::endl;
            if (!results[i].ok)
                for (const std::string& m : messages)
                    io.err << "COM" << results[i].port << ": " << m << "\n";
        });
    for (std::thread& t : threads)
        t.join();

    const auto succeeded = std::count_if(results.begin(), results.end(), [](const PortResult& r) { return r.ok; });
    const auto failed = static_cast<long>(results.size()) - succeeded;
    if (json) {
        QJsonArray list;
        for (const PortResult& r : results)
            list.append(ResultJson(r));
        const QJsonObject doc { { "ports", list }, { "succeeded", static_cast<int>(succeeded) },
            { "failed", static_cast<int>(failed) } };
        io.out << QJsonDocument(doc).toJson(QJsonDocument::Indented).toStdString();
    } else {
        io.out << "summary: " << succeeded << " of " << results.size() << " ports OK, " << failed << " failed"
               << std::endl;
    }
    return failed == 0 ? CLI_OK : CLI_FAILED;
}
