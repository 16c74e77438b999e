#include "files/FileTexts.h"

#include "lang/LangString.h"
#include "lang/RuntimeTexts.h"

std::string FileMessageText(FileMessage message)
{
    return RuntimeTexts::TextIn(static_cast<int>(message), LanguageIndex);
}
