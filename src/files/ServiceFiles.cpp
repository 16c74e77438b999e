#include "files/ServiceFiles.h"

#include "base/AtomicFile.h"
#include "files/FileTexts.h"
#include "files/IgnWriter.h"
#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

constexpr size_t MAX_TEXT = 8190;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

QString ignPath(const QString& folder, const std::string& name)
{
    return folder + "/" + QString::fromUtf8(name.c_str()) + ".ign";
}

// The lines of a text file without their line breaks, each cut to its first 299 characters.
bool readLines(const QString& path, std::vector<std::string>& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    lines.clear();
    while (!file.atEnd() && lines.size() < static_cast<size_t>(ServiceFiles::MAX_COMPARE_LINES)) {
        QByteArray line = file.readLine(1 << 20);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.push_back(line.left(ServiceFiles::MAX_COMPARE_LINE).toStdString());
    }
    return true;
}

void compareLines(const std::vector<std::string>& old, const std::vector<std::string>& now, std::string& out)
{
    const size_t n = std::min(old.size(), now.size());
    for (size_t i = 0; i < n; ++i) {
        if (old[i] == now[i] || old[i].rfind("EXE", 0) == 0)
            continue;
        std::string marked = old[i];
        for (size_t k = 0; k < std::min(marked.size(), now[i].size()); ++k)
            if (marked[k] == now[i][k])
                marked[k] = ' ';
        out += "....line:" + std::to_string(i + 1) + "\n" + marked + "\n" + now[i] + "\n";
    }
}

} // namespace

std::string ServiceFiles::DefaultBikeText(int code)
{
    const char* text = Fact("BIKE").ChoiceText(code);
    return text ? LangText(text) : std::to_string(code);
}

std::string ServiceFiles::FileName(const std::string& text)
{
    std::string out;
    bool opened = false;
    bool afterDropped = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' && (i == 0 || text[i - 1] == ' ')) {
            afterDropped = true;
            continue;
        }
        if (afterDropped && isDigit(c)) {
            out += '(';
            opened = true;
        }
        afterDropped = false;
        out += c;
    }
    if (opened) {
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        out += ')';
    }
    return out;
}

int ServiceFiles::SaveAllNew(const QString& base, const IgnUnitInfo& unit, const BuildStamp& stamp,
    const BikeText& bikeText, const IgnMessageSink& sink)
{
    const QString folder = base + "/new_ign";
    QDir().mkpath(folder);
    int written = 0;
    for (int code = 0; code <= LAST_BIKE_CODE; ++code) {
        ParamImage img;
        img.Adrb(BIKE) = static_cast<uint8_t>(code);
        ResetDefaults(img, PAGE_ALL);
        ValidateImage(img);
        const std::string name = FileName(bikeText(code).substr(0, MAX_TEXT));
        if (WriteIgnFile(ignPath(folder, name), img, unit, nullptr, stamp))
            ++written;
        else if (sink)
            sink(FileMessageText(FileMessage::OpenFileError));
    }
    return written;
}

bool ServiceFiles::CompareAllNew(const QString& base, const BikeText& bikeText, const IgnMessageSink& sink)
{
    const QString now = base + "/new_ign", old = base + "/new_ign_old";
    std::string out;
    for (int code = 0; code <= LAST_BIKE_CODE; ++code) {
        const std::string text = bikeText(code).substr(0, MAX_TEXT);
        out += "------------------------------------------------------   " + text + "\n";
        const std::string name = FileName(text);
        std::vector<std::string> oldLines, newLines;
        if (!readLines(ignPath(old, name), oldLines)) {
            out += "!!!!!!!!!soubor \"old\" se nepodarilo otevrit \n";
            continue;
        }
        if (!readLines(ignPath(now, name), newLines)) {
            out += "!!!!!!!!!soubor \"akt\" se nepodarilo otevrit !!!!!!!!!!!!!!\n";
            continue;
        }
        compareLines(oldLines, newLines, out);
    }
    if (!QDir(now).exists() || !SaveFileAtomically(now + "/compare_all_new.txt", QByteArray::fromStdString(out)))
        return false;
    if (sink)
#ifdef Q_OS_WIN
        sink("Results in file \".\\new_ign\\compare_all_new.txt\"");
#else
        sink("Results in file \"./new_ign/compare_all_new.txt\"");
#endif
    return true;
}
