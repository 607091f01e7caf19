// The page layout of printouts and every text a printout draws, recorded on a
// printer surface of a chosen page size.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/PrintCommands.h"
#include "output/KeyframeSidecar.h"
#include "output/Printing.h"

namespace vandrel {
namespace {

// A printer that writes down what it is asked to do, one entry per call:
// "job NAME", "begin", "page", "end", and "B58 x,y TEXT" / "R58 x,y TEXT" for a
// text drawn with the bold or regular font of that size.
class RecordingSurface : public PrintSurface {
public:
    RecordingSurface(int height, int width, std::vector<std::string>& log, bool canStart, bool canDraw)
        : height_(height), width_(width), log_(log), canStart_(canStart), canDraw_(canDraw) {}
    bool StartJob(const std::string& jobName) override {
        log_.push_back("job " + jobName);
        return canStart_;
    }
    int PageHeight() const override { return height_; }
    int PageWidth() const override { return width_; }
    bool BeginDrawing() override {
        log_.push_back("begin");
        return canDraw_;
    }
    void NewPage() override { log_.push_back("page"); }
    void SetFont(bool bold, int points) override { font_ = (bold ? "B" : "R") + std::to_string(points); }
    void DrawText(int x, int y, const std::string& text) override {
        log_.push_back(font_ + " " + std::to_string(x) + "," + std::to_string(y) + " " + text);
    }
    void EndJob() override { log_.push_back("end"); }

private:
    int height_, width_;
    std::vector<std::string>& log_;
    bool canStart_, canDraw_;
    std::string font_ = "no font";
};

// The print dialog answered with a recording printer.
class PrinterShell : public Shell {
public:
    int height = 7016, width = 4960;
    bool canStart = true, canDraw = true;
    std::vector<std::string> log;

