#include "app/Texts.h"

#include "model/Text.h"

namespace vandrel {

std::string Latin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC0 && c < 0xE0 && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Utf8FromBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Tr(const Bilingual& text, Language uiLanguage) { return Latin1(uiLanguage == Language::German ? text.de : text.en); }

std::string QuitQuestion(Language uiLanguage) {
    const std::string title(texts::AppTitle);
    return uiLanguage == Language::German ? "Wollen Sie" + title + " wirklich beenden?" : "Do you really want to quit" + title + "?";
}

std::string UnsavedChangesLine(int n, std::string_view path, Language uiLanguage) {
    return Tr(texts::UnsavedFileLabel, uiLanguage) + std::to_string(n) + " (" + std::string(FileNameOf(path)) + ")" +
           Tr(texts::HasUnsavedChanges, uiLanguage);
}

namespace {

constexpr std::string_view kDescriptionEn[] = {
    "Vandrel is an application for managing",
    "keyframes in Milkshape 3D ASCII files.",
    "Keyframes can be cut out, copied, moved, renamed",
    "and inserted at other positions again.",
    "You can add comments to keyframes (e.g. animation names).",
    "Milkshape models based on the same skeleton can be",
    "equipped with other animations.",
};
constexpr std::string_view kDescriptionDe[] = {
    "Vandrel ist ein Programm zur Verwaltung von",
    "Keyframes in Milkshape 3D ASCII Dateien.",
    "Keyframes können ausgeschnitten, kopiert, verschoben, umbenannt",
    "mit Kommentaren (z.B. Animationsnamen) versehen und an anderer",
    "Position wieder eingefügt werden.",
    "Milkshape Modelle, die auf dem gleichen Skelett basieren, können",
    "modellübergreifend mit anderen Animationen ausgestattet werden.",
};
constexpr std::string_view kDisclaimerEn[] = {
    "I wrote this program for my own use and have tested it to the best of my knowledge.",
    "It's free to everyone but the application is at own risk.",
    "As it is a free program I will not accept any liabilities for possible damages",
    "or consequential losses resulting from the application of this program.",
};
constexpr std::string_view kDisclaimerDe[] = {
    "Ich habe das Programm für meinen eigenen Bedarf erstellt und nach bestem Wissen und",
    "Gewissen getestet. Wer es mag, kann es gerne verwenden. Der Einsatz erfolgt jedoch",
    "auf eigene Gefahr. Da ich es kostenlos weitergebe, übernehme ich keine Haftung für",
    "eventuelle Schäden oder Folgeschäden, die durch den Einsatz des Programms entstehen.",
};

template <size_t N>
std::string JoinLines(const std::string_view (&lines)[N]) {
    std::string out;
    for (size_t i = 0; i < N; ++i) {
        if (i) out += texts::LineEnd;
        out += Latin1(lines[i]);
    }
    return out;
}

}  // namespace

std::string AboutDescription(Language uiLanguage) {
    return uiLanguage == Language::German ? JoinLines(kDescriptionDe) : JoinLines(kDescriptionEn);
}

std::string AboutDisclaimer(Language uiLanguage) {
    return uiLanguage == Language::German ? JoinLines(kDisclaimerDe) : JoinLines(kDisclaimerEn);
}

}  // namespace vandrel
