#pragma once

#include <string>
#include <vector>

// Formatted text as the RTF reader delivers it: paragraphs of runs with bold and italic.
struct RtfRun {
    std::string text; // UTF-8; "\n" is a line break inside the paragraph, "\t" a tab
    bool bold = false;
    bool italic = false;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
};

struct RtfText {
    std::vector<RtfParagraph> paragraphs;

    // The text without formatting, paragraphs separated by "\n".
    std::string plain() const;
};
