#include "CliCommand.h"

#include "base/PngFile.h"
#include "lang/LangString.h"
#include "monitor/LogPlot.h"
#include "monitor/LogTrace.h"
#include "monitor/ui/LogPlotPainter.h"

#include <QImage>
#include <QPainter>
#include <QSize>

namespace {

const char* const DEFAULT_TRACES = "rpm,load,adv1,supply";

struct LogPlotOptions {
    std::string file, out, traces = DEFAULT_TRACES;
    QSize size{ 1200, 800 };
};

bool ParseTraces(const std::string& list, std::vector<int>& traces, CliIo& io)
{
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string key = list.substr(start, comma - start);
        const int trace = LogTrace::Find(key);
        if (trace < 0) {
            io.err << "log-plot: unknown trace \"" << key << "\"\n";
            return false;
        }
        traces.push_back(trace);
        start = comma + 1;
    }
    return true;
}

bool ParseOptions(const std::vector<std::string>& args, LogPlotOptions& o, CliIo& io)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "-o" || a == "--traces" || a == "--size") && !hasValue)
            return false;
        if (a == "-o")
            o.out = args[++i];
        else if (a == "--traces")
            o.traces = args[++i];
        else if (a == "--size") {
            if (!CliParseSize(args[++i], o.size)) {
                io.err << "log-plot: the size must be WxH, e.g. 1200x800\n";
                return false;
            }
        } else if (o.file.empty() && a.rfind("-", 0) != 0)
            o.file = a;
        else
            return false;
    }
    return !o.file.empty() && !o.out.empty();
}

} // namespace

int CliLogPlot(const std::vector<std::string>& args, CliIo& io)
{
    LogPlotOptions o;
    LogPlotView view;
    if (!ParseOptions(args, o, io) || !ParseTraces(o.traces, view.traces, io)) {
        io.err << "usage: vordax4-cli log-plot FILE.ignlog -o OUT.png [--traces rpm,tp,adv1,...] [--size WxH]\n";
        return CLI_USAGE;
    }
    LogPlot plot;
    const std::string error = plot.Load(o.file);
    if (!error.empty()) {
        io.err << "log-plot: " << o.file << ": " << LangText(error) << "\n";
        return CliBadInput(io);
    }
    if (plot.empty()) {
        io.err << "log-plot: " << o.file << " holds no monitor records\n";
        return CLI_FAILED;
    }
    view.from = plot.start();
    view.to = plot.end() > plot.start() ? plot.end() : plot.start() + 1.0;
    QImage picture(o.size, QImage::Format_RGB32);
    {
        QPainter p(&picture);
        LogPlotPainter(plot, view).Paint(p, picture.rect());
    }
    QString reason;
    if (!SavePng(picture, CliPath(o.out), &reason)) {
        io.err << "log-plot: cannot write " << o.out << ": " << reason.toStdString() << "\n";
        return CLI_FAILED;
    }
    return CLI_OK;
}