    std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override {
        return std::make_unique<RecordingSurface>(height, width, log, canStart, canDraw);
    }
    std::string AskOpenPath(const OpenDialogRequest&) override { return {}; }
    void ShowMessage(const Message&) override { ADD_FAILURE() << "a printout shows no message"; }
    bool AskYesNo(const Message&) override { return false; }
    void RunSettingsDialog(int&) override {}
    void ShowAbout(int) override {}
    bool OpenHelpFile(const std::string&) override { return false; }
};

// A program with File 1 loaded as walk.txt with these rows and statistics lines.
struct Printed {
    Program p;
    PrinterShell shell;
    explicit Printed(const std::vector<std::string>& rows, int uiLanguage = 0) {
        p.UiLanguage = uiLanguage;
        p.clock.Fixed = LocalTime{2012, 4, 30, 14, 5};
        ModelSlot& slot = p.ws.File(1);
        slot.Path = "/anim/walk.txt";
        for (const std::string& row : rows) slot.Rows.push_back({row, false});
    }
    const std::vector<std::string>& Keyframes() {
        PrintKeyframes(p, shell, 1);
        return shell.log;
    }
    const std::vector<std::string>& Statistics() {
        PrintStatistics(p, shell, 1);
        return shell.log;
    }
};

std::vector<std::string> NumberedRows(int count) {
    std::vector<std::string> rows;
    for (int i = 1; i <= count; ++i) rows.push_back(std::to_string(i * 10));
    return rows;
}

// The entries of the log that start with `prefix`.
std::vector<std::string> Starting(const std::vector<std::string>& log, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& entry : log)
        if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
    return found;
}

// The log cut into pages at each "page" entry.
std::vector<std::vector<std::string>> Pages(const std::vector<std::string>& log) {
    std::vector<std::vector<std::string>> pages(1);
    for (const std::string& entry : log) {
        if (entry == "page") pages.emplace_back();
        else pages.back().push_back(entry);
    }
    return pages;
}

TEST(PrintLayout, A4PagesAt600DotsPerInch) {
    const PrintLayout portrait = ComputePrintLayout(7016, 4960);
    EXPECT_EQ(portrait.LineHeight, 116);
    EXPECT_EQ(portrait.TopMargin, 470);
    EXPECT_EQ(portrait.ColumnUnit, 402);
    EXPECT_EQ(portrait.FontSize, 58);
    EXPECT_EQ(portrait.RowsPerPage, 50);

    const PrintLayout landscape = ComputePrintLayout(4960, 7016);
    EXPECT_EQ(landscape.LineHeight, 115);
    EXPECT_EQ(landscape.TopMargin, 469);
    EXPECT_EQ(landscape.ColumnUnit, 607);
    EXPECT_EQ(landscape.FontSize, 57);
    EXPECT_EQ(landscape.RowsPerPage, 34);
}

TEST(PrintLayout, ASquarePageCountsAsLandscape) {
    const PrintLayout square = ComputePrintLayout(5000, 5000);
    EXPECT_EQ(square.LineHeight, 116);  // 5000 div 43
    EXPECT_EQ(square.TopMargin, 357 + 116);
    EXPECT_EQ(square.RowsPerPage, 34);
    EXPECT_EQ(square.FontSize, 58);
    EXPECT_EQ(square.ColumnUnit, (5000 - 2 * 473) / 10);

    const PrintLayout barelyUpright = ComputePrintLayout(5001, 5000);
    EXPECT_EQ(barelyUpright.LineHeight, 83);  // 5001 div 60
    EXPECT_EQ(barelyUpright.RowsPerPage, 50);
}

TEST(PrintLayout, UprightTopMarginRoundsToTheNearestPixel) {
    // The first term is q / 29.7 with q = (3 x H) div 2 an integer. It is never
    // exactly half-way between two integers: that would need 20 q = 297 (2 k + 1),
    // an even number equal to an odd one. So the tie rule never applies, and
    // the pages closest to a tie show plain rounding on both sides of it.
    // H 7059: q 10588, 356.498 -> 356; LineHeight 117. (3 x 7059 / 2 without the
    // integer division, 10588.5, would give 356.515 -> 357.)
    EXPECT_EQ(ComputePrintLayout(7059, 4960).TopMargin, 356 + 117);
    // H 5158: q 7737, 260.505 -> 261; LineHeight 85. (Cutting off would give 260.)
    EXPECT_EQ(ComputePrintLayout(5158, 4000).TopMargin, 261 + 85);
    // H 7016: q 10524, 354.34 -> 354.
    EXPECT_EQ(ComputePrintLayout(7016, 4960).TopMargin, 354 + 116);
}

TEST(PrintLayout, LandscapeTopMarginUsesIntegerDivision) {
    // H 4966: q 7449, 7449 div 21 = 354 (354.71 would round to 355).
    const PrintLayout layout = ComputePrintLayout(4966, 7016);
    EXPECT_EQ(layout.LineHeight, 115);
    EXPECT_EQ(layout.TopMargin, 354 + 115);
}

TEST(PrintLayout, PagesAreRowsDividedByRowsPerPageRoundedUp) {
    EXPECT_EQ(PageCount(0, 50), 0);
    EXPECT_EQ(PageCount(1, 50), 1);
    EXPECT_EQ(PageCount(50, 50), 1);
    EXPECT_EQ(PageCount(51, 50), 2);
    EXPECT_EQ(PageCount(100, 50), 2);
    EXPECT_EQ(PageCount(101, 50), 3);
    EXPECT_EQ(PageCount(34, 34), 1);
    EXPECT_EQ(PageCount(35, 34), 2);
}

TEST(KeyframePrintout, DrawsHeaderColumnTitlesAndRowsAtTheirPlaces) {
    // A4 upright: TopMargin 470, LineHeight 116, ColumnUnit 402, font 58.
    Printed printed({"1", "5         walk", "-12     back  flip", "20"});
    EXPECT_EQ(printed.Keyframes(),
              (std::vector<std::string>{
                  "job walk - Keyframes",
                  "begin",
                  "B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page 1 of 1",
                  "B58 470,702 Index", "B58 872,702 Keyframe", "B58 1274,702 Comment", "B58 2078,702 Scene",
                  "B58 2480,702 Number",
                  "R58 470,818 1", "R58 872,818 1", "R58 1274,818 ", "R58 2078,818 0", "R58 2480,818 1",
                  "R58 470,934 2", "R58 872,934 5", "R58 1274,934 walk", "R58 2078,934 1", "R58 2480,934 1",
                  "R58 470,1050 3", "R58 872,1050 -12", "R58 1274,1050 back  flip", "R58 2078,1050 2",
                  "R58 2480,1050 1",
                  "R58 470,1166 4", "R58 872,1166 20", "R58 1274,1166 ", "R58 2078,1166 3", "R58 2480,1166 1",
                  "end"}));
}

TEST(KeyframePrintout, GermanHeadersAndColumnTitles) {
    Printed printed(NumberedRows(101), 1);
    const auto pages = Pages(printed.Keyframes());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0][0], "job walk - Keyframes");
    EXPECT_EQ(Starting(pages[0], "B58 470,470 "),
              std::vector<std::string>{"B58 470,470 walk - Keyframes     30.04.2012 14:05 Uhr     Seite 1 von 3"});
    EXPECT_EQ(Starting(pages[2], "B58 470,470 "),
              std::vector<std::string>{"B58 470,470 walk - Keyframes     30.04.2012 14:05 Uhr     Seite 3 von 3"});
    EXPECT_EQ(Starting(pages[2], "B58 "),
              (std::vector<std::string>{"B58 470,470 walk - Keyframes     30.04.2012 14:05 Uhr     Seite 3 von 3",
                                        "B58 470,702 Index", "B58 872,702 Keyframe", "B58 1274,702 Kommentar",
                                        "B58 2078,702 Szene", "B58 2480,702 Nummer"}));
}

