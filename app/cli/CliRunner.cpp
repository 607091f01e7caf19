#include "app/cli/CliRunner.h"

#include <algorithm>
#include <ostream>

#include "app/Commands.h"
#include "app/Dump.h"
#include "app/Texts.h"
#include "app/cli/PreviewWords.h"
#include "app/cli/ScriptWords.h"
#include "output/PrintSurface.h"

namespace vandrel {

namespace {

// The dialogs of the window, answered by the script.
class ScriptShell : public Shell {
public:
    ScriptShell(const CliOptions& options, std::ostream& err) : options_(options), err_(err) {}

    std::string openPath;
    Language language = Language::English;
    std::string pdfPath;
    bool landscape = false;

    std::string AskOpenPath(const OpenDialogRequest&) override { return openPath; }

    void ShowMessage(const Message& m) override {
        std::string title = m.title;
        if (!title.empty() && title[0] == ' ') title.erase(0, 1);
        std::string text;
        for (size_t i = 0; i < m.text.size(); ++i) {
            if (m.text.compare(i, 2, "\r\n") == 0) {
                text += " / ";
                ++i;
            } else {
                text += m.text[i];
            }
        }
        err_ << Utf8FromBytes(title) << ": " << Utf8FromBytes(text) << "\n";
    }

    bool AskYesNo(const Message&) override { return true; }
    void RunSettingsDialog(Language& uiLanguage) override { uiLanguage = language; }
    std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override {
        return options_.makePdf ? options_.makePdf(pdfPath, landscape) : nullptr;
    }

private:
    const CliOptions& options_;
    std::ostream& err_;
};

struct Refused {
    std::string reason;
};

int FileNumber(const std::string& word) {
    if (word == "1") return 1;
    if (word == "2") return 2;
    throw Refused{"file number must be 1 or 2: " + word};
}

bool IsDecimal(const std::string& word) {
    if (word.empty()) return false;
    for (char c : word)
        if (c < '0' || c > '9') return false;
    return true;
}

// The words of a usage line ("open N [PATH]"): the verb first, then words that
// must be there, then optional ones in brackets; a word ending in "..." may
// come any number of times, none included.
struct Usage {
    std::string_view verb;
    size_t least = 1, most = 1;
};

Usage UsageOf(std::string_view usage) {
    Usage u;
    u.verb = usage.substr(0, usage.find(' '));
    for (size_t at = u.verb.size(); at < usage.size();) {
        const size_t start = at + 1, end = std::min(usage.find(' ', start), usage.size());
        const std::string_view word = usage.substr(start, end - start);
        if (word.ends_with("...") || word.ends_with("...]")) u.most = SIZE_MAX;
        else if (word.starts_with("[")) ++u.most;
        else ++u.least, ++u.most;
        at = end;
    }
    return u;
}

LocalTime ParseClock(const std::string& date, const std::string& time) {
    auto digits = [](const std::string& s, size_t from, size_t count) {
        int v = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9') throw Refused{"malformed date or time"};
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || time.size() != 5 || time[2] != ':')
        throw Refused{"malformed date or time"};
    LocalTime t{digits(date, 0, 4), digits(date, 5, 2), digits(date, 8, 2), digits(time, 0, 2), digits(time, 3, 2)};
    if (!IsValidLocalTime(t)) throw Refused{"no such date or time"};
    return t;
}

class ScriptRun;
using Words = std::vector<std::string>;

// One command of a script: its words (the verb included), as --help shows
// them, and what it does.
// One command of a script: its usage as --help shows it (which gives its verb
// and how many words it takes), its help and what it does.
struct Verb {
    std::string_view usage, help;
    void (ScriptRun::*run)(const Words&);
};

class ScriptRun {
public:
    ScriptRun(const CliOptions& options, std::ostream& out, std::ostream& err)
        : options_(options), out_(out), shell_(options, err) {
        StartUp(p_, shell_, false);
    }

    // Runs one command; throws Refused for a malformed or refused command.
    void Run(const Words& w);

    size_t MessageCount() const { return p_.shownMessages.size(); }

    void Open(const Words& w) {
        const int n = FileNumber(w[1]);
        shell_.openPath = w.size() == 3 ? w[2] : std::string();
        Press(ControlsOfFile(n).openButton);
    }

