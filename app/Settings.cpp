#include "app/Settings.h"

#include "app/Texts.h"
#include "model/FileBytes.h"
#include "model/IntegerValue.h"
#include "model/Text.h"
#include "output/SafeWrite.h"

namespace vandrel {

namespace {

// The value after `key` when the stripped line begins with it, compared upper-cased.
bool KeyValue(std::string_view line, std::string_view key, std::string_view& value) {
    if (line.size() < key.size()) return false;
    for (size_t i = 0; i < key.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != key[i]) return false;
    }
    value = StripBlanks(line.substr(key.size()));
    return true;
}

}  // namespace

void SetUiLanguage(Program& p, int64_t value) {
    p.UiLanguage = LanguageOfSetting(value);
    p.HelpFileName = Tr(texts::HelpFileName, p.UiLanguage);
}

bool ReadInitialLanguage(Program& p) {
    std::optional<std::string> bytes = ReadFileBytes(p.SettingsFileName);
    if (!bytes) return false;
    ForEachLine(*bytes, [&](std::string_view raw) {
        std::string_view value;
        if (KeyValue(StripBlanks(raw), "LANGUAGE=", value)) SetUiLanguage(p, IntegerValue(value));
    });
    return true;
}

void ReadSettings(Program& p) {
    if (std::optional<std::string> bytes = ReadFileBytes(p.SettingsFileName)) {
        ForEachLine(*bytes, [&](std::string_view raw) {
            std::string_view line = StripBlanks(raw), value;
            if (KeyValue(line, "FILE1=", value)) p.ws.File(1).DialogDefault = value;
            else if (KeyValue(line, "FILE2=", value)) p.ws.File(2).DialogDefault = value;
            else if (KeyValue(line, "LANGUAGE=", value)) SetUiLanguage(p, IntegerValue(value));
        });
    }
    for (int n : {1, 2}) p.ws.File(n).DialogDefault = ValidateDialogDefault(p.ws.File(n).DialogDefault);
}

void WriteSettings(Program& p) {
    for (int n : {1, 2}) p.ws.File(n).DialogDefault = ValidateDialogDefault(p.ws.File(n).DialogDefault);
    std::string text = "FILE1=" + p.ws.File(1).DialogDefault + "\r\n";
    text += "FILE2=" + p.ws.File(2).DialogDefault + "\r\n";
    text += "LANGUAGE=" + DecimalText(SettingOfLanguage(p.UiLanguage)) + "\r\n";
    WriteFileSafely(p.SettingsFileName, text);
}

std::string ValidateDialogDefault(const std::string& path) {
    if (LowerExtensionOf(path) != "txt" || !CanOpenForReading(path)) return {};
    return path;
}

}  // namespace vandrel
