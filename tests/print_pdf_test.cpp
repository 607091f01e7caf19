// Printing to a PDF file through vandrel-cli, read back with pdftotext: the
// pages, their headers and column titles as a reader sees them (-layout), and
// where each word stands (-bbox), row for row against the side file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace vandrel {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

constexpr double kPointsPerPixel = 72.0 / 600.0;  // the PDF is drawn at 600 dots per inch

bool HavePdfToText() { return std::system("pdftotext -v >/dev/null 2>&1") == 0; }

// A model whose first bone has keys at frames 1..count, and a side file that
// names scenes: none, "walk", "turn left", "walk" again, none.
struct LongModel {
    TempDir dir;
    explicit LongModel(int count) {
        std::string model = "// MilkShape 3D ASCII\n\nFrames: 1\nFrame: 1\n\nMeshes: 0\n\nMaterials: 0\n\nBones: 1\n"
                            "\"root\"\n\"\"\n8 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000\n" +
                            std::to_string(count) + "\n";
        std::string sidecar = "old title\n\nIndex;Keyframe;Comment;Scene;Number\n";
        for (int k = 1; k <= count; ++k) {
            model += std::to_string(k) + ".500000 0.000000 1.000000 0.000000\n";
            const char* comment = k <= 10 ? "" : k <= 20 ? "walk" : k <= 30 ? "turn left" : k <= 45 ? "walk" : "";
            sidecar += "0;" + std::to_string(k) + ";" + comment + ";0;0\n";
        }
        model += "0\n";
        WriteFile(dir / "long.txt", model);
        WriteFile(dir / "long.csv", sidecar);
    }
};

struct Word {
    double x = 0, y = 0, right = 0;
    std::string text;
};
using Page = std::vector<Word>;

struct Pdf {
    double widthPoints = 0, heightPoints = 0;
    std::vector<Page> pages;                    // from pdftotext -bbox
    std::vector<std::vector<std::string>> text;  // from pdftotext -layout: each page's non-empty lines
};

std::string Attribute(const std::string& tag, const std::string& name) {
    const size_t at = tag.find(name + "=\"");
    if (at == std::string::npos) return {};
    const size_t from = at + name.size() + 2;
    return tag.substr(from, tag.find('"', from) - from);
}

std::string Unescaped(std::string s) {
    const std::pair<std::string, std::string> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities)
        for (size_t at; (at = s.find(entity)) != std::string::npos;) s.replace(at, entity.size(), character);
    return s;
}

// A line's words separated by single blanks.
std::string Collapsed(const std::string& line) {
    std::istringstream words(line);
    std::string word, out;
    while (words >> word) out += (out.empty() ? "" : " ") + word;
    return out;
}

Pdf ReadPdf(const std::string& pdfPath) {
    Pdf pdf;
    const std::string bbox = pdfPath + ".html", layout = pdfPath + ".txt";
    EXPECT_EQ(std::system(("pdftotext -bbox '" + pdfPath + "' '" + bbox + "'").c_str()), 0);
    EXPECT_EQ(std::system(("pdftotext -layout '" + pdfPath + "' '" + layout + "'").c_str()), 0);

    const std::string html = ReadFile(bbox);
    for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const size_t close = html.find('>', at);
        const std::string tag = html.substr(at, close - at + 1);
        if (tag.rfind("<page ", 0) == 0) {
            pdf.pages.emplace_back();
            pdf.widthPoints = std::stod(Attribute(tag, "width"));
            pdf.heightPoints = std::stod(Attribute(tag, "height"));
        } else if (tag.rfind("<word ", 0) == 0 && !pdf.pages.empty()) {
            const size_t end = html.find("</word>", close);
            pdf.pages.back().push_back({std::stod(Attribute(tag, "xMin")), std::stod(Attribute(tag, "yMin")),
                                        std::stod(Attribute(tag, "xMax")),
                                        Unescaped(html.substr(close + 1, end - close - 1))});
        }
    }

    std::string all = ReadFile(layout);
    if (!all.empty() && all.back() == '\f') all.pop_back();
    std::istringstream pages(all);
    for (std::string page; std::getline(pages, page, '\f');) {
        pdf.text.emplace_back();
        std::istringstream lines(page);
        for (std::string line; std::getline(lines, line);)
            if (!Collapsed(line).empty()) pdf.text.back().push_back(Collapsed(line));
    }
    return pdf;
}

// The words of a page grouped into lines, top to bottom, each left to right.
std::vector<std::vector<Word>> Lines(const Page& page) {
    std::map<long, std::vector<Word>> byTop;
    for (const Word& w : page) byTop[std::lround(w.y * 10)].push_back(w);
    std::vector<std::vector<Word>> lines;
    for (auto& [top, words] : byTop) {
        std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.x < b.x; });
        lines.push_back(words);
    }
    return lines;
}

