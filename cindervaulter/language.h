// The player's language: the game's texts are English, translated at use through a compiled
// gettext catalog when the environment asks for a language the game has one for (Russian).
#pragma once

#include <string>

// The language gettext would choose from the environment's values (null or empty when unset):
// the locale is the first of LC_ALL, LC_MESSAGES, LANG that is set; under "C" or "POSIX" texts stay
// English; otherwise the first of LANGUAGE's colon-separated list, else the locale, whose language
// the game knows. "ru", or "en" for everything else.
std::string ChooseLanguage(const char* language, const char* lcAll, const char* lcMessages,
                           const char* lang);
// Reads a compiled catalog (.mo). False, with no translations kept, when the file is missing or
// malformed.
bool LoadCatalog(const std::string& path);
// Chooses the language from the process environment and loads its catalog from
// locale/<language>/LC_MESSAGES/cindervaulter.mo under the working folder; the chosen language.
std::string StartLanguage();
// The translation of an English text (UTF-8), or the text itself.
const char* Translate(const char* english);
