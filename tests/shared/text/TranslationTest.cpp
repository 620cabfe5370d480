#include <gtest/gtest.h>

#include "shared/text/Translation.h"

using namespace quillet;

// The sentences a translation may reorder: every %N is replaced wherever it stands, %% is a
// percent sign, and a placeholder without a value stays as written.
TEST(FormatText, PlaceholdersAreReplacedWhereverTheTranslationPutsThem) {
    EXPECT_EQ(formatText("Created %1 in %2", {"Untitled.md", "Notes"}), "Created Untitled.md in Notes");
    EXPECT_EQ(formatText("%2 enthält jetzt %1", {"Untitled.md", "Notes"}), "Notes enthält jetzt Untitled.md");
    EXPECT_EQ(formatText("%1 and %1", {"x"}), "x and x");
    EXPECT_EQ(formatText("100%% of %1", {"files"}), "100% of files");
    EXPECT_EQ(formatText("%1 then %3", {"a", "b"}), "a then %3");
    EXPECT_EQ(formatText("ends with %", {"a"}), "ends with %");
    // A value is inserted as it is, never read as a pattern itself.
    EXPECT_EQ(formatText("%1", {"%2"}), "%2");
}

// Without a catalogue for the session's language (the unit tests run in the C locale) every text
// is its English self, so the English texts of every other test are unchanged.
TEST(Translate, WithoutACatalogueEveryTextIsItsEnglishSelf) {
    const char* english = "Create File";
    EXPECT_EQ(translate(english), english);
    EXPECT_STREQ(translateIn("GNOME file manager", "Files"), "Files");
    EXPECT_STREQ(translatePlural("%1 saved folder root.", "%1 saved folder roots.", 1), "%1 saved folder root.");
    EXPECT_STREQ(translatePlural("%1 saved folder root.", "%1 saved folder roots.", 2), "%1 saved folder roots.");
    EXPECT_STREQ(translate(""), "");
}

TEST(Translate, TheCatalogueFolderIsShareLocaleBesideTheResources) {
    EXPECT_EQ(localeDirectoryBeside("/usr/share/quillet"), std::filesystem::path("/usr/share/locale"));
    EXPECT_EQ(localeDirectoryBeside("/home/u/Applications/Quillet+.app/bin/../share/quillet"),
              std::filesystem::path("/home/u/Applications/Quillet+.app/share/locale"));
}
