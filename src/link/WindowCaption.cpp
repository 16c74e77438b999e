#include "link/WindowCaption.h"

#include "base/ProductIdentity.h"
#include "lang/LangString.h"

#include <cstdio>

std::string WindowCaption(const std::string& fileName, bool searchEnabled)
{
    char head[64];
    std::snprintf(head, sizeof head, "  %s (v%i)       ", PRODUCT_WORD, PROGRAM_KEY);
    std::string caption = head;
    if (!fileName.empty()) {
        caption += fileName;
        if (!searchEnabled)
            caption += "   ";
    }
    if (!searchEnabled)
        caption += LangText("###(Disconnected by bootloader)##(Von Bootloader getrennt)##(Dočasně odpojeno bootloaderem)");
    return caption;
}
