#include "app/MainWindowLayout.h"

#include <stdexcept>
#include <vector>

namespace vandrel {

namespace {

using K = ControlKind;
constexpr Bilingual kNone{"", ""};

constexpr std::array<ControlSpec, kControlCount> kControls{{
    {0, "OpenButton1", K::Button, 15, 10, 380, 30, {"Open Milkshape 3D ASCII File 1", "Öffnen Milkshape 3D ASCII Datei 1"},
     {"Open Milkshape 3D ASCII file 1", "Milkshape 3D ASCII Datei 1 öffnen"}},
    {1, "SaveButton1", K::Button, 405, 10, 80, 30, {"Save", "Speichern"},
     {"Save MS 3D ASCII file 1", "Milkshape 3D ASCII Datei 1 speichern"}, true},
    {2, "OpenButton2", K::Button, 535, 10, 380, 30, {"Open Milkshape 3D ASCII File 2", "Öffnen Milkshape 3D ASCII Datei 2"},
     {"Open Milkshape 3D ASCII file 2", "Milkshape 3D ASCII Datei 2 öffnen"}},
    {3, "SaveButton2", K::Button, 925, 10, 80, 30, {"Save", "Speichern"},
     {"Save MS 3D ASCII file 2", "Milkshape 3D ASCII Datei 2 speichern"}, true},
    {4, "PathField1", K::ReadOnlyField, 15, 50, 470, 20, kNone, {"Show MS 3D Ascii file 1", "Milkshape 3D ASCII Datei 1 anzeigen"}},
    {5, "PathField2", K::ReadOnlyField, 535, 50, 470, 20, kNone, {"Show MS 3D Ascii file 2", "Milkshape 3D ASCII Datei 2 anzeigen"}},
    {6, "StatisticsLabel1", K::Label, 15, 80, 260, 20, {"Model Statistics", "Modell Statistik"}, kNone},
    {7, "KeyframeCounter1", K::BorderlessField, 290, 80, 140, 20, {"Keyframes", "Keyframes"}, kNone},
    {8, "ClipboardCounter", K::BorderlessField, 440, 80, 140, 20, {"Clipboard", "Zwischenablage"}, kNone},
    {9, "StatisticsLabel2", K::Label, 745, 80, 260, 20, {"Model Statistics", "Modell Statistik"}, kNone},
    {10, "KeyframeCounter2", K::BorderlessField, 590, 80, 140, 20, {"Keyframes", "Keyframes"}, kNone},
    {11, "StatisticsView1", K::TextView, 15, 100, 260, 500, kNone, {"Show Model Statistics from file 1", "Modell Statistik von Datei 1"}},
    {12, "KeyframeList1", K::MultiList, 290, 100, 140, 485, kNone, {"Select Keyframes from file 1", "Keyframes von Datei 1 auswählen"}},
    {13, "ClipboardList", K::SingleList, 440, 100, 140, 485, kNone, {"Show Keyframes in Clipboard", "Keyframes anzeigen"}},
    {14, "KeyframeList2", K::MultiList, 590, 100, 140, 485, kNone, {"Select Keyframes from file 2", "Keyframes von Datei 2 auswählen"}},
    {15, "StatisticsView2", K::TextView, 745, 100, 260, 500, kNone, {"Show Model Statistics from file2", "Modell Statistik von Datei 2"}},
    {16, "CutButton1", K::Button, 15, 610, 80, 30, {"Cut", "Ausschneiden"}, {"Cut keyframes to clipboard", "Keyframes ausschneiden von Datei 1 nach Zwischenablage"}, true},
    {17, "CopyButton1", K::Button, 105, 610, 80, 30, {"Copy", "Kopieren"}, {"Copy keyframes to clipboard", "Keytrames kopieren von Datei 1 nach Zwischenablage"}, true},
    {18, "PasteButton1", K::Button, 195, 610, 80, 30, {"Paste", "Einfügen"}, {"Paste keyframes to file 1", "Keyframes einfügen von Zwischenablage in Datei 1"}, true},
    {19, "CutButton2", K::Button, 745, 610, 80, 30, {"Cut", "Ausschneiden"}, {"Cut keyframes to clipboard", "Keyframes ausschneiden von Datei 2 nach Zwischenablage"}, true},
    {20, "CopyButton2", K::Button, 835, 610, 80, 30, {"Copy", "Kopieren"}, {"Copy keyframes to clipboard", "Keyframes kopieren von Datei 2 nach Zwischenablage"}, true},
    {21, "PasteButton2", K::Button, 925, 610, 80, 30, {"Paste", "Einfügen"}, {"Paste keyframes to file 2", "Keyframes einfügen von Zwischenablage in Datei 2"}, true},
    {22, "ClipboardFrame", K::Frame, 280, 590, 460, 60, {"Keyframes in Clipboard", "Keyframes in Zwischenablage"}, kNone},
    {23, "FromLabel", K::Label, 290, 605, 50, 15, {"From", "Von"}, kNone},
    {24, "ToLabel", K::Label, 350, 605, 50, 15, {"To", "Bis"}, kNone},
    {25, "AtLabel", K::Label, 410, 605, 50, 15, {"At", "Nach"}, kNone},
    {27, "CommentLabel", K::Label, 470, 605, 110, 15, {"Comment", "Kommentar"}, kNone},
    {26, "StepwidthLabel", K::Label, 590, 605, 70, 15, {"Stepwidth", "Schrittweite"}, kNone},
    {28, "FromField", K::ReadOnlyField, 290, 620, 50, 20, kNone, {"Select from keyframe in clipboard", "Von Keyframe"}, true},
    {29, "ToField", K::ReadOnlyField, 350, 620, 50, 20, kNone, {"Select to keyframe in clipboard", "Bis Keyframe"}, true},
    {30, "AtField", K::TextField, 410, 620, 50, 20, kNone,
     {"Select new keyframe start position in clipboard", "Nach Keyframe (neue Startposition)"}, true},
    {32, "CommentField", K::TextField, 470, 620, 110, 20, kNone, {"Comment", "Kommentar"}, true},
    {31, "StepwidthField", K::TextField, 590, 620, 60, 20, kNone,
     {"Select stepwidth for renaming keyframes in clipboard", "Schrittweite"}, true},
    {33, "ClipboardOkButton", K::Button, 660, 610, 70, 30, {"OK", "OK"},
     {"Move or rename keyframes or enter a comment in clipboard",
      "Keyframes verschieben, umbenennen und / oder mit einem Kommentar versehen"}, true},
}};

using M = MenuEntryKind;

const std::vector<MenuEntry> kMenu = {
    {M::Title, -1, {"File", "Datei"}},
    {M::Submenu, -1, {"Open ...", "Öffnen ..."}},
    {M::Item, 0, {"File 1 ...", "Datei 1 ..."}},
    {M::Item, 1, {"File 2 ...", "Datei 2 ..."}},
    {M::EndSubmenu, -1, {}},
    {M::Submenu, -1, {"Save ...", "Speichern ..."}},
    {M::Item, 2, {"File 1", "Datei 1"}, true},
    {M::Item, 3, {"File 2", "Datei 2"}, true},
    {M::EndSubmenu, -1, {}},
    {M::Separator, -1, {}},
    {M::Submenu, -1, {"Print ...", "Drucken ..."}},
    {M::Item, 4, {"Model Statistics File 1 ...", "Modell Statistik Datei 1 ..."}, true},
    {M::Item, 5, {"Keyframes File 1 ...", "Keyframes Datei 1 ..."}, true},
    {M::Separator, -1, {}},
    {M::Item, 6, {"Model Statistics File 2 ...", "Modell Statistik Datei 2 ..."}, true},
    {M::Item, 7, {"Keyframes File 2 ...", "Keyframes Datei 2 ..."}, true},
    {M::EndSubmenu, -1, {}},
    {M::Separator, -1, {}},
    {M::Item, 8, {"Settings ...", "Einstellungen ..."}},
    {M::Separator, -1, {}},
    {M::Item, 9, {"Quit\tAlt+F4", "Beenden\tAlt+F4"}},
    {M::Title, -1, {"Edit", "Bearbeiten"}},
    {M::Item, 12, {"Undo", "Rückgängig"}, true},
    {M::Item, 13, {"Redo", "Wiederherstellen"}, true},
    {M::Title, -1, {"View", "Ansicht"}},
    {M::Item, 14, {"Preview", "Vorschau"}},
    {M::Title, -1, {"Help", "Hilfe"}},
    {M::Item, 10, {"Contents ...\tF1", "Inhalt ...\tF1"}},
    {M::Separator, -1, {}},
    {M::Item, 11, {"About ...", "Über ..."}},
};

}  // namespace

const std::array<ControlSpec, kControlCount>& MainWindowControls() { return kControls; }

const ControlSpec& ControlById(int id) {
    for (const ControlSpec& c : kControls)
        if (c.id == id) return c;
    throw std::out_of_range("no control with this id");
}

const std::vector<MenuEntry>& MenuStructure() { return kMenu; }

const FileControls& ControlsOfFile(int n) {
    static constexpr FileControls kFiles[2] = {
        {ids::OpenButton1, ids::SaveButton1, ids::PathField1, ids::CutButton1, ids::CopyButton1, ids::PasteButton1,
         menu::OpenFile1, menu::SaveFile1, menu::PrintStatistics1, menu::PrintKeyframes1},
        {ids::OpenButton2, ids::SaveButton2, ids::PathField2, ids::CutButton2, ids::CopyButton2, ids::PasteButton2,
         menu::OpenFile2, menu::SaveFile2, menu::PrintStatistics2, menu::PrintKeyframes2},
    };
    return kFiles[n == 2 ? 1 : 0];
}

std::string MenuCaption(int id, Language uiLanguage, bool rebuilt) {
    // The menu that RebuildTexts makes has always read "Keyframes Datei1 ...".
    if (id == menu::PrintKeyframes1 && rebuilt && uiLanguage == Language::German) return "Keyframes Datei1 ...";
    for (const MenuEntry& e : kMenu)
        if (e.kind == MenuEntryKind::Item && e.id == id) return Tr(e.caption, uiLanguage);
    return {};
}

}  // namespace vandrel
