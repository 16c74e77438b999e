#include "files/FileTexts.h"

#include "lang/LangString.h"

namespace {

struct MessageRow {
    FileMessage message;
    int runtimeText;
    const char* text;
};

constexpr MessageRow MESSAGES[] = {
    { FileMessage::OpenFileError, 32,
        "###Open file error!##Fehler beim öffnen der Datei!##Chyba při otevírání souboru!" },
    { FileMessage::OlderVersion, 34,
        "###Older or another version of *.ign file!\n\n"
        "Some parameters won't be changed or will be set to default value.\n"
        "They are parameters which are not in older version or have another structure."
        "##Älter oder andere Version von Datendatei *.ign!\n\n"
        "Einige Kenndaten werden nicht geändert oder werden implizit Wert gestellt.\n"
        "Sie sind die Kenndaten, die in älter Version nicht sind oder andere Struktur haben"
        "##Starší nebo odlišná verze souboru *.ign!\n\n"
        "Některé parametry budou nezměněny nebo nataveny na základní hodnotu.\n"
        "Jsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu." },
    { FileMessage::UnmatchedVersion, 35,
        "###Unmatched version of *.ign file!##Datendatei *.ign ist nicht kompatiebel!##Neshodná verze souboru *.ign!" },
};

} // namespace

const char* FileMessageLangString(FileMessage message)
{
    for (const MessageRow& row : MESSAGES)
        if (row.message == message)
            return row.text;
    return "";
}

std::string FileMessageText(FileMessage message) { return LangText(FileMessageLangString(message)); }
