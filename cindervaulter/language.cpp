#include "language.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unordered_map>
#include <vector>

namespace {

std::unordered_map<std::string, std::string> Catalog; // English text to its translation

// Catalogs larger than this are refused: the game's texts fill a few kilobytes.
constexpr size_t MaxCatalogSize = 1 << 20;
constexpr uint32_t MoMagic = 0x950412DE;

bool IsSet(const char* value) {
    return value && *value;
}

// The language part of a locale name such as "ru_RU.UTF-8@euro".
std::string LanguageOf(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

bool Known(const std::string& language) {
    return language == "ru" || language == "en";
}

// The first language of the colon-separated list that the game knows, or "".
std::string FirstKnown(const std::string& list) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(':', start), list.size());
        const std::string language = LanguageOf(list.substr(start, end - start));
        if (Known(language)) return language;
        start = end + 1;
    }
    return "";
}

// A catalog's 32-bit words in the byte order its magic number shows.
struct MoFile {
    std::vector<uint8_t> Bytes;
    bool Swapped = false;

    bool Word(size_t at, uint32_t& value) const {
        if (at > Bytes.size() || Bytes.size() - at < 4) return false;
        const uint8_t* b = Bytes.data() + at;
        value = Swapped ? uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]
                        : uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0];
        return true;
    }

    // The string of table entry `index`: its length and offset, both within the file.
    bool String(uint32_t table, uint32_t index, std::string& text) const {
        uint32_t length = 0, offset = 0;
        const size_t at = size_t(table) + size_t(index) * 8;
        if (!Word(at, length) || !Word(at + 4, offset)) return false;
        if (offset > Bytes.size() || Bytes.size() - offset < size_t(length)) return false;
        text.assign(reinterpret_cast<const char*>(Bytes.data()) + offset, length);
        return true;
    }
};

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && bytes.size() <= MaxCatalogSize;
}

bool ParseCatalog(const MoFile& mo, std::unordered_map<std::string, std::string>& catalog) {
    uint32_t revision = 0, count = 0, originals = 0, translations = 0;
    if (!mo.Word(4, revision) || !mo.Word(8, count) || !mo.Word(12, originals) ||
        !mo.Word(16, translations) || revision >> 16 != 0)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        std::string english, translated;
        if (!mo.String(originals, i, english) || !mo.String(translations, i, translated))
            return false;
        // The empty text is the catalog's header, not a translation.
        if (!english.empty()) catalog[english] = translated;
    }
    return true;
}

} // namespace

std::string ChooseLanguage(const char* language, const char* lcAll, const char* lcMessages,
                           const char* lang) {
    const char* locale = IsSet(lcAll) ? lcAll : IsSet(lcMessages) ? lcMessages : lang;
    if (!IsSet(locale) || !std::strcmp(locale, "C") || !std::strcmp(locale, "POSIX")) return "en";
    std::string chosen = IsSet(language) ? FirstKnown(language) : "";
    if (chosen.empty()) chosen = FirstKnown(LanguageOf(locale));
    return chosen.empty() ? "en" : chosen;
}

bool LoadCatalog(const std::string& path) {
    Catalog.clear();
    MoFile mo;
    uint32_t magic = 0;
    if (!ReadFile(path, mo.Bytes) || !mo.Word(0, magic)) return false;
    if (magic != MoMagic) {
        mo.Swapped = true;
        if (!mo.Word(0, magic) || magic != MoMagic) return false;
    }
    std::unordered_map<std::string, std::string> catalog;
    if (!ParseCatalog(mo, catalog)) return false;
    Catalog = std::move(catalog);
    return true;
}

std::string StartLanguage() {
    const std::string language = ChooseLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                                std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    LoadCatalog("locale/" + language + "/LC_MESSAGES/cindervaulter.mo");
    return language;
}

const char* Translate(const char* english) {
    const auto found = Catalog.find(english);
    return found == Catalog.end() || found->second.empty() ? english : found->second.c_str();
}
