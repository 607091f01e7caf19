#pragma once
// The interface language. The settings file stores it as a number: 1 for
// German, anything else reads as English.

namespace vandrel {

enum class Language { English = 0, German = 1 };

inline Language LanguageOfSetting(long long value) { return value == 1 ? Language::German : Language::English; }
inline int SettingOfLanguage(Language language) { return language == Language::German ? 1 : 0; }

}  // namespace vandrel
