#include "app/Dump.h"

#include <nlohmann/json.hpp>

#include "app/MainWindow.h"
#include "app/Texts.h"

namespace vandrel {

namespace {

using Json = nlohmann::ordered_json;

Json Text(std::string_view bytes) { return Utf8FromBytes(bytes); }

Json Texts(const std::vector<std::string>& list) {
    Json out = Json::array();
    for (const std::string& s : list) out.push_back(Text(s));
    return out;
}

Json LinesOf(const LineSet& set, int64_t last) {
    Json out = Json::array();
    for (int64_t i = 1; i <= last; ++i) out.push_back(Text(LineAt(set, i)));
    return out;
}

Json Bones(const std::vector<BoneRecord>& bones) {
    Json out = Json::array();
    for (const BoneRecord& b : bones)
        out.push_back({b.NameLine, b.RestLine, b.PositionKeyCountLine, b.RotationKeyCountLine});
    return out;
}

Json Rows(const KeyframeTable& rows) {
    Json out = Json::array();
    for (const KeyframeRow& r : rows) out.push_back(Text(r.RowText));
    return out;
}

Json File(const ModelSlot& slot) {
    Json selected = Json::array();
    for (size_t i = 0; i < slot.Rows.size(); ++i)
        if (slot.Rows[i].Selected) selected.push_back(i);
    Json f = Json::object();
    f["path"] = Text(slot.Path);
    f["dialogDefault"] = Text(slot.DialogDefault);
    f["sidecarPath"] = Text(slot.SidecarPath);
    f["lineCount"] = slot.LineCount;
    f["bonesLine"] = slot.BonesLine;
    f["lines"] = LinesOf(slot, slot.LineCount);
    f["bones"] = Bones(slot.BoneList);
    f["rows"] = Rows(slot.Rows);
    f["selected"] = selected;
    f["statistics"] = Texts(slot.ModelStatistics.All());
    f["loadedRestLines"] = Texts(slot.LoadedRestLines);
    f["restLinesAdjusted"] = slot.RestLinesAdjusted;
    return f;
}

Json Window(const Program& p) {
    Json controls = Json::object();
    for (int id = 0; id < kControlCount; ++id) {
        const ControlState& c = p.window.controls[size_t(id)];
        controls[std::to_string(id)] = {{"text", Text(ControlText(p, id))}, {"tip", Text(c.tip)}, {"enabled", c.enabled}};
    }
    Json items = Json::object();
    for (int id = 0; id < kMenuItemCount; ++id) {
        const MenuItemState& m = p.window.menu[size_t(id)];
        items[std::to_string(id)] = {{"text", Text(m.text)}, {"enabled", m.enabled}};
    }
    Json status = Json::array();
    for (const std::string& s : p.window.status) status.push_back(Text(s));
    Json w = Json::object();
    w["controls"] = controls;
    w["menu"] = items;
    w["status"] = status;
    return w;
}

}  // namespace

std::string DumpState(const Program& p, const std::vector<Message>& messages) {
    Json shown = Json::array();
    for (const Message& m : messages) shown.push_back({Text(m.title), Text(m.text)});
    const Clipboard& clip = p.ws.Clip;
    Json clipboard = Json::object();
    clipboard["lineCount"] = clip.LineCount;
    clipboard["bonesLine"] = clip.BonesLine;
    clipboard["lines"] = LinesOf(clip, clip.LineCount);
    clipboard["bones"] = Bones(clip.BoneList);
    clipboard["rows"] = Rows(clip.Rows);

    Json d = Json::object();
    d["lineCapacity"] = p.ws.LineCapacity;
    d["uiLanguage"] = SettingOfLanguage(p.UiLanguage);
    d["helpFileName"] = Text(p.HelpFileName);
    d["compatibleCount"] = p.ws.CompatibleCount;
    d["clipboardSource"] = clip.ClipboardSource;
    d["modified"] = {FileChanged(p, 1), FileChanged(p, 2)};
    d["messages"] = shown;
    d["window"] = Window(p);
    d["files"] = {File(p.ws.File(1)), File(p.ws.File(2))};
    d["clipboard"] = clipboard;
    return d.dump();
}

}  // namespace vandrel
