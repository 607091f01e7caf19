#pragma once
// Every text the program shows, each as an English/German pair. Texts are held
// as 8-bit strings like the files the program edits: the German letters are
// their Latin-1 bytes, so one byte string can carry program text and file text.
#include <string>
#include <string_view>

#include "output/Language.h"

namespace vandrel {

struct Bilingual {
    std::string_view en;  // UTF-8 in the source
    std::string_view de;
};

// The text in the language (1 German, else English), as Latin-1 bytes.
std::string Tr(const Bilingual& text, Language uiLanguage);

// UTF-8 source text to Latin-1 bytes (all program texts are Latin-1 characters).
std::string Latin1(std::string_view utf8);

// 8-bit text to UTF-8, each byte as the character of the same value.
std::string Utf8FromBytes(std::string_view bytes);

namespace texts {

inline constexpr std::string_view AppTitle = " Vandrel";
inline constexpr std::string_view CopyrightLine = "Copyright (C) 2026 The Vandrel developers";
inline constexpr std::string_view LineEnd = "\r\n";
inline constexpr Bilingual VersionLine{"Version 1.02 of 04/30/2012", "Version 1.02 vom 30.04.2012"};
inline constexpr Bilingual HelpFileName{"VandrelEnglish.chm", "VandrelGerman.chm"};

inline constexpr Bilingual HintTitle{" Hint", " Hinweis"};
inline constexpr Bilingual ErrorTitle{" Error", " Fehler"};
inline constexpr Bilingual QuitTitle{" Quit", " Beenden"};
inline constexpr Bilingual UnsavedFileLabel{"File ", "Datei "};
inline constexpr Bilingual HasUnsavedChanges{" has unsaved changes.", " hat ungesicherte Änderungen."};
inline constexpr Bilingual OnlyMilkShapeFiles{"You can open only Milkshape 3D ASCII files!",
                                              "Nur Milkshape 3D ASCII Dateien können geöffnet werden!"};
inline constexpr Bilingual FileLabel{"File < ", "Datei < "};
inline constexpr Bilingual CannotBeRead{" > cannot be read!", " > kann nicht gelesen werden!"};
inline constexpr Bilingual IsWriteProtected{" > is write-protected!", " > ist schreibgeschützt!"};
inline constexpr Bilingual CannotBeSaved{"The file cannot be saved!", "Die Datei kann nicht gesichert werden!"};
inline constexpr Bilingual HelpFileLabel{"The help file < ", "Die Hilfedatei < "};
inline constexpr Bilingual CannotBeOpened{" > cannot be opened!", " > kann nicht geöffnet werden!"};

inline constexpr Bilingual OpenDialogTitle1{" Please select Milkshape 3D ASCII file 1",
                                            " Bitte Milkshape 3D ASCII Datei 1 auswählen"};
inline constexpr Bilingual OpenDialogTitle2{" Please select Milkshape 3D ASCII file 2",
                                            " Bitte Milkshape 3D ASCII Datei 2 auswählen"};
inline constexpr Bilingual OpenDialogFilter{"Milkshape 3D ASCII files (*.txt)|*.txt|All files (*.*)|*.*",
                                            "Milkshape 3D ASCII Dateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*"};

inline constexpr Bilingual Busy{"< ###### < B U S Y > ###### >", "< ###### < Bitte warten > ###### >"};
inline constexpr Bilingual Ready{"--------- < R E A D Y > ---------", "--------- < Bereit > ---------"};
inline constexpr Bilingual Compatible{"Compatible: ", "Kompatibel: "};
inline constexpr Bilingual ClipboardCount{"Clipboard: ", "Zwischenablage: "};
inline constexpr std::string_view KeyframeCount = "Keyframes: ";

inline constexpr Bilingual SettingsTitle{" Settings", " Einstellungen"};
inline constexpr Bilingual LanguageFrame{"Language", "Sprache"};
inline constexpr Bilingual LanguageEnglish{"English", "Englisch"};
inline constexpr Bilingual LanguageGerman{"German", "Deutsch"};
inline constexpr Bilingual Ok{"OK", "OK"};
inline constexpr Bilingual Cancel{"Cancel", "Abbrechen"};
inline constexpr Bilingual Apply{"Apply", "Übernehmen"};

inline constexpr Bilingual AboutTitle{" About", " Über"};
inline constexpr Bilingual DisclaimerHeading{"Disclaimer", "Haftungsausschluss"};

inline constexpr Bilingual StatisticsSuffix{" - Statistics", " - Statistik"};
inline constexpr std::string_view KeyframesSuffix = " - Keyframes";
inline constexpr Bilingual PageOf{"Page ", "Seite "};
inline constexpr Bilingual Of{" of ", " von "};
inline constexpr Bilingual ColumnIndex{"Index", "Index"};
inline constexpr Bilingual ColumnKeyframe{"Keyframe", "Keyframe"};
inline constexpr Bilingual ColumnComment{"Comment", "Kommentar"};
inline constexpr Bilingual ColumnScene{"Scene", "Szene"};
inline constexpr Bilingual ColumnNumber{"Number", "Nummer"};

inline constexpr Bilingual PreviewTitle{" Preview", " Vorschau"};
inline constexpr Bilingual PreviewFile1{"File 1", "Datei 1"};
inline constexpr Bilingual PreviewFile2{"File 2", "Datei 2"};
inline constexpr Bilingual PreviewClipboard{"Clipboard", "Zwischenablage"};
inline constexpr Bilingual ViewFront{"Front", "Vorne"};
inline constexpr Bilingual ViewSide{"Side", "Seite"};
inline constexpr Bilingual ViewTop{"Top", "Oben"};
inline constexpr Bilingual ViewFree{"Free", "Frei"};
inline constexpr Bilingual Play{"Play", "Abspielen"};
inline constexpr Bilingual Pause{"Pause", "Pause"};
inline constexpr Bilingual FramesPerSecond{"Frames per second:", "Bilder pro Sekunde:"};
inline constexpr Bilingual Fit{"Fit", "Einpassen"};
inline constexpr Bilingual FitTip{"Frame the whole animation (F)", "Die ganze Animation einpassen (F)"};
inline constexpr Bilingual Textured{"Textured", "Texturiert"};
inline constexpr Bilingual Wireframe{"Wireframe", "Drahtgitter"};
inline constexpr Bilingual Skeleton{"Skeleton", "Skelett"};
inline constexpr Bilingual Grid{"Grid", "Boden"};
inline constexpr Bilingual Loop{"Loop", "Schleife"};
inline constexpr Bilingual FrameField{"Frame:", "Bild:"};
inline constexpr Bilingual PreviousKeyframe{"Previous keyframe (Page Up, Ctrl+Left)", "Vorheriger Keyframe (Bild auf, Strg+Links)"};
inline constexpr Bilingual PreviousFrame{"Previous frame (Left)", "Vorheriges Bild (Links)"};
inline constexpr Bilingual NextFrame{"Next frame (Right)", "Nächstes Bild (Rechts)"};
inline constexpr Bilingual NextKeyframe{"Next keyframe (Page Down, Ctrl+Right)", "Nächster Keyframe (Bild ab, Strg+Rechts)"};
inline constexpr Bilingual PlayTip{"Play or pause (Space)", "Abspielen oder anhalten (Leertaste)"};

}  // namespace texts

// "Do you really want to quit Vandrel?" / "Wollen Sie Vandrel wirklich beenden?"
std::string QuitQuestion(Language uiLanguage);

// The line under the quit question for file n (1 or 2) with unsaved changes:
// "File 1 (walk.txt) has unsaved changes." (the file name without folders).
std::string UnsavedChangesLine(int n, std::string_view path, Language uiLanguage);

// The seven description lines and four disclaimer lines of the About window, joined by CR LF.
std::string AboutDescription(Language uiLanguage);
std::string AboutDisclaimer(Language uiLanguage);

}  // namespace vandrel