TEST(KeyframePrintout, FiftyRowsFillOneUprightPage) {
    Printed printed(NumberedRows(50));
    const auto pages = Pages(printed.Keyframes());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(Starting(pages[0], "B58 470,470 "),
              std::vector<std::string>{"B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page 1 of 1"});
    EXPECT_EQ(Starting(pages[0], "R58 470,").size(), 50u);
    EXPECT_EQ(Starting(pages[0], "R58 470,").back(), "R58 470," + std::to_string(470 + 52 * 116) + " 50");
}

TEST(KeyframePrintout, TheFiftyFirstRowStartsASecondPage) {
    Printed printed(NumberedRows(51));
    const auto pages = Pages(printed.Keyframes());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Starting(pages[0], "B58 470,470 "),
              std::vector<std::string>{"B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page 1 of 2"});
    // The second page: header, column titles and one row in the first row's place.
    EXPECT_EQ(pages[1], (std::vector<std::string>{
                            "B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page 2 of 2",
                            "B58 470,702 Index", "B58 872,702 Keyframe", "B58 1274,702 Comment",
                            "B58 2078,702 Scene", "B58 2480,702 Number",
                            "R58 470,818 51", "R58 872,818 510", "R58 1274,818 ", "R58 2078,818 0",
                            "R58 2480,818 51", "end"}));
}

TEST(KeyframePrintout, AHundredRowsFillTwoUprightPages) {
    Printed printed(NumberedRows(100));
    const auto pages = Pages(printed.Keyframes());
    ASSERT_EQ(pages.size(), 2u);
    for (int page = 0; page < 2; ++page) {
        const std::string number = std::to_string(page + 1);
        EXPECT_EQ(Starting(pages[page], "B58 470,470 "),
                  std::vector<std::string>{"B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page " + number +
                                           " of 2"});
        const auto index = Starting(pages[page], "R58 470,");
        ASSERT_EQ(index.size(), 50u);
        EXPECT_EQ(index.front(), "R58 470,818 " + std::to_string(page * 50 + 1));
        EXPECT_EQ(index.back(), "R58 470,6502 " + std::to_string(page * 50 + 50));
    }
}

TEST(KeyframePrintout, ThirtyFiveRowsTakeTwoLandscapePages) {
    // A4 across: TopMargin 469, LineHeight 115, ColumnUnit 607, font 57.
    Printed printed(NumberedRows(35));
    printed.shell.height = 4960;
    printed.shell.width = 7016;
    const auto pages = Pages(printed.Keyframes());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Starting(pages[0], "B57 "),
              (std::vector<std::string>{"B57 469,469 walk - Keyframes     04/30/2012 02:05 PM     Page 1 of 2",
                                        "B57 469,699 Index", "B57 1076,699 Keyframe", "B57 1683,699 Comment",
                                        "B57 2897,699 Scene", "B57 3504,699 Number"}));
    const auto first = Starting(pages[0], "R57 469,");
    ASSERT_EQ(first.size(), 34u);
    EXPECT_EQ(first.back(), "R57 469," + std::to_string(469 + 36 * 115) + " 34");
    EXPECT_EQ(Starting(pages[1], "R57 469,"), std::vector<std::string>{"R57 469,814 35"});
    EXPECT_EQ(Starting(pages[1], "B57 469,469 ").size(), 1u);
}

