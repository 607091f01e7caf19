#pragma once
// What the C++ tests share: scratch folders and files, vandrel-cli runs, models
// opened from bytes the way the Open command opens them, and one shell that
// answers the dialogs from the test.
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "app/Program.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "output/PrintSurface.h"

namespace vandrel::test {

// A fresh folder that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
std::set<std::string> NamesIn(const std::filesystem::path& folder);
// The lines, each ended by `end`, the last one included.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n");

struct CliResult {
    int exitCode = -1;
    std::string out, err;
};
// Runs vandrel-cli with `script` in the folder `workDir`.
CliResult RunCli(const std::string& workDir, const std::string& script);

// Slot n takes the bytes as the Open command takes a file it has read (LoadModel).
inline ModelSlot& OpenBytes(Workspace& ws, int n, const std::string& bytes) {
    LoadModel(ws, n, bytes);
    return ws.File(n);
}

std::vector<std::string> ValidLines(const LineSet& set);  // lines 1 to LineCount
std::vector<std::string> RowTexts(const KeyframeTable& rows);
std::vector<size_t> SelectedRows(const KeyframeTable& rows);

// Answers every dialog as the test says and remembers what was asked and shown.
class ScriptedShell : public Shell {
public:
    explicit ScriptedShell(const Program* p = nullptr) : p_(p) {}

    std::deque<std::string> openAnswers;  // none left: cancelled
    std::vector<OpenDialogRequest> openRequests;
    std::vector<Message> messages, questions;
    bool answerYes = false, helpOpens = false;
    std::optional<Language> settingsChoice;  // OK with this language; none: Cancel
    std::vector<Language> aboutLanguages;
    std::vector<std::string> helpFiles, statusDuringDialogs;  // the busy field while a dialog was open
    int statusChanges = 0;
    std::function<std::unique_ptr<PrintSurface>()> printer;  // none: the print dialog is cancelled

    std::string AskOpenPath(const OpenDialogRequest& request) override {
        openRequests.push_back(request);
        NoteStatus();
        std::string answer = openAnswers.empty() ? "" : openAnswers.front();
        if (!openAnswers.empty()) openAnswers.pop_front();
        return answer;
    }
    void ShowMessage(const Message& message) override { messages.push_back(message); }
    bool AskYesNo(const Message& question) override { return questions.push_back(question), answerYes; }
    void RunSettingsDialog(Language& uiLanguage) override {
        NoteStatus();
        if (settingsChoice) uiLanguage = *settingsChoice;
    }
    void ShowAbout(Language uiLanguage) override { aboutLanguages.push_back(uiLanguage); }
    bool OpenHelpFile(const std::string& name) override { return helpFiles.push_back(name), helpOpens; }
    std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override {
        NoteStatus();
        return printer ? printer() : nullptr;
    }
    void StatusChanged() override { ++statusChanges; }

private:
    void NoteStatus() {
        if (p_) statusDuringDialogs.push_back(p_->window.status[4]);
    }
    const Program* p_;
};

}  // namespace vandrel::test
