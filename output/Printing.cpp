#include "output/Printing.h"

#include <cmath>
#include <functional>

#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/Text.h"
#include "output/KeyframeSidecar.h"

namespace vandrel {

PrintLayout ComputePrintLayout(int height, int width) {
    PrintLayout layout;
    const long long half3H = (3LL * height) / 2;
    if (height > width) {
        layout.LineHeight = height / 60;
        layout.TopMargin = static_cast<int>(std::nearbyint(static_cast<double>(half3H) / 29.7)) + layout.LineHeight;
        layout.RowsPerPage = 50;
    } else {
        layout.LineHeight = height / 43;
        layout.TopMargin = static_cast<int>(half3H / 21) + layout.LineHeight;
        layout.RowsPerPage = 34;
    }
    layout.FontSize = layout.LineHeight / 2;
    layout.ColumnUnit = (width - 2 * layout.TopMargin) / 10;
    return layout;
}

int PageCount(size_t lines, int rowsPerPage) {
    return rowsPerPage <= 0 ? 0 : static_cast<int>((lines + size_t(rowsPerPage) - 1) / size_t(rowsPerPage));
}

std::string PrintTitle(const ModelSlot& slot, const std::string& suffix) {
    return std::string(FileStemOf(slot.Path)) + suffix;
}

namespace {

// Where the five keyframe columns start, in column units from the left margin;
// the last one runs to the right margin, ten units from the left one.
constexpr int kColumnUnits[] = {0, 1, 2, 4, 5, 10};

// The room of column c: up to the next column, less a gap, so that a long
// comment never runs into the scene number beside it.
int ColumnWidth(int c, const PrintLayout& layout) {
    return (kColumnUnits[c + 1] - kColumnUnits[c]) * layout.ColumnUnit - layout.ColumnUnit / 8;
}

// The steps both printouts share; drawLine(i, k, layout) draws line i at place k of its page.
void PrintPages(PrintSurface& surface, const ModelSlot& slot, const PrintTexts& texts, const Clock& clock,
                Language uiLanguage, size_t lineCount, const std::function<void(size_t, int, const PrintLayout&)>& drawLine) {
    const std::string title = PrintTitle(slot, texts.titleSuffix);
    if (!surface.StartJob(title)) return;
    const PrintLayout layout = ComputePrintLayout(surface.PageHeight(), surface.PageWidth());
    if (!surface.BeginDrawing()) {
        surface.EndJob();
        return;
    }
    const int total = PageCount(lineCount, layout.RowsPerPage);
    int page = 1;
    for (size_t i = 0; i < lineCount; ++i) {
        const int k = static_cast<int>(i % size_t(layout.RowsPerPage));
        if (k == 0) {
            if (i > 0) {
                surface.NewPage();
                ++page;
            }
            surface.SetFont(true, layout.FontSize);
            surface.DrawText(layout.TopMargin, layout.TopMargin,
                             title + "     " + DateStamp(clock.Now(), uiLanguage) + "     " + texts.pageWord +
                                 DecimalText(page) + texts.ofWord + DecimalText(total),
                             0);
            for (size_t c = 0; c < texts.columns.size() && c < 5; ++c)
                surface.DrawText(layout.TopMargin + kColumnUnits[c] * layout.ColumnUnit,
                                 layout.TopMargin + 2 * layout.LineHeight, texts.columns[c], ColumnWidth(int(c), layout));
        }
        surface.SetFont(false, layout.FontSize);
        drawLine(i, k, layout);
    }
    surface.EndJob();
}

}  // namespace

void PrintKeyframeTable(PrintSurface& surface, const ModelSlot& slot, const PrintTexts& texts, const Clock& clock,
                        Language uiLanguage) {
    const std::vector<SceneNumber> numbers = SceneNumbering(slot.Rows);
    PrintPages(surface, slot, texts, clock, uiLanguage, slot.Rows.size(), [&](size_t i, int k, const PrintLayout& l) {
        const int y = l.TopMargin + (k + 3) * l.LineHeight;
        const std::string fields[] = {DecimalText(numbers[i].Index), DecimalText(FrameNumberOfRow(slot.Rows[i])),
                                      std::string(RowComment(slot.Rows[i])), DecimalText(numbers[i].Scene),
                                      DecimalText(numbers[i].Number)};
        for (int c = 0; c < 5; ++c)
            surface.DrawText(l.TopMargin + kColumnUnits[c] * l.ColumnUnit, y, fields[c], ColumnWidth(c, l));
    });
}

void PrintStatisticsLines(PrintSurface& surface, const ModelSlot& slot, const PrintTexts& texts, const Clock& clock,
                          Language uiLanguage) {
    const auto& lines = slot.ModelStatistics.All();
    PrintPages(surface, slot, texts, clock, uiLanguage, lines.size(), [&](size_t i, int k, const PrintLayout& l) {
        surface.DrawText(l.TopMargin, l.TopMargin + (k + 2) * l.LineHeight, std::string(StripBlanks(lines[i])), 0);
    });
}

}  // namespace vandrel
