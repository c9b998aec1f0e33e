// The player's language: chosen from the environment as gettext chooses, and the texts from the
// catalog the build compiled.
#include "language.h"
#include "run_program.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(Language, IsChosenFromTheEnvironmentAsGettextDoes) {
    const struct {
        const char *Language, *LcAll, *LcMessages, *Lang, *Chosen;
    } cases[] = {
        {nullptr, nullptr, nullptr, "ru_RU.UTF-8", "ru"},
        {nullptr, nullptr, nullptr, "en_GB.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "C", "en"},
        {nullptr, nullptr, nullptr, nullptr, "en"},
        {nullptr, "C", "ru_RU.UTF-8", "ru_RU.UTF-8", "en"}, // LC_ALL first
        {nullptr, "", "ru_RU.UTF-8", "de_DE.UTF-8", "ru"},  // empty counts as unset
        {"ru", nullptr, nullptr, "en_US.UTF-8", "ru"},      // LANGUAGE over the locale
        {"ru", nullptr, nullptr, "C", "en"},                // but not under "C"
        {"ru", "POSIX", nullptr, nullptr, "en"},
        {"de:ru_RU:en", nullptr, nullptr, "C.UTF-8", "ru"}, // the first the game knows
        {"en:ru", nullptr, nullptr, "ru_RU.UTF-8", "en"},
        {"de:fr", nullptr, nullptr, "ru_RU.UTF-8", "ru"}, // none known: the locale's
        {nullptr, nullptr, nullptr, "ru_UA.KOI8-U@x", "ru"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseLanguage(c.Language, c.LcAll, c.LcMessages, c.Lang), c.Chosen)
            << (c.Language ? c.Language : "-") << " " << (c.LcAll ? c.LcAll : "-") << " "
            << (c.Lang ? c.Lang : "-");
}

using Catalog = ScratchFolderTest;

constexpr const char* RussianCatalog =
    CINDERVAULTER_RUN_DIR "/locale/ru/LC_MESSAGES/cindervaulter.mo";

TEST_F(Catalog, TheRussianCatalogGivesTheOriginalTextsAndABrokenOneNone) {
    ASSERT_TRUE(LoadCatalog(RussianCatalog));
    const std::pair<const char*, const char*> texts[] = {
        {"New game", "Новая игра"},
        {"About", "О программе"},
        {"Exit", "Выход"},
        {"Continue the game", "Продолжить игру"},
        {"Restart the level", "Рестарт уровня"},
        {"To the main menu", "В главное меню"},
        {"Choose a level: ", "Выбери уровень: "},
        {"Cannot load the map", "Не могу загрузить карту"},
        {"No such text", "No such text"},
    };
    for (const auto& [english, russian] : texts) EXPECT_STREQ(Translate(english), russian);
    // A catalog cut short, one whose tables point past its end, and no catalog: English.
    const std::string whole = ReadWholeFile(RussianCatalog);
    std::string pointing = whole;
    pointing[15] = '\x7F';
    for (const std::string& broken : {whole.substr(0, whole.size() / 2), pointing}) {
        std::ofstream(Dir + "/broken.mo", std::ios::binary) << broken;
        EXPECT_FALSE(LoadCatalog(Dir + "/broken.mo"));
        EXPECT_STREQ(Translate("New game"), "New game");
    }
    EXPECT_FALSE(LoadCatalog(Dir + "/none.mo"));
}

} // namespace
