// Whole command sequences through the dispatch the window and vandrel-cli use:
// two models and a script, separated by a line "~~~~":
//
//     <bytes of model a.txt> LF "~~~~" LF <bytes of model b.txt> LF "~~~~" LF <script>
//
// The script has one command per line; the first character says which, the
// second (after an optional blank) which file ('2' is File 2, anything else File 1):
//
//     o N P     open file N; P: a (a.txt), b (b.txt), c (cancel the dialog),
//               x (a name without the txt extension), m (a missing .txt file),
//               s (the file's own path, that is a reopen)
//     s N ROWS  select rows of file N: '*' all, '-' none, else row positions
//               separated by anything that is not a digit
//     x N / c N / p N   cut / copy / paste
//     e AT|STEP|COMMENT  the Clipboard fields and OK
//     w N       save; r N  save, then reopen through the Open command
//     l L       the Settings command choosing language L
//     u / y     Edit > Undo / Redo
//
// After every command the invariants of FuzzInvariants.h are checked, and more
// for models whose bones section was well formed when opened.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "FuzzInvariants.h"
#include "app/Commands.h"
#include "app/Program.h"
#include "model/KeyLines.h"
#include "clipboard/SpliceKeys.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/FileBytes.h"
#include "output/PrintSurface.h"

using namespace vandrel;
using namespace vandrel::fuzz;

namespace {

constexpr std::string_view kSeparator = "\n~~~~\n";
constexpr size_t kMaxCommands = 64;

// The dialogs, answered by the fuzz input.
class FuzzShell : public Shell {
public:
    std::string openPath;
    Language language = Language::English;
    std::string AskOpenPath(const OpenDialogRequest&) override { return openPath; }
    void RunSettingsDialog(Language& uiLanguage) override { uiLanguage = language; }
};

// One private working folder for the whole run: Vandrel.ini, the models and
// their side files live there. Memory-backed when the machine has one, since
// every save is flushed to disk.
void EnterWorkingFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
        base = std::filesystem::temp_directory_path();
    std::string folder = (base / "vandrel-fuzz-XXXXXX").string();
    if (!::mkdtemp(folder.data()) || ::chdir(folder.c_str()) != 0) {
        std::perror("vandrel fuzz: working folder");
        std::abort();
    }
    static std::string made;
    made = folder;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(made, ignored);
    });
}

// Each input starts in an empty folder: no settings, side files or models
// that earlier inputs saved.
void EmptyWorkingFolder() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(".", error))
        std::filesystem::remove_all(entry.path(), error);
}

void WriteBytes(const char* name, std::string_view bytes) {
    FILE* file = std::fopen(name, "wb");
    if (!file) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
    std::fclose(file);
}

size_t KeyLineCount(const LineSet& set) {
    size_t keys = 0;
    for (int64_t i = 1; i <= set.LineCount; ++i) keys += IsKeyLine(set.ModelLines[size_t(i)]);
    return keys;
}

struct Run {
    Program p;
    FuzzShell shell;
    // Whether the model in slot n had a well-formed bones section when opened.
    bool wellFormed[2] = {false, false};
    // Whether the Clipboard was taken from such a model and not edited since.
    bool clipWellFormed = false;
    // Slots that a paste grew past LineCapacity (see Paste).
    bool pastMaximum[2] = {false, false};
    // VANDREL_FUZZ_TRACE set: each command is printed before it runs.
    const bool trace = std::getenv("VANDREL_FUZZ_TRACE") != nullptr;

    ModelSlot& File(int n) { return p.ws.File(n); }

    void CheckAll() {
        for (int n : {1, 2}) {
            const ModelSlot& slot = File(n);
            CheckLineSet(slot);
            FUZZ_CHECK(slot.Rows.size() <= static_cast<size_t>(INT32_MAX));
            if (!pastMaximum[n - 1]) FUZZ_CHECK(slot.LineCount <= p.ws.LineCapacity);
            if (wellFormed[n - 1]) {
                FUZZ_CHECK(WellFormedBones(slot));
                for (const BoneRecord& bone : slot.BoneList) FUZZ_CHECK(bone.RotationKeyCountLine <= slot.LineCount);
            }
        }
        CheckClipboard(p.ws.Clip);
        if (clipWellFormed) FUZZ_CHECK(WellFormedBones(p.ws.Clip));
    }

