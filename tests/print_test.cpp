// Printouts: the page layout, every text a printout draws and where, recorded on
// a printer surface of a chosen page size; and the PDF that vandrel-cli prints,
// read back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "TestSupport.h"
#include "app/Commands.h"
#include "app/PrintCommands.h"
#include "output/Printing.h"

namespace vandrel {
namespace {

TEST(PrintLayout, PagesAndMarginsOfUprightAndLandscapePages) {
    struct Case {
        int height, width, lineHeight, topMargin, columnUnit, fontSize, rowsPerPage;
    };
    for (const Case& c : {Case{7016, 4960, 116, 470, 402, 58, 50}, Case{4960, 7016, 115, 469, 607, 57, 34},
                          Case{5000, 5000, 116, 473, 405, 58, 34},  // a square page counts as landscape
                          Case{5001, 5000, 83, 336, 432, 41, 50},
                          // q / 29.7 with q = (3 H) div 2 rounds to the nearest: 356.498, 260.505
                          Case{7059, 4960, 117, 473, 401, 58, 50}, Case{5158, 4000, 85, 346, 330, 42, 50},
                          // landscape: q div 21, 354.71 cut to 354
                          Case{4966, 7016, 115, 469, 607, 57, 34}}) {
        const PrintLayout l = ComputePrintLayout(c.height, c.width);
        EXPECT_EQ(std::vector<int>({l.LineHeight, l.TopMargin, l.ColumnUnit, l.FontSize, l.RowsPerPage}),
                  std::vector<int>({c.lineHeight, c.topMargin, c.columnUnit, c.fontSize, c.rowsPerPage}))
            << c.height << "x" << c.width;
    }
    for (const auto& [rows, pages] : {std::pair{0, 0}, {1, 1}, {50, 1}, {51, 2}, {100, 2}, {101, 3}})
        EXPECT_EQ(PageCount(size_t(rows), 50), pages) << rows;
}

// A printer that writes down each call: "job NAME", "begin", "page", "end", and
// "B58 x,y TEXT" / "R58 x,y TEXT" for a text in the bold or regular font of that size.
class RecordingSurface : public PrintSurface {
public:
    RecordingSurface(int height, int width, std::vector<std::string>& log, std::map<int, int>& widths, bool start,
                     bool draw)
        : height_(height), width_(width), log_(log), widths_(widths), start_(start), draw_(draw) {}
    bool StartJob(const std::string& jobName) override { return log_.push_back("job " + jobName), start_; }
    int PageHeight() const override { return height_; }
    int PageWidth() const override { return width_; }
    bool BeginDrawing() override { return log_.push_back("begin"), draw_; }
    void NewPage() override { log_.push_back("page"); }
    void SetFont(bool bold, int points) override { font_ = (bold ? "B" : "R") + std::to_string(points); }
    void DrawText(int x, int y, const std::string& text, int width) override {
        log_.push_back(font_ + " " + std::to_string(x) + "," + std::to_string(y) + " " + text);
        widths_[x] = width;
    }
    void EndJob() override { log_.push_back("end"); }

private:
    int height_, width_;
    std::vector<std::string>& log_;
    std::map<int, int>& widths_;  // the room given to the last text drawn at each x
    bool start_, draw_;
    std::string font_ = "no font";
};

struct Printout : ::testing::Test {
    Program p;
    test::ScriptedShell shell;
    std::vector<std::string> log;
    std::map<int, int> widths;
    int height = 7016, width = 4960;
    bool start = true, draw = true;
    Printout() {
        p.clock.Fixed = LocalTime{2012, 4, 30, 14, 5};
        p.ws.File(1).Path = "/anim/walk.txt";
        shell.printer = [this] { return std::make_unique<RecordingSurface>(height, width, log, widths, start, draw); };
    }
    void Rows(int count) {
        for (int i = 1; i <= count; ++i) p.ws.File(1).Rows.push_back({std::to_string(i * 10), false});
    }
    // The log entries of page `page` (from 0) that start with `prefix`.
    std::vector<std::string> On(int page, const std::string& prefix) {
        std::vector<std::string> found;
        int at = 0;
        for (const std::string& entry : log) {
            at += entry == "page";
            if (at == page && entry.rfind(prefix, 0) == 0) found.push_back(entry);
        }
        return found;
    }
};

TEST_F(Printout, KeyframesDrawHeaderColumnTitlesAndRowsAtTheirPlaces) {
    for (const char* row : {"1", "5         walk", "-12     back  flip", "20"}) p.ws.File(1).Rows.push_back({row, false});
    PrintKeyframes(p, shell, 1);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "job walk - Keyframes", "begin",
                       "B58 470,470 walk - Keyframes     04/30/2012 02:05 PM     Page 1 of 1", "B58 470,702 Index",
                       "B58 872,702 Keyframe", "B58 1274,702 Comment", "B58 2078,702 Scene", "B58 2480,702 Number",
                       "R58 470,818 1", "R58 872,818 1", "R58 1274,818 ", "R58 2078,818 0", "R58 2480,818 1",
                       "R58 470,934 2", "R58 872,934 5", "R58 1274,934 walk", "R58 2078,934 1", "R58 2480,934 1",
                       "R58 470,1050 3", "R58 872,1050 -12", "R58 1274,1050 back  flip", "R58 2078,1050 2",
                       "R58 2480,1050 1", "R58 470,1166 4", "R58 872,1166 20", "R58 1274,1166 ", "R58 2078,1166 3",
                       "R58 2480,1166 1", "end"}));
}

