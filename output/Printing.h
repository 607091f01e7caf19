#pragma once
// Printing keyframe tables and model statistics: one layout computed from the
// page size, a header line on every page, a fixed number of lines per page.
#include <string>
#include <vector>

#include "model/ModelSlot.h"
#include "output/DateStamp.h"
#include "output/PrintSurface.h"

namespace vandrel {

struct PrintLayout {
    int LineHeight = 0;
    int TopMargin = 0;  // also the left margin
    int RowsPerPage = 0;
    int FontSize = 0;    // points
    int ColumnUnit = 0;  // keyframe columns start at TopMargin + 0, 1, 2, 4, 5 units
};

// The layout for a page of `height` x `width` device pixels; a square page counts as landscape.
PrintLayout ComputePrintLayout(int height, int width);

// The number of pages for n lines.
int PageCount(size_t lines, int rowsPerPage);

// The texts a printout needs in the language of the moment.
struct PrintTexts {
    std::string titleSuffix;           // " - Keyframes", " - Statistics" or " - Statistik"
    std::string pageWord, ofWord;      // "Page ", " of "
    std::vector<std::string> columns;  // five column titles; empty for statistics
};

// The title of a printout and its job: the file name without ".txt", then the suffix.
std::string PrintTitle(const ModelSlot& slot, const std::string& suffix);

// Prints the rows of a keyframe table (Index, Keyframe, Comment, Scene, Number).
void PrintKeyframeTable(PrintSurface& surface, const ModelSlot& slot, const PrintTexts& texts, const Clock& clock,
                        Language uiLanguage);

// Prints the statistics lines, each stripped of blanks at both ends.
void PrintStatisticsLines(PrintSurface& surface, const ModelSlot& slot, const PrintTexts& texts, const Clock& clock,
                          Language uiLanguage);

}  // namespace vandrel
