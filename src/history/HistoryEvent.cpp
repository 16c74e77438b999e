#include "history/HistoryEvent.h"

#include "lang/LangString.h"

namespace {

struct KindNames {
    const char* name;
    const char* text;
};
constexpr KindNames KIND_NAMES[HISTORY_KINDS] = {
    { "connect", "###Connect##Verbinden##Připojení" },
    { "read", "###Read##Lesen##Čtení" },
    { "verify", "###Verify##Vergleichen##Verifikace" },
    { "program", "###Program##Programmieren##Programování" },
};

const KindNames& Names(HistoryKind kind)
{
    const int k = static_cast<int>(kind);
    return KIND_NAMES[k >= 0 && k < HISTORY_KINDS ? k : 0];
}

} // namespace

const char* HistoryKindName(HistoryKind kind) { return Names(kind).name; }

const char* HistoryKindText(HistoryKind kind) { return LangText(Names(kind).text); }