// Runs the script in the model's folder and reads the PDF it prints, or says why not.
std::string PrintAndRead(const TempDir& dir, const std::string& script, const std::string& pdfName, Pdf& pdf) {
    if (!HavePdfToText()) return "pdftotext is not installed";
    auto r = RunCli(dir.path().string(), script);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Without the window's toolkit the print dialog counts as cancelled: no file, no message.
    if (r.exitCode == 0 && !std::filesystem::exists(dir / pdfName)) return "vandrel-cli was built without PDF printing";
    if (r.exitCode != 0) return "";
    pdf = ReadPdf(dir / pdfName);
    return "";
}

#define PRINT_OR_SKIP(dir, script, name, pdf)                               \
    if (std::string why = PrintAndRead(dir, script, name, pdf); !why.empty()) \
    GTEST_SKIP() << why

// The side file's row lines: Index, Keyframe, Comment, Scene, Number.
std::vector<std::vector<std::string>> SidecarRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFile(path));
    int lineNumber = 0;
    for (std::string line; std::getline(lines, line);) {
        if (++lineNumber <= 3) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, ';');) fields.push_back(field);
        if (line.back() == ';') fields.emplace_back();
        rows.push_back(fields);
    }
    return rows;
}

// The table rows printed on the pages: each line below the column titles, its
// words put into the column whose start lies at or left of them.
std::vector<std::vector<std::string>> PrintedRows(const Pdf& pdf, std::vector<double>& columnStarts) {
    std::vector<std::vector<std::string>> rows;
    for (const Page& page : pdf.pages) {
        const auto lines = Lines(page);
        if (lines.size() < 2) continue;
        columnStarts.clear();
        for (const Word& title : lines[1]) columnStarts.push_back(title.x);
        for (size_t i = 2; i < lines.size(); ++i) {
            std::vector<std::string> fields(columnStarts.size());
            for (const Word& w : lines[i]) {
                size_t column = 0;
                while (column + 1 < columnStarts.size() && columnStarts[column + 1] <= w.x + 0.01) ++column;
                fields[column] += (fields[column].empty() ? "" : " ") + w.text;
            }
            rows.push_back(fields);
        }
    }
    return rows;
}

// The header must hold five blanks between title, date and page: the gaps
// there are five times the gap of the one blank inside the title.
void ExpectFiveBlankGaps(const Page& page, size_t titleWords, size_t dateWords) {
    const auto header = Lines(page).front();
    ASSERT_GT(header.size(), titleWords + dateWords);
    const double oneBlank = header[1].x - header[0].right;
    const double afterTitle = header[titleWords].x - header[titleWords - 1].right;
    const double afterDate = header[titleWords + dateWords].x - header[titleWords + dateWords - 1].right;
    EXPECT_NEAR(afterTitle / oneBlank, 5.0, 0.2);
    EXPECT_NEAR(afterDate / oneBlank, 5.0, 0.2);
}

TEST(PdfPrintout, KeyframesOnTwoUprightPagesAgreeWithTheSideFile) {
    LongModel m(51);
    Pdf pdf;
    PRINT_OR_SKIP(m.dir, "clock 2012-04-30 14:05\nopen 1 long.txt\nsave 1\nprint keyframes 1 out.pdf\n", "out.pdf",
                  pdf);

    ASSERT_EQ(pdf.pages.size(), 2u);
    ASSERT_EQ(pdf.text.size(), 2u);
    EXPECT_NEAR(pdf.widthPoints, 595, 1);
    EXPECT_NEAR(pdf.heightPoints, 842, 1);
    for (int page = 0; page < 2; ++page) {
        ASSERT_GE(pdf.text[page].size(), 3u);
        EXPECT_EQ(pdf.text[page][0],
                  "long - Keyframes 04/30/2012 02:05 PM Page " + std::to_string(page + 1) + " of 2");
        EXPECT_EQ(pdf.text[page][1], "Index Keyframe Comment Scene Number");
        ExpectFiveBlankGaps(pdf.pages[page], 3, 3);
    }
    EXPECT_EQ(pdf.text[0].size(), 2u + 50u);
    EXPECT_EQ(pdf.text[1].size(), 2u + 1u);

    std::vector<double> columns;
    const auto printed = PrintedRows(pdf, columns);
    const auto sidecar = SidecarRows(m.dir / "long.csv");
    ASSERT_EQ(sidecar.size(), 51u);
    ASSERT_EQ(printed.size(), sidecar.size());
    for (size_t i = 0; i < sidecar.size(); ++i) EXPECT_EQ(printed[i], sidecar[i]) << "row " << i + 1;

    // Upright A4 at 600 dots per inch: left margin 470, rows 116 apart, columns
    // at 0, 1, 2, 4 and 5 column units of about 402 pixels.
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_NEAR(columns[0], 470 * kPointsPerPixel, 0.05);
    const double unit = columns[1] - columns[0];
    EXPECT_NEAR(unit / kPointsPerPixel, 402, 2);
    EXPECT_NEAR(columns[2] - columns[0], 2 * unit, 0.05);
    EXPECT_NEAR(columns[3] - columns[0], 4 * unit, 0.05);
    EXPECT_NEAR(columns[4] - columns[0], 5 * unit, 0.05);
    const auto lines = Lines(pdf.pages[0]);
    EXPECT_NEAR(lines[0][0].x, 470 * kPointsPerPixel, 0.05);
    EXPECT_NEAR(lines[1][0].y - lines[0][0].y, 2 * 116 * kPointsPerPixel, 0.05);
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_NEAR(lines[i][0].y - lines[i - 1][0].y, 116 * kPointsPerPixel, 0.05) << "line " << i;
}