TEST(KeyframePrintout, ALongCommentIsDrawnWhole) {
    const std::string comment(300, 'c');
    Printed printed({"7         " + comment});
    EXPECT_EQ(Starting(printed.Keyframes(), "R58 1274,"), std::vector<std::string>{"R58 1274,818 " + comment});
}

TEST(KeyframePrintout, IndexSceneAndNumberAgreeWithTheSideFile) {
    const std::vector<std::string> rows = {"1", "2", "5         walk", "6         walk", "9", "10       run",
                                           "11       run", "12       Run", "13"};
    Printed printed(rows);
    const auto log = printed.Keyframes();
    const std::string sidecar = KeyframeSidecarText(printed.p.ws.File(1), LocalTime{}, 0);
    // Side-file row lines start after the column names; each is Index;Keyframe;Comment;Scene;Number.
    size_t at = sidecar.find("Number\r\n") + 8;
    for (size_t i = 0; i < rows.size(); ++i) {
        const size_t end = sidecar.find("\r\n", at);
        const std::string line = sidecar.substr(at, end - at);
        at = end + 2;
        const std::string index = line.substr(0, line.find(';'));
        const std::string number = line.substr(line.rfind(';') + 1);
        const std::string rest = line.substr(0, line.rfind(';'));
        const std::string scene = rest.substr(rest.rfind(';') + 1);
        const std::string y = std::to_string(470 + int(i + 3) * 116);
        EXPECT_EQ(Starting(log, "R58 470," + y + " "), std::vector<std::string>{"R58 470," + y + " " + index});
        EXPECT_EQ(Starting(log, "R58 2078," + y + " "), std::vector<std::string>{"R58 2078," + y + " " + scene});
        EXPECT_EQ(Starting(log, "R58 2480," + y + " "), std::vector<std::string>{"R58 2480," + y + " " + number});
    }
}

TEST(KeyframePrintout, AnEmptyTableStartsAndEndsTheJobWithNothingDrawn) {
    Printed printed({});
    EXPECT_EQ(printed.Keyframes(), (std::vector<std::string>{"job walk - Keyframes", "begin", "end"}));
}

TEST(KeyframePrintout, NothingIsDrawnWhenTheJobOrTheDrawingCannotStart) {
    Printed notStarted(NumberedRows(3));
    notStarted.shell.canStart = false;
    EXPECT_EQ(notStarted.Keyframes(), std::vector<std::string>{"job walk - Keyframes"});

    Printed notDrawing(NumberedRows(3));
    notDrawing.shell.canDraw = false;
    EXPECT_EQ(notDrawing.Keyframes(), (std::vector<std::string>{"job walk - Keyframes", "begin", "end"}));
}

TEST(StatisticsPrintout, DrawsTheTrimmedLinesOneLineHigherWithoutColumnTitles) {
    Printed printed({});
    printed.p.ws.File(1).ModelStatistics = {"  Vertices:   3 (3)  ", "", "Joints: 2", "\t\"hip\" --> \"leg\" "};
    EXPECT_EQ(printed.Statistics(),
              (std::vector<std::string>{"job walk - Statistics", "begin",
                                        "B58 470,470 walk - Statistics     04/30/2012 02:05 PM     Page 1 of 1",
                                        "R58 470,702 Vertices:   3 (3)", "R58 470,818 ", "R58 470,934 Joints: 2",
                                        "R58 470,1050 \t\"hip\" --> \"leg\"", "end"}));
}

TEST(StatisticsPrintout, GermanTitleAndPaging) {
    Printed printed({}, 1);
    for (int i = 0; i < 51; ++i) printed.p.ws.File(1).ModelStatistics.push_back("line " + std::to_string(i));
    const auto pages = Pages(printed.Statistics());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][0], "job walk - Statistik");
    EXPECT_EQ(Starting(pages[1], "B58 "),
              std::vector<std::string>{"B58 470,470 walk - Statistik     30.04.2012 14:05 Uhr     Seite 2 von 2"});
    EXPECT_EQ(Starting(pages[1], "R58 "), std::vector<std::string>{"R58 470,702 line 50"});
}

}  // namespace
}  // namespace vandrel