TEST_F(Printout, EveryCellKeepsToItsColumnAndTheHeaderAndStatisticsAreNotCut) {
    p.ws.File(1).Rows.push_back({"5         " + std::string(200, 'w'), false});
    PrintKeyframes(p, shell, 1);
    // Units of 402 dots: up to the next column less an eighth of a unit; the last to the right margin.
    EXPECT_EQ(widths, (std::map<int, int>{{470, 352}, {872, 352}, {1274, 754}, {2078, 352}, {2480, 1960}}));
    widths.clear();
    p.ws.File(1).ModelStatistics = OpenedStatistics(std::vector<std::string>{std::string(300, 's')});
    PrintStatistics(p, shell, 1);
    EXPECT_EQ(widths, (std::map<int, int>{{470, 0}})) << "the header and the statistics lines";
}

TEST_F(Printout, LandscapeTakesThirtyFourRowsAndGermanHasItsOwnTitles) {
    Rows(35);
    height = 4960, width = 7016;
    p.UiLanguage = Language::German;
    PrintKeyframes(p, shell, 1);
    const std::string header = "walk - Keyframes     30.04.2012 14:05 Uhr     Seite ";
    EXPECT_EQ(On(0, "B57 "), (std::vector<std::string>{"B57 469,469 " + header + "1 von 2", "B57 469,699 Index",
                                                        "B57 1076,699 Keyframe", "B57 1683,699 Kommentar",
                                                        "B57 2897,699 Szene", "B57 3504,699 Nummer"}));
    EXPECT_EQ(On(0, "R57 469,").size(), 34u);
    EXPECT_EQ(On(1, "R57 469,"), std::vector<std::string>{"R57 469,814 35"});
    EXPECT_EQ(On(1, "B57 469,469 "), std::vector<std::string>{"B57 469,469 " + header + "2 von 2"});
}

TEST_F(Printout, StatisticsAreTrimmedAndStartOneLineHigherWithoutColumnTitles) {
    std::vector<std::string> lines = {"  Vertices:   3 (3)  ", "", "Joints: 2", "\t\"hip\" --> \"leg\" "};
    p.ws.File(1).ModelStatistics = OpenedStatistics(lines);
    PrintStatistics(p, shell, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"job walk - Statistics", "begin",
                                             "B58 470,470 walk - Statistics     04/30/2012 02:05 PM     Page 1 of 1",
                                             "R58 470,702 Vertices:   3 (3)", "R58 470,818 ", "R58 470,934 Joints: 2",
                                             "R58 470,1050 \t\"hip\" --> \"leg\"", "end"}));
    log.clear();
    p.UiLanguage = Language::German;
    lines.resize(51, "line");
    p.ws.File(1).ModelStatistics = OpenedStatistics(lines);
    PrintStatistics(p, shell, 1);
    EXPECT_EQ(On(1, "B58 "),
              std::vector<std::string>{"B58 470,470 walk - Statistik     30.04.2012 14:05 Uhr     Seite 2 von 2"});
    EXPECT_EQ(On(1, "R58 "), std::vector<std::string>{"R58 470,702 line"});
}

TEST_F(Printout, NothingIsDrawnForAnEmptyTableOrWhenTheJobOrTheDrawingCannotStart) {
    PrintKeyframes(p, shell, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"job walk - Keyframes", "begin", "end"}));
    Rows(3);
    log.clear();
    start = false;
    PrintKeyframes(p, shell, 1);
    EXPECT_EQ(log, std::vector<std::string>{"job walk - Keyframes"});
    log.clear();
    start = true, draw = false;
    PrintKeyframes(p, shell, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"job walk - Keyframes", "begin", "end"}));
}

// The words of a PDF page as pdftotext -bbox gives them: top, left, text and right.
struct Word {
    double y, x;
    std::string text;
    double right = 0;
};