    void Open(int n, char choice) {
        const std::string own = File(n).Path;
        switch (choice) {
            case 'a': shell.openPath = "a.txt"; break;
            case 'b': shell.openPath = "b.txt"; break;
            case 'x': shell.openPath = "a.bin"; break;
            case 'm': shell.openPath = "missing.txt"; break;
            case 's': shell.openPath = own; break;
            default: shell.openPath.clear(); break;
        }
        const size_t messages = p.shownMessages.size();
        HandleControl(p, shell, n == 1 ? ids::OpenButton1 : ids::OpenButton2);
        if (shell.openPath.empty()) {  // cancelled: nothing shown, nothing changed
            FUZZ_CHECK(p.shownMessages.size() == messages && File(n).Path == own);
        } else if (p.shownMessages.size() == messages) {  // opened: the slot holds a new model
            FUZZ_CHECK(File(n).Path == shell.openPath);
            FUZZ_CHECK(File(n).LineCount <= p.ws.LineCapacity);
            wellFormed[n - 1] = WellFormedBones(File(n));
            pastMaximum[n - 1] = false;
        }
    }

    void Select(int n, std::string_view rows) {
        KeyframeTable& table = File(n).Rows;
        for (KeyframeRow& row : table) row.Selected = false;
        if (rows.find('*') != std::string_view::npos) {
            for (KeyframeRow& row : table) row.Selected = true;
            return;
        }
        size_t value = 0;
        bool digits = false;
        for (size_t i = 0; i <= rows.size(); ++i) {
            if (i < rows.size() && rows[i] >= '0' && rows[i] <= '9') {
                value = std::min<size_t>(value * 10 + size_t(rows[i] - '0'), 1u << 30);
                digits = true;
            } else if (digits) {
                if (value < table.size()) table[value].Selected = true;
                value = 0;
                digits = false;
            }
        }
    }

    // A copy leaves the file as it was, line for line; a cut leaves no key line
    // of a taken frame in the bones section; either way the Clipboard holds key
    // lines of taken frames only.
    void Take(int n, bool cut) {
        const int button = cut ? (n == 1 ? ids::CutButton1 : ids::CutButton2)
                               : (n == 1 ? ids::CopyButton1 : ids::CopyButton2);
        if (!ControlEnabled(p, button)) return;
        const ModelSlot before = File(n);
        std::unordered_set<int32_t> taken;
        for (const KeyframeRow& row : before.Rows)
            if (row.Selected) taken.insert(FrameNumberOfRow(row));

        HandleControl(p, shell, button);
        const ModelSlot& after = File(n);
        if (!cut) {
            FUZZ_CHECK(after.LineCount == before.LineCount && after.BoneList == before.BoneList);
            for (int64_t i = 1; i <= before.LineCount; ++i) FUZZ_CHECK(LineAt(after, i) == LineAt(before, i));
            FUZZ_CHECK(KeyframeNumbersOfRows(after.Rows) == KeyframeNumbersOfRows(before.Rows));
        } else {
            const LineRange section = BonesSection(after);
            for (int64_t i = section.first; i <= section.last; ++i)
                if (IsKeyLine(LineAt(after, i)) && FrameNumberOfLine(LineAt(after, i)) != 0)
                    FUZZ_CHECK(!taken.count(FrameNumberOfLine(LineAt(after, i))));
        }
        const Clipboard& clip = p.ws.Clip;
        for (int64_t i = std::max<int32_t>(clip.BonesLine, 1); i <= clip.LineCount; ++i)
            if (IsKeyLine(LineAt(clip, i))) FUZZ_CHECK(taken.count(FrameNumberOfLine(LineAt(clip, i))));
        clipWellFormed = wellFormed[n - 1];
    }

    void Paste(int n) {
        const int64_t before = File(n).LineCount;
        const size_t clipboardKeys = KeyLineCount(p.ws.Clip);
        if (!ControlEnabled(p, n == 1 ? ids::PasteButton1 : ids::PasteButton2)) return;
        // The same paste done the plain way on a copy: rows merged one at a time,
        // keys placed one line at a time. The dispatch must give the same model.
        ModelSlot reference = File(n);
        Clipboard clip = p.ws.Clip;
        MergeRowsOneByOne(reference.Rows, clip.Rows);
        RebuildBoneList(reference);
        RebuildBoneList(clip);
        SpliceKeysLineByLine(clip, reference);
        RebuildBoneList(reference);

        HandleControl(p, shell, n == 1 ? ids::PasteButton1 : ids::PasteButton2);
        FUZZ_CHECK(File(n).LineCount == reference.LineCount);
        for (int64_t i = 1; i <= reference.LineCount; ++i) FUZZ_CHECK(LineAt(File(n), i) == LineAt(reference, i));
        FUZZ_CHECK(File(n).BoneList == reference.BoneList);
        FUZZ_CHECK(File(n).Rows.size() == reference.Rows.size());
        for (size_t r = 0; r < reference.Rows.size(); ++r) {
            FUZZ_CHECK(File(n).Rows[r].RowText == reference.Rows[r].RowText);
            FUZZ_CHECK(File(n).Rows[r].Selected == reference.Rows[r].Selected);
        }
        // The paste grows the capacity by an estimate from the two files; a
        // Clipboard taken from a larger model than either file now holds can
        // insert more. Each line it adds is a Clipboard key line, placed at most
        // once per matching bone and kind (the keys it replaces may be more).
        const int64_t inserted = File(n).LineCount - before;
        if (File(n).LineCount > p.ws.LineCapacity) {
            FUZZ_CHECK(static_cast<size_t>(inserted) <= clipboardKeys * File(n).BoneList.size());
            pastMaximum[n - 1] = true;
            if (trace)
                std::fprintf(stderr, "paste: file %d holds %d lines, LineCapacity is %lld\n", n, File(n).LineCount,
                             static_cast<long long>(p.ws.LineCapacity));
        }
    }

