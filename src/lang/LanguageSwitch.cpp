#include "lang/LanguageSwitch.h"

void ApplyCaptions(const LanguageTargets& targets, int language)
{
    if (targets.updateWindowTitle)
        targets.updateWindowTitle();
    ApplyCaptionTable(CaptionTable(), targets.caption, language);
}

void BuildRuntimeTexts(RuntimeTexts& texts, const LanguageTargets& targets, int language)
{
    texts.Build(language);
    ApplyCaptionTable(MenuTable(), targets.menu, texts.Language());
    ApplyCaptionTable(HintTable(), targets.hint, texts.Language());
    ApplyCaptions(targets, texts.Language());
}
