#include "lang/LangString.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

int LanguageIndex = LANG_ENGLISH;

namespace {

constexpr int MAX_VARIANTS = 3;
constexpr size_t MAX_VARIANT_CHARS = 255;

// A text is parsed once; later uses only select a variant.
struct ParsedText {
    int count = 0;
    std::vector<std::string> variants;
    std::string reportText; // non-empty: the text is malformed and shown raw
};

std::mutex cacheMutex;
std::unordered_map<std::string, std::unique_ptr<ParsedText>> cache;
LangReportSink reportSink;

void report(const std::string& message)
{
    if (reportSink)
        reportSink(message);
    else
        std::fprintf(stderr, "Error: %s\n", message.c_str());
}

size_t utf8Chars(const std::string& s)
{
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

void trimTrailing(std::string& v)
{
    size_t end = v.size();
    while (end > 1 && (v[end - 1] == ' ' || v[end - 1] == '\t' || v[end - 1] == '\n' || v[end - 1] == '\r'))
        --end;
    v.resize(end);
}

std::unique_ptr<ParsedText> parse(const std::string& t)
{
    auto p = std::make_unique<ParsedText>();
    if (t.size() < 2 || t[1] != '#') {
        // A single "#" looks like a text whose parse was already recorded in place: its count
        // byte is the second character, which is never a valid count for ordinary characters.
        p->count = t.size() < 2 ? 0 : static_cast<unsigned char>(t[1]);
        return p;
    }
    if (t.size() < 3 || t[2] != '#') {
        p->reportText = "Chybi ### na zacatku v jazykovem retezci !\n" + t;
        return p;
    }
    size_t pos = 3;
    for (int i = 0; i < MAX_VARIANTS; ++i) {
        const size_t sep = t.find("##", pos);
        if (sep == std::string::npos || i == MAX_VARIANTS - 1) {
            std::string last = t.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos);
            p->variants.push_back(last);
            break;
        }
        std::string v = t.substr(pos, sep - pos);
        if (utf8Chars(v) > MAX_VARIANT_CHARS) {
            p->reportText = "Prilis dlouha jazykova mutace (>255 chars) !\n" + t;
            return p;
        }
        trimTrailing(v);
        p->variants.push_back(v);
        pos = sep + 2;
    }
    p->count = static_cast<int>(p->variants.size());
    return p;
}

const ParsedText& parsed(const char* text)
{
    std::lock_guard lock(cacheMutex);
    auto& slot = cache[text];
    if (!slot)
        slot = parse(text);
    return *slot;
}

} // namespace

void SetLangReportSink(LangReportSink sink) { reportSink = std::move(sink); }

const char* LangText(const char* text, int language)
{
    if (!text)
        return nullptr;
    if (text[0] != '#')
        return text;
    const ParsedText& p = parsed(text);
    if (!p.reportText.empty()) {
        report(p.reportText);
        return text;
    }
    if (language == -1)
        language = LanguageIndex;
    if (language < 0 || language >= LANG_COUNT)
        language = LANG_ENGLISH;
    if (p.count == 0 || p.count > MAX_VARIANTS) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "Chybny pocet jazykovych mutaci (%i > %i || %i==0) !\n ", p.count, MAX_VARIANTS, p.count);
        report(buf);
        return text;
    }
    if (language >= p.count)
        return p.variants[0].c_str();
    const std::string& v = p.variants[static_cast<size_t>(language)];
    if (v.empty() || v == "..")
        return p.variants[0].c_str();
    return v.c_str();
}

std::string LangText(const std::string& text, int language) { return LangText(text.c_str(), language); }
