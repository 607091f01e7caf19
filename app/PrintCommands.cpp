#include "app/PrintCommands.h"

#include "app/Texts.h"
#include "output/PrintSurface.h"
#include "output/Printing.h"

namespace vandrel {

// Without a printer the print dialog is cancelled.
std::unique_ptr<PrintSurface> Shell::AskPrinter(const std::string&) { return nullptr; }

namespace {

PrintTexts TextsFor(Language uiLanguage, bool keyframes) {
    PrintTexts t;
    t.titleSuffix = keyframes ? std::string(texts::KeyframesSuffix) : Tr(texts::StatisticsSuffix, uiLanguage);
    t.pageWord = Tr(texts::PageOf, uiLanguage);
    t.ofWord = Tr(texts::Of, uiLanguage);
    if (keyframes)
        for (const Bilingual* c : {&texts::ColumnIndex, &texts::ColumnKeyframe, &texts::ColumnComment,
                                   &texts::ColumnScene, &texts::ColumnNumber})
            t.columns.push_back(Tr(*c, uiLanguage));
    return t;
}

}  // namespace

void PrintKeyframes(Program& p, Shell& shell, int n) {
    const PrintTexts t = TextsFor(p.UiLanguage, true);
    if (auto surface = shell.AskPrinter(PrintTitle(p.ws.File(n), t.titleSuffix)))
        PrintKeyframeTable(*surface, p.ws.File(n), t, p.clock, p.UiLanguage);
}

void PrintStatistics(Program& p, Shell& shell, int n) {
    const PrintTexts t = TextsFor(p.UiLanguage, false);
    if (auto surface = shell.AskPrinter(PrintTitle(p.ws.File(n), t.titleSuffix)))
        PrintStatisticsLines(*surface, p.ws.File(n), t, p.clock, p.UiLanguage);
}

}  // namespace vandrel