    void Edit(std::string_view fields) {
        if (!ControlEnabled(p, ids::ClipboardOkButton)) return;
        std::string_view parts[3];
        for (int k = 0; k < 3; ++k) {
            const size_t bar = k < 2 ? fields.find('|') : std::string_view::npos;
            parts[k] = fields.substr(0, bar);
            fields = bar == std::string_view::npos ? std::string_view() : fields.substr(bar + 1);
        }
        p.window.controls[ids::AtField].text = parts[0];
        p.window.controls[ids::StepwidthField].text = parts[1];
        p.window.controls[ids::CommentField].text = parts[2];
        HandleControl(p, shell, ids::ClipboardOkButton);
        clipWellFormed = false;
    }

    // Saves file n; a model that was well formed when opened reads back with
    // the keyframes its lines held in memory.
    bool Save(int n) {
        const std::vector<int32_t> expected = KeyframeNumbersOfLines(File(n));
        const size_t messages = p.shownMessages.size();
        if (!HandleControl(p, shell, n == 1 ? ids::SaveButton1 : ids::SaveButton2)) return false;
        if (p.shownMessages.size() != messages) return false;
        if (wellFormed[n - 1]) {
            std::optional<std::string> written = ReadFileBytes(File(n).Path);
            FUZZ_CHECK(written.has_value());
            FUZZ_CHECK(KeyframeNumbersOfFile(*written) == expected);
        }
        return true;
    }

    void SaveAndReopen(int n) {
        const std::vector<int32_t> expected = KeyframeNumbersOfLines(File(n));
        const bool checked = wellFormed[n - 1];
        if (!Save(n)) return;
        Open(n, 's');
        if (checked) FUZZ_CHECK(KeyframeNumbersOfRows(File(n).Rows) == expected);
    }

    // Undo or Redo. The files are then whatever an earlier command left, so the
    // checks that follow a model from its open are off until it is opened again.
    void UndoOrRedo(int menuId) {
        if (!HandleMenu(p, shell, menuId)) return;
        for (int n : {0, 1}) {
            wellFormed[n] = false;
            pastMaximum[n] = true;
        }
        clipWellFormed = false;
    }

    void Language(char choice) {
        shell.language = choice == '1' ? Language::German : Language::English;
        HandleMenu(p, shell, menu::Settings);
    }

    void Command(std::string_view line) {
        if (line.empty()) return;
        if (trace) std::fprintf(stderr, "command: %.*s\n", int(line.size()), line.data());
        const char op = line[0];
        std::string_view rest = line.substr(1);
        if (!rest.empty() && rest[0] == ' ') rest.remove_prefix(1);
        const int n = !rest.empty() && rest[0] == '2' ? 2 : 1;
        std::string_view arguments = rest.empty() ? rest : rest.substr(1);
        if (!arguments.empty() && arguments[0] == ' ') arguments.remove_prefix(1);
        switch (op) {
            case 'o': Open(n, arguments.empty() ? 'c' : arguments[0]); break;
            case 's': Select(n, arguments); break;
            case 'x': Take(n, true); break;
            case 'c': Take(n, false); break;
            case 'p': Paste(n); break;
            case 'e': Edit(rest); break;
            case 'w': Save(n); break;
            case 'r': SaveAndReopen(n); break;
            case 'l': Language(rest.empty() ? '0' : rest[0]); break;
            case 'u': UndoOrRedo(menu::Undo); break;
            case 'y': UndoOrRedo(menu::Redo); break;
            default: return;
        }
        CheckAll();
    }
};

std::string_view NextPart(std::string_view& input) {
    const size_t at = input.find(kSeparator);
    std::string_view part = input.substr(0, at);
    input = at == std::string_view::npos ? std::string_view() : input.substr(at + kSeparator.size());
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterWorkingFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view modelA = NextPart(input);
    const std::string_view modelB = NextPart(input);
    EmptyWorkingFolder();
    WriteBytes("a.txt", modelA);
    WriteBytes("b.txt", modelB);

    Run run;
    StartUp(run.p, run.shell, false);
    run.CheckAll();
    size_t commands = 0;
    while (!input.empty() && commands < kMaxCommands) {
        const size_t end = input.find('\n');
        run.Command(input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        ++commands;
    }
    return 0;
}
