#pragma once

#include <string>

// The recommendation the update document offers to this build, ready for the patch dialog.
struct UpdateOffer {
    int updateNumber = 0;
    std::string description; // 8-bit text of the document, plain or RTF
    bool rtf = false; // the description contains "{\rtf1"
    std::string webLink; // empty: no web page
    std::string downloadLink; // empty: no download
};
