#include "update/UpdateDocument.h"

#include "lang/LangString.h"
#include "model/ImageLayout.h"

#include <QString>
#include <QUrl>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

struct Recommendation {
    int number = 0;
    std::string from = "0000_00_00";
    std::string to = "9999_99_99";
    std::string content;
};

// The text between open and close inside text; nullopt when either is missing.
std::optional<std::string> Element(const std::string& text, const char* open, const char* close)
{
    const size_t start = text.find(open);
    if (start == std::string::npos)
        return std::nullopt;
    const size_t body = start + std::char_traits<char>::length(open);
    const size_t end = text.find(close, body);
    if (end == std::string::npos)
        return std::nullopt;
    return text.substr(body, end - body);
}

// The value of name="..." among the attributes; the closing quote may be missing.
std::optional<std::string> Attribute(const std::string& attributes, const char* name)
{
    const std::string key = std::string(name) + "=\"";
    const size_t start = attributes.find(key);
    if (start == std::string::npos)
        return std::nullopt;
    const size_t body = start + key.size();
    const size_t end = attributes.find('"', body);
    return attributes.substr(body, end == std::string::npos ? std::string::npos : end - body);
}

// Reads the number as "%i" does (decimal, 0x hexadecimal, 0 octal); unreadable gives 0 and values
// beyond the int range are clamped instead of overflowing.
int ReadNumber(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 0);
    if (end == begin)
        return 0;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string Trimmed(const std::string& s)
{
    const char* blanks = " \t\r\n";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// Only a web address goes to the system's "open" action: a file:, a mail or a program's link
// from a document fetched over the network would run or reveal something on this computer.
bool WebAddress(const std::string& link)
{
    const QUrl url(QString::fromStdString(link), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "https" || scheme == "http") && !url.host().isEmpty();
}

std::string Link(const std::string& content, const char* open, const char* close)
{
    const std::optional<std::string> link = Element(content, open, close);
    const std::string text = link ? Trimmed(*link).substr(0, MAX_LINK_CHARS) : std::string();
    return WebAddress(text) ? text : std::string();
}

std::vector<Recommendation> Recommendations(const std::string& block)
{
    constexpr const char* OPEN = "<recommendation";
    constexpr const char* CLOSE = "</recommendation>";
    std::vector<Recommendation> list;
    size_t pos = 0;
    while (true) {
        const size_t start = block.find(OPEN, pos);
        if (start == std::string::npos)
            break;
        const size_t attrStart = start + std::char_traits<char>::length(OPEN);
        const size_t attrEnd = block.find('>', attrStart);
        if (attrEnd == std::string::npos)
            break;
        const std::string attributes = block.substr(attrStart, attrEnd - attrStart);
        size_t end = block.find(CLOSE, attrEnd + 1);
        if (end == std::string::npos)
            end = block.size();
        Recommendation r;
        if (const auto number = Attribute(attributes, "update_number"))
            r.number = ReadNumber(*number);
        if (const auto from = Attribute(attributes, "from"))
            r.from = from->substr(0, MAX_DATE_CHARS);
        if (const auto to = Attribute(attributes, "to"))
            r.to = to->substr(0, MAX_DATE_CHARS);
        r.content = block.substr(attrEnd + 1, end - attrEnd - 1);
        list.push_back(std::move(r));
        pos = end;
    }
    return list;
}

} // namespace

std::optional<UpdateOffer> EvaluateUpdateDocument(
    const std::string& document, const std::string& compileDate, int language)
{
    char productTag[80];
    std::snprintf(productTag, sizeof productTag, "<product class=\"%s\" key=\"%i\">", PRODUCT_WORD, PROGRAM_KEY);
    const size_t productStart = document.find(productTag);
    if (productStart == std::string::npos)
        return std::nullopt;
    const size_t blockStart = productStart + std::char_traits<char>::length(productTag);
    const size_t blockEnd = document.find("</product>", blockStart);
    const std::string block
        = document.substr(blockStart, blockEnd == std::string::npos ? std::string::npos : blockEnd - blockStart);

    const Recommendation* best = nullptr;
    int bestNumber = -1;
    const std::vector<Recommendation> list = Recommendations(block);
    for (const Recommendation& r : list) {
        const bool applies = r.from <= compileDate && compileDate < r.to;
        if (applies && r.number > bestNumber) {
            best = &r;
            bestNumber = r.number;
        }
    }
    if (!best)
        return std::nullopt;

    const bool czech = language == LANG_CZECH;
    UpdateOffer offer;
    offer.updateNumber = best->number;
    std::optional<std::string> description;
    if (czech)
        description = Element(best->content, "<czech>", "</czech>");
    if (!description || description->empty())
        description = Element(best->content, "<english>", "</english>");
    if (description && !description->empty()) {
        offer.description = *description;
    } else {
        char text[96];
        std::snprintf(text, sizeof text, "Motravex patch %s Key=%i Ver=%i", PRODUCT_WORD, PROGRAM_KEY, best->number);
        offer.description = text;
    }
    offer.rtf = offer.description.find("{\\rtf1") != std::string::npos;
    if (czech)
        offer.webLink = Link(best->content, "<web_cz>", "</web_cz>");
    if (offer.webLink.empty())
        offer.webLink = Link(best->content, "<web>", "</web>");
    offer.downloadLink = Link(best->content, "<download>", "</download>");
    return offer;
}