    void Select(const Words& w) {
        KeyframeTable& table = p_.ws.File(FileNumber(w[1])).Rows;
        std::vector<bool> chosen(table.size(), false);
        if (w.size() == 3 && w[2] == "all") {
            chosen.assign(table.size(), true);
        } else {
            for (size_t k = 2; k < w.size(); ++k) {
                const std::string& word = w[k];
                if (!IsDecimal(word)) throw Refused{"row must be a number: " + word};
                size_t row = 0;
                for (char c : word) {
                    row = row * 10 + size_t(c - '0');
                    if (row >= table.size()) throw Refused{"row past the end of the list: " + word};
                }
                chosen[row] = true;
            }
        }
        for (size_t i = 0; i < table.size(); ++i) table[i].Selected = chosen[i];
    }

    void Cut(const Words& w) { Press(ControlsOfFile(FileNumber(w[1])).cutButton); }
    void Copy(const Words& w) { Press(ControlsOfFile(FileNumber(w[1])).copyButton); }
    void Paste(const Words& w) { Press(ControlsOfFile(FileNumber(w[1])).pasteButton); }
    void Save(const Words& w) { Press(ControlsOfFile(FileNumber(w[1])).saveButton); }

    void Edit(const Words& w) {
        if (!ControlEnabled(p_, ids::ClipboardOkButton)) throw Refused{"the Clipboard OK button is disabled"};
        p_.window.controls[ids::AtField].text = w[1];
        p_.window.controls[ids::StepwidthField].text = w[2];
        p_.window.controls[ids::CommentField].text = w[3];
        Press(ids::ClipboardOkButton);
    }

    void Undo(const Words&) { Choose(menu::Undo); }
    void Redo(const Words&) { Choose(menu::Redo); }

    void Pose(const Words& w) { out_ << PoseLines(p_.ws, Request(w)); }

    void Render(const Words& w) {
        const PreviewRequest request = Request(w);
        if (request.Source != PreviewSource::Clipboard &&
            p_.ws.File(request.Source == PreviewSource::File1 ? 1 : 2).Path.empty())
            throw Refused{"file " + w[1] + " is not open"};
        if (!options_.writePng) throw Refused{"this vandrel-cli was built without pictures"};
        const PreviewModel model = RenderModel(p_.ws, request);
        if (!options_.writePng(model, RenderShot(model, request), request.Png))
            throw Refused{"cannot write the picture " + request.Png};
    }

    void Language(const Words& w) {
        if (w[1] != "0" && w[1] != "1") throw Refused{"language must be 0 or 1: " + w[1]};
        shell_.language = LanguageOfSetting(w[1] == "1");
        Choose(menu::Settings);
    }

    void Print(const Words& w) {
        if (w[1] != "keyframes" && w[1] != "statistics") throw Refused{"print keyframes or statistics"};
        if (w.size() == 5 && w[4] != "landscape") throw Refused{"unknown print option: " + w[4]};
        const FileControls& file = ControlsOfFile(FileNumber(w[2]));
        shell_.pdfPath = w[3];
        shell_.landscape = w.size() == 5;
        Choose(w[1] == "keyframes" ? file.printKeyframesMenu : file.printStatisticsMenu);
    }

    void Clock(const Words& w) { p_.clock.Fixed = ParseClock(w[1], w[2]); }

    void Table(const Words& w) {
        const KeyframeTable& rows = w[1] == "clipboard" ? p_.ws.Clip.Rows : p_.ws.File(FileNumber(w[1])).Rows;
        for (const KeyframeRow& row : rows) out_ << Utf8FromBytes(row.RowText) << "\n";
    }

    void Stats(const Words& w) {
        for (const std::string& line : p_.ws.File(FileNumber(w[1])).ModelStatistics.All())
            out_ << Utf8FromBytes(line) << "\n";
    }

    void Status(const Words&) {
        for (const std::string& field : p_.window.status) out_ << Utf8FromBytes(field) << "\n";
    }

    void Dump(const Words&) {
        out_ << DumpState(p_, {p_.shownMessages.begin() + long(dumped_), p_.shownMessages.end()}) << "\n";
        dumped_ = p_.shownMessages.size();
    }

private:
    void Press(int controlId) {
        if (!HandleControl(p_, shell_, controlId))
            throw Refused{"the button " + std::string(ControlById(controlId).name) + " is disabled"};
    }

