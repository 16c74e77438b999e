#pragma once

#include "update/RtfText.h"

#include <string>

// A small reader for the RTF descriptions of the update document: paragraphs, bold, italic, hex
// escapes in the document's code page and Unicode escapes. Font, colour and style tables,
// pictures and other destinations are skipped; unknown control words are ignored. Every read is
// bounds-checked, so any input gives some text and never reads outside it.
RtfText ReadRtf(const std::string& rtf);