std::vector<std::vector<Word>> PdfWords(const std::string& pdf) {
    std::vector<std::vector<Word>> pages;
    if (std::system(("pdftotext -bbox '" + pdf + "' '" + pdf + ".html'").c_str()) != 0) return pages;
    const std::string html = test::ReadFile(pdf + ".html");
    auto attribute = [](const std::string& tag, const std::string& name) {
        const size_t at = tag.find(name + "=\"") + name.size() + 2;
        return std::stod(tag.substr(at, tag.find('"', at) - at));
    };
    for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const size_t close = html.find('>', at);
        const std::string tag = html.substr(at, close - at + 1);
        if (tag.rfind("<page ", 0) == 0) pages.emplace_back();
        if (tag.rfind("<word ", 0) == 0)
            pages.back().push_back({attribute(tag, "yMin"), attribute(tag, "xMin"),
                                    html.substr(close + 1, html.find("</word>", close) - close - 1),
                                    attribute(tag, "xMax")});
    }
    return pages;
}

TEST(PdfPrintout, KeyframesOnA4AtSixHundredDotsPerInch) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    test::TempDir dir;
    std::string model = "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\nBones: 1\n\"root\"\n\"\"\n0 0 0 0 0 0 0\n51\n";
    for (int k = 1; k <= 51; ++k) model += std::to_string(k) + ".5 0 1 0\n";
    test::WriteFile(dir / "long.txt", model + "0\n");
    test::WriteFile(dir / "long.csv", "x;3;turn left;;\nx;5;a comment far too long for its column, which would run into "
                                      "the scene and the number beside it;;\n");
    const auto r = test::RunCli(dir.path().string(), "clock 2012-04-30 14:05\nopen 1 long.txt\nprint keyframes 1 out.pdf\n"
                                                     "print statistics 1 across.pdf landscape\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    if (!std::filesystem::exists(dir / "out.pdf")) GTEST_SKIP() << "vandrel-cli was built without PDF printing";
    auto pages = PdfWords(dir / "out.pdf");
    ASSERT_EQ(pages.size(), 2u);
    std::sort(pages[0].begin(), pages[0].end(), [](const Word& a, const Word& b) {
        return std::lround(a.y * 10) != std::lround(b.y * 10) ? a.y < b.y : a.x < b.x;
    });
    // Lines by their tops: the header, the column titles two line heights below,
    // then the rows one line height apart, in points of 1/72 inch.
    std::map<long, std::string> lines;
    for (const Word& w : pages[0]) {
        std::string& text = lines[std::lround(w.y * 10)];
        text += (text.empty() ? "" : " ") + w.text;
    }
    ASSERT_EQ(lines.size(), 52u);
    const double dot = 72.0 / 600;
    auto line = lines.begin();
    EXPECT_EQ(line->second, "long - Keyframes 04/30/2012 02:05 PM Page 1 of 2");
    EXPECT_NEAR(pages[0][0].x, 470 * dot, 0.05);
    const double header = line->first / 10.0;
    EXPECT_EQ((++line)->second, "Index Keyframe Comment Scene Number");
    EXPECT_NEAR(line->first / 10.0 - header, 232 * dot, 0.1);
    EXPECT_EQ((++line)->second, "1 1 0 1");
    const double first = line->first / 10.0;
    EXPECT_EQ((++line)->second, "2 2 0 2");
    EXPECT_NEAR(line->first / 10.0 - first, 116 * dot, 0.1);
    EXPECT_EQ((++line)->second, "3 3 turn left 1 1");
    ++line;
    const long longComment = (++line)->first;
    // The column titles at 0, 1, 2, 4 and 5 units of 402 dots from the margin.
    std::vector<double> columns;
    for (const Word& w : pages[0])
        if (std::lround(w.y * 10) == std::next(lines.begin())->first) columns.push_back(w.x);
    ASSERT_EQ(columns.size(), 5u);
    const double unit = columns[1] - columns[0];
    EXPECT_NEAR(unit / dot, 402, 2);
    for (auto [k, units] : {std::pair{2, 2}, {3, 4}, {4, 5}})
        EXPECT_NEAR(columns[size_t(k)] - columns[0], units * unit, 0.05) << k;
    // The long comment ends with an ellipsis left of the Scene column; scene and number stand apart.
    std::string comment;
    for (const Word& w : pages[0]) {
        if (std::lround(w.y * 10) != longComment || w.x < columns[2] - 0.5 || w.x >= columns[3]) continue;
        EXPECT_LT(w.right, columns[3]) << w.text;
        comment += w.text;
    }
    EXPECT_EQ(comment.substr(0, 8), "acomment") << comment;
    EXPECT_EQ(comment.substr(comment.size() - 3), "\u2026") << comment;
    EXPECT_EQ(lines[longComment].substr(lines[longComment].size() - 4), " 3 1") << lines[longComment];
    const auto across = PdfWords(dir / "across.pdf");
    ASSERT_EQ(across.size(), 1u);
    EXPECT_NEAR(across[0][0].x, 469 * dot, 0.05) << "landscape A4";
}

}  // namespace
}  // namespace vandrel
