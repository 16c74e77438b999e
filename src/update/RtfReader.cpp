#include "update/RtfReader.h"

#include "update/CodePage.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t MAX_GROUP_DEPTH = 200; // deeper groups are read but no longer tracked
constexpr size_t MAX_WORD = 32;
constexpr int MAX_DIGITS = 10;

// Destinations whose contents are not text of the document.
constexpr const char* kSkippedDestinations[] = {
    "fonttbl",
    "colortbl",
    "stylesheet",
    "info",
    "pict",
    "object",
    "header",
    "footer",
    "headerl",
    "headerr",
    "footerl",
    "footerr",
    "listtable",
    "listoverridetable",
    "rsidtbl",
    "generator",
    "xmlnstbl",
    "themedata",
    "colorschememapping",
    "latentstyles",
    "datastore",
    "fldinst",
    "filetbl",
    "revtbl",
    "pgdsctbl",
};

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool skip = false;
    int unicodeSkip = 1; // characters that follow \uN as its 8-bit fallback
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    explicit Reader(const std::string& rtf)
        : in_(rtf)
    {
    }

    RtfText read()
    {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                controlSequence();
            else if (c != '\r' && c != '\n')
                byteChar(static_cast<uint8_t>(c));
        }
        flushSurrogate();
        if (!text_.paragraphs.back().runs.empty() || text_.paragraphs.size() == 1)
            return std::move(text_);
        text_.paragraphs.pop_back();
        return std::move(text_);
    }

private:
    void openGroup()
    {
        skipFallback_ = 0;
        if (stack_.size() < MAX_GROUP_DEPTH)
            stack_.push_back(state_);
        else
            ++untracked_;
        groupStart_ = true;
    }

    void closeGroup()
    {
        groupStart_ = false;
        skipFallback_ = 0;
        if (untracked_ > 0) {
            --untracked_;
            return;
        }
        if (!stack_.empty()) {
            state_ = stack_.back();
            stack_.pop_back();
        }
    }

    void controlSequence()
    {
        if (pos_ >= in_.size())
            return;
        // Every control word or symbol counts as one of the fallback characters after \uN.
        const bool fallback = skipFallback_ > 0;
        if (fallback)
            --skipFallback_;
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            if (c == '\'' && fallback && pos_ + 1 < in_.size())
                pos_ += 2;
            else if (!fallback)
                controlSymbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            if (word.size() < MAX_WORD)
                word += in_[pos_];
            ++pos_;
        }
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        for (int digits = 0; pos_ < in_.size() && IsDigit(in_[pos_]); ++pos_, ++digits) {
            hasParam = true;
            if (digits < MAX_DIGITS)
                param = param * 10 + (in_[pos_] - '0');
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        const auto value = static_cast<int>(std::clamp<long long>(negative ? -param : param, -2147483647, 2147483647));
        if (!fallback)
            controlWord(word, hasParam, value);
    }

    void controlSymbol(char c)
    {
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            byteChar(static_cast<uint8_t>(c));
            break;
        case '\'':
            hexChar();
            break;
        case '*':
            if (atGroupStart)
                state_.skip = true;
            break;
        case '~':
            character(0x00A0);
            break;
        case '_':
            character('-');
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            break;
        }
    }

    void controlWord(const std::string& word, bool hasParam, int value)
    {
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        if (atGroupStart) {
            for (const char* d : kSkippedDestinations) {
                if (word == d) {
                    state_.skip = true;
                    return;
                }
            }
        }
        if (word == "par") {
            paragraph();
        } else if (word == "line") {
            character('\n');
        } else if (word == "tab") {
            character('\t');
        } else if (word == "b") {
            state_.bold = !hasParam || value != 0;
        } else if (word == "i") {
            state_.italic = !hasParam || value != 0;
        } else if (word == "plain") {
            state_.bold = state_.italic = false;
        } else if (word == "u" && hasParam) {
            unicodeChar(value);
        } else if (word == "uc" && hasParam) {
            state_.unicodeSkip = std::clamp(value, 0, 10);
        } else if (word == "ansicpg" && hasParam) {
            codePage_ = value == 1250 ? CodePage::Windows1250 : CodePage::Windows1252;
        } else if (word == "emdash") {
            character(0x2014);
        } else if (word == "endash") {
            character(0x2013);
        } else if (word == "bullet") {
            character(0x2022);
        } else if (word == "lquote") {
            character(0x2018);
        } else if (word == "rquote") {
            character(0x2019);
        } else if (word == "ldblquote") {
            character(0x201C);
        } else if (word == "rdblquote") {
            character(0x201D);
        }
    }

    void hexChar()
    {
        const int hi = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
        const int lo = pos_ + 1 < in_.size() ? HexValue(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0)
            return;
        pos_ += 2;
        byteChar(static_cast<uint8_t>(hi * 16 + lo));
    }

    // \uN: N is a signed 16-bit value, followed by unicodeSkip fallback characters to drop.
    void unicodeChar(int value)
    {
        const auto unit = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        skipFallback_ = state_.unicodeSkip;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushSurrogate();
            highSurrogate_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_) {
            const char32_t c = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
            highSurrogate_ = 0;
            emit(c);
            return;
        }
        character(unit);
    }

    void byteChar(uint8_t b)
    {
        groupStart_ = false;
        if (skipFallback_ > 0) {
            --skipFallback_;
            return;
        }
        character(CodePageChar(codePage_, b));
    }

    void character(char32_t c)
    {
        flushSurrogate();
        emit(c);
    }

    void flushSurrogate()
    {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            emit(0xFFFD);
        }
    }

    void emit(char32_t c)
    {
        if (state_.skip)
            return;
        std::vector<RtfRun>& runs = text_.paragraphs.back().runs;
        if (runs.empty() || runs.back().bold != state_.bold || runs.back().italic != state_.italic)
            runs.push_back({ {}, state_.bold, state_.italic });
        AppendUtf8(runs.back().text, c);
    }

    void paragraph()
    {
        flushSurrogate();
        if (!state_.skip)
            text_.paragraphs.emplace_back();
    }

    const std::string& in_;
    size_t pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    size_t untracked_ = 0;
    bool groupStart_ = false;
    int skipFallback_ = 0;
    char32_t highSurrogate_ = 0;
    CodePage codePage_ = CodePage::Windows1252;
    RtfText text_ { { RtfParagraph {} } };
};

} // namespace

RtfText ReadRtf(const std::string& rtf) { return Reader(rtf).read(); }

std::string RtfText::plain() const
{
    std::string out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i)
            out += "\n";
        for (const RtfRun& r : paragraphs[i].runs)
            out += r.text;
    }
    return out;
}