    void Choose(int menuId) {
        if (!HandleMenu(p_, shell_, menuId))
            throw Refused{"the menu item \"" + Utf8FromBytes(p_.window.menu[size_t(menuId)].text) + "\" is disabled"};
    }

    static PreviewRequest Request(const Words& w) {
        PreviewRequest request;
        if (std::optional<std::string> reason = ReadPreviewRequest(w, request)) throw Refused{*reason};
        return request;
    }

    const CliOptions& options_;
    std::ostream& out_;
    ScriptShell shell_;
    Program p_;
    size_t dumped_ = 0;
};

constexpr Verb kVerbs[] = {
    {"open N [PATH]", "open PATH into file N (1 or 2); without PATH the dialog is cancelled", &ScriptRun::Open},
    {"select N ROW...", "select rows of file N's keyframe list (0-based); 'all'; none clears",
     &ScriptRun::Select},
    {"cut N", "the Cut button of file N", &ScriptRun::Cut},
    {"copy N", "the Copy button of file N", &ScriptRun::Copy},
    {"edit AT STEP COMMENT", "the Clipboard fields and OK", &ScriptRun::Edit},
    {"paste N", "the Paste button of file N", &ScriptRun::Paste},
    {"save N", "save file N and its side file", &ScriptRun::Save},
    {"undo", "the Edit menu's Undo", &ScriptRun::Undo},
    {"redo", "the Edit menu's Redo", &ScriptRun::Redo},
    {"pose N FRAME", "the joints of file N (1, 2 or clipboard) posed at FRAME", &ScriptRun::Pose},
    {"render N FRAME PNG [front|side|top|YAW,PITCH] [WxH] [solid|wire|textured] [grid] [skeleton]",
     "the preview's picture of it, into a PNG file (front, 640x480)", &ScriptRun::Render},
    {"language L", "the Settings dialog: 0 English, 1 German", &ScriptRun::Language},
    {"print keyframes|statistics N PDF [landscape]", "print to a PDF file, A4", &ScriptRun::Print},
    {"clock YYYY-MM-DD HH:MM", "fix the time the program reads", &ScriptRun::Clock},
    {"table N|clipboard", "the rows of a keyframe list", &ScriptRun::Table},
    {"stats N", "the statistics lines of file N", &ScriptRun::Stats},
    {"status", "the five status-bar fields", &ScriptRun::Status},
    {"dump", "the whole state as one line of JSON", &ScriptRun::Dump},
};

void ScriptRun::Run(const Words& w) {
    for (const Verb& verb : kVerbs) {
        const Usage usage = UsageOf(verb.usage);
        if (usage.verb != w[0]) continue;
        if (w.size() < usage.least || w.size() > usage.most) throw Refused{"wrong number of words for " + w[0]};
        (this->*verb.run)(w);
        out_.flush();
        return;
    }
    throw Refused{"unknown command: " + w[0]};
}

}  // namespace

int RunCliScript(const std::string& script, const CliOptions& options, std::ostream& out, std::ostream& err) {
    ScriptRun run(options, out, err);
    size_t start = 0;
    int lineNumber = 0;
    while (start < script.size()) {
        size_t end = script.find('\n', start);
        std::string line = script.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? script.size() : end + 1;
        ++lineNumber;
        if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || line[first] == '#') continue;

        const size_t messagesBefore = run.MessageCount();
        try {
            std::optional<std::vector<std::string>> words = SplitScriptWords(line);
            if (!words) throw Refused{"unterminated quote"};
            if (words->empty()) continue;
            run.Run(*words);
        } catch (const Refused& refused) {
            out.flush();
            err << "vandrel-cli: line " << lineNumber << ": " << refused.reason << "\n";
            return 2;
        }
        if (run.MessageCount() > messagesBefore && !options.keepGoing) return 1;
    }
    return run.MessageCount() > 0 ? 1 : 0;
}

std::string CliCommandTable() {
    std::string table = "Commands, one per line:\n";
    for (const Verb& verb : kVerbs) {
        std::string line = "  " + std::string(verb.usage);
        // The help stands beside a short usage, below a long one.
        line += line.size() <= 22 ? std::string(23 - line.size(), ' ') : "\n" + std::string(23, ' ');
        table += line + std::string(verb.help) + "\n";
    }
    return table;
}

}  // namespace vandrel
