#pragma once
// The main window's controls and menu: ids, names, places and texts.
#include <array>
#include <string>
#include <vector>
#include <string_view>

#include "app/Texts.h"

namespace vandrel {

enum class ControlKind { Button, TextField, ReadOnlyField, BorderlessField, Label, TextView, MultiList, SingleList, Frame };

struct ControlSpec {
    int id;
    std::string_view name;
    ControlKind kind;
    int x, y, width, height;
    Bilingual caption;  // empty: the control has no caption of its own
    Bilingual tip;      // empty: no tooltip
    bool offAtStart = false;  // disabled until a command enables it
};

inline constexpr int kControlCount = 34;
inline constexpr int kMenuItemCount = 15;
inline constexpr int kStatusFieldCount = 5;

// Control ids by role.
namespace ids {
inline constexpr int OpenButton1 = 0, SaveButton1 = 1, OpenButton2 = 2, SaveButton2 = 3;
inline constexpr int PathField1 = 4, PathField2 = 5, StatisticsLabel1 = 6, KeyframeCounter1 = 7;
inline constexpr int ClipboardCounter = 8, StatisticsLabel2 = 9, KeyframeCounter2 = 10;
inline constexpr int StatisticsView1 = 11, KeyframeList1 = 12, ClipboardList = 13, KeyframeList2 = 14;
inline constexpr int StatisticsView2 = 15, CutButton1 = 16, CopyButton1 = 17, PasteButton1 = 18;
inline constexpr int CutButton2 = 19, CopyButton2 = 20, PasteButton2 = 21, ClipboardFrame = 22;
inline constexpr int FromField = 28, ToField = 29, AtField = 30, StepwidthField = 31, CommentField = 32;
inline constexpr int ClipboardOkButton = 33;
}  // namespace ids

// The controls in creation order (not id order).
const std::array<ControlSpec, kControlCount>& MainWindowControls();
const ControlSpec& ControlById(int id);

// Menu ids.
namespace menu {
inline constexpr int OpenFile1 = 0, OpenFile2 = 1, SaveFile1 = 2, SaveFile2 = 3;
inline constexpr int PrintStatistics1 = 4, PrintKeyframes1 = 5, PrintStatistics2 = 6, PrintKeyframes2 = 7;
inline constexpr int Settings = 8, Quit = 9, HelpContents = 10, About = 11;
inline constexpr int Undo = 12, Redo = 13, Preview = 14;
}  // namespace menu

enum class MenuEntryKind { Title, Submenu, EndSubmenu, Item, Separator };

struct MenuEntry {
    MenuEntryKind kind;
    int id;  // items only
    Bilingual caption;
    bool offAtStart = false;  // disabled until a command enables it
};

// The controls and menu items that belong to file 1 or file 2.
struct FileControls {
    int openButton, saveButton, pathField, cutButton, copyButton, pasteButton;
    int openMenu, saveMenu, printStatisticsMenu, printKeyframesMenu;
};
const FileControls& ControlsOfFile(int n);

// The menu bar from top to bottom; a submenu's entries follow it up to its EndSubmenu.
const std::vector<MenuEntry>& MenuStructure();

// The caption of menu item id; `rebuilt` is true for the menu RebuildTexts makes.
std::string MenuCaption(int id, Language uiLanguage, bool rebuilt);

}  // namespace vandrel
