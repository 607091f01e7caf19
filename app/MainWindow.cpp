#include "app/MainWindow.h"

#include "app/Texts.h"
#include "model/Compatibility.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"

namespace vandrel {

namespace {

ControlState& Control(Program& p, int id) { return p.window.controls[size_t(id)]; }

void Enable(Program& p, int id, bool on) { Control(p, id).enabled = on; }
void EnableMenu(Program& p, int id, bool on) { p.window.menu[size_t(id)].enabled = on; }

void BuildMenu(Program& p, bool rebuilt) {
    for (int id = 0; id < kMenuItemCount; ++id) p.window.menu[size_t(id)] = {MenuCaption(id, p.UiLanguage, rebuilt), true};
}

std::string CompatibleText(const Program& p) {
    return " " + Tr(texts::Compatible, p.UiLanguage) + DecimalText(p.ws.CompatibleCount);
}

}  // namespace

void BuildMainWindow(Program& p) {
    for (const ControlSpec& c : MainWindowControls()) {
        Control(p, c.id).text = Tr(c.caption, p.UiLanguage);
        Control(p, c.id).tip = Tr(c.tip, p.UiLanguage);
    }
    BuildMenu(p, false);
}

void DisableStartUpCommands(Program& p) {
    for (const ControlSpec& c : MainWindowControls())
        if (c.offAtStart) Enable(p, c.id, false);
    for (const MenuEntry& e : MenuStructure())
        if (e.kind == MenuEntryKind::Item && e.offAtStart) EnableMenu(p, e.id, false);
}

void EnableFileCommands(Program& p, int n) {
    const FileControls& file = ControlsOfFile(n);
    Enable(p, file.saveButton, true);
    EnableMenu(p, file.saveMenu, true);
    EnableMenu(p, file.printStatisticsMenu, true);
}

void RefreshMainWindow(Program& p) {
    for (int n : {1, 2}) {
        if (!p.ws.File(n).Path.empty()) continue;
        const FileControls& file = ControlsOfFile(n);
        Enable(p, file.saveButton, false);
        for (int id : {file.saveMenu, file.printStatisticsMenu, file.printKeyframesMenu}) EnableMenu(p, id, false);
    }
    const KeyframeTable& clip = p.ws.Clip.Rows;
    const size_t n1 = p.ws.File(1).Rows.size(), n2 = p.ws.File(2).Rows.size(), nc = clip.size();
    if (nc > 0)
        for (int id : {ids::FromField, ids::ToField, ids::AtField, ids::StepwidthField, ids::CommentField})
            Enable(p, id, true);

    std::string from, to;
    if (nc > 0) {
        from = DecimalText(FrameNumberOfRow(clip.front()));
        to = DecimalText(FrameNumberOfRow(clip.back()));
    }
    Control(p, ids::KeyframeCounter1).text = std::string(texts::KeyframeCount) + DecimalText(int64_t(n1));
    Control(p, ids::KeyframeCounter2).text = std::string(texts::KeyframeCount) + DecimalText(int64_t(n2));
    Control(p, ids::ClipboardCounter).text = Tr(texts::ClipboardCount, p.UiLanguage) + DecimalText(int64_t(nc));
    Control(p, ids::FromField).text = from;
    Control(p, ids::ToField).text = to;
    Control(p, ids::AtField).text = from;
    Control(p, ids::StepwidthField).text.clear();
    Control(p, ids::CommentField).text.clear();

    for (int n : {1, 2}) {
        const FileControls& file = ControlsOfFile(n);
        const bool hasRows = !p.ws.File(n).Rows.empty();
        for (int id : {file.cutButton, file.copyButton}) Enable(p, id, hasRows);
        EnableMenu(p, file.printKeyframesMenu, hasRows);
    }

    if (nc > 0) {
        for (int id : {ids::ClipboardOkButton, ids::PasteButton1, ids::PasteButton2}) Enable(p, id, true);
    } else {
        Enable(p, ids::ClipboardOkButton, false);
    }
    EnableMenu(p, menu::Undo, p.history.CanUndo());
    EnableMenu(p, menu::Redo, p.history.CanRedo());

    // Without compatible bones the Clipboard can only go back where it came from.
    if (p.ws.CompatibleCount == 0) {
        if (p.ws.Clip.ClipboardSource == 1) Enable(p, ids::PasteButton2, false);
        if (p.ws.Clip.ClipboardSource == 2) Enable(p, ids::PasteButton1, false);
    }
    // A paste must be able to place keys: rows without keys would vanish on the next open.
    for (int n : {1, 2})
        if (!HasBoneOf(p.ws.File(n), p.ws.Clip)) Enable(p, ControlsOfFile(n).pasteButton, false);
}

void RebuildTexts(Program& p) {
    p.HelpFileName = Tr(texts::HelpFileName, p.UiLanguage);
    BuildMenu(p, true);
    p.window.status[2] = CompatibleText(p);
    // Every caption and tooltip in the new language; the counters keep their counts.
    for (const ControlSpec& c : MainWindowControls()) {
        if (!c.caption.en.empty() && c.kind != ControlKind::BorderlessField) Control(p, c.id).text = Tr(c.caption, p.UiLanguage);
        if (!c.tip.en.empty()) Control(p, c.id).tip = Tr(c.tip, p.UiLanguage);
    }
}

void BusyIndicator(Program& p, Shell& shell, bool busy) {
    p.window.status[4] = " " + Tr(busy ? texts::Busy : texts::Ready, p.UiLanguage);
    shell.StatusChanged();
}

void ShowCompatibility(Program& p) {
    p.ws.CompatibleCount = CountCompatibleBones(p.ws.File(1), p.ws.File(2));
    p.window.status[0] = "  " + std::string(texts::CopyrightLine);
    p.window.status[1] = " " + JointText(p.ws.File(1));
    p.window.status[3] = " " + JointText(p.ws.File(2));
    p.window.status[2] = CompatibleText(p);
}

bool FileChanged(const Program& p, int n) { return p.saved.Modified(p.ws.File(n)); }

std::string ControlText(const Program& p, int id) {
    if (id == ids::StatisticsView1 || id == ids::StatisticsView2) {
        std::string text;
        const auto& lines = p.ws.File(id == ids::StatisticsView1 ? 1 : 2).ModelStatistics.All();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) text += texts::LineEnd;
            text += lines[i];
        }
        return text;
    }
    if (id == ids::KeyframeList1 || id == ids::ClipboardList || id == ids::KeyframeList2) return {};
    return p.window.controls[size_t(id)].text;
}

}  // namespace vandrel