TEST(PdfPrintout, GermanHeadersAndColumnTitles) {
    LongModel m(101);
    Pdf pdf;
    PRINT_OR_SKIP(m.dir, "clock 2012-04-30 14:05\nlanguage 1\nopen 1 long.txt\nprint keyframes 1 de.pdf\n", "de.pdf",
                  pdf);
    ASSERT_EQ(pdf.text.size(), 3u);
    for (int page = 0; page < 3; ++page) {
        ASSERT_GE(pdf.text[page].size(), 2u);
        EXPECT_EQ(pdf.text[page][0],
                  "long - Keyframes 30.04.2012 14:05 Uhr Seite " + std::to_string(page + 1) + " von 3");
        EXPECT_EQ(pdf.text[page][1], "Index Keyframe Kommentar Szene Nummer");
        ExpectFiveBlankGaps(pdf.pages[page], 3, 3);
    }
}

TEST(PdfPrintout, ThirtyFiveRowsAcrossTakeTwoPages) {
    LongModel m(35);
    Pdf pdf;
    PRINT_OR_SKIP(m.dir, "clock 2012-04-30 14:05\nopen 1 long.txt\nprint keyframes 1 across.pdf landscape\n",
                  "across.pdf", pdf);
    ASSERT_EQ(pdf.text.size(), 2u);
    EXPECT_NEAR(pdf.widthPoints, 842, 1);
    EXPECT_NEAR(pdf.heightPoints, 595, 1);
    EXPECT_EQ(pdf.text[0][0], "long - Keyframes 04/30/2012 02:05 PM Page 1 of 2");
    EXPECT_EQ(pdf.text[1][0], "long - Keyframes 04/30/2012 02:05 PM Page 2 of 2");
    EXPECT_EQ(pdf.text[0].size(), 2u + 34u);
    EXPECT_EQ(pdf.text[1].size(), 2u + 1u);

    // A4 across: left margin 469, rows 115 apart, column unit about 607.
    std::vector<double> columns;
    const auto printed = PrintedRows(pdf, columns);
    ASSERT_EQ(printed.size(), 35u);
    EXPECT_EQ(printed[34], (std::vector<std::string>{"35", "35", "walk", "3", "5"}));
    EXPECT_NEAR(columns[0], 469 * kPointsPerPixel, 0.05);
    EXPECT_NEAR((columns[1] - columns[0]) / kPointsPerPixel, 607, 2);
    const auto lines = Lines(pdf.pages[0]);
    EXPECT_NEAR(lines[3][0].y - lines[2][0].y, 115 * kPointsPerPixel, 0.05);
}

TEST(PdfPrintout, StatisticsLinesStartOneLineHigherThanRows) {
    LongModel m(3);
    Pdf pdf;
    PRINT_OR_SKIP(m.dir, "clock 2012-04-30 14:05\nopen 1 long.txt\nprint statistics 1 stats.pdf\n", "stats.pdf", pdf);
    auto stats = RunCli(m.dir.path().string(), "open 1 long.txt\nstats 1\n");
    ASSERT_EQ(stats.exitCode, 0);
    std::vector<std::string> expected = {"long - Statistics 04/30/2012 02:05 PM Page 1 of 1"};
    std::istringstream lines(stats.out);
    for (std::string line; std::getline(lines, line);)
        if (!Collapsed(line).empty()) expected.push_back(Collapsed(line));
    ASSERT_EQ(pdf.text.size(), 1u);
    EXPECT_EQ(pdf.text[0], expected);
    ExpectFiveBlankGaps(pdf.pages[0], 3, 3);

    // The first statistics line stands two line heights below the header.
    const auto words = Lines(pdf.pages[0]);
    ASSERT_GE(words.size(), 2u);
    EXPECT_NEAR(words[1][0].y - words[0][0].y, 2 * 116 * kPointsPerPixel, 0.05);
    EXPECT_NEAR(words[1][0].x, 470 * kPointsPerPixel, 0.05);
}

}  // namespace
}  // namespace vandrel
