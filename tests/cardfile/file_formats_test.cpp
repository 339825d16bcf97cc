// The reader chosen by the extension: the one open path of the desktop program and the tool.
#include "cardfile/file_formats.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cardfile/card_file.h"
#include "cardfile/errors.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;

TEST(FileFormatsTest, ExtensionOfTheFinalComponentUpperCased) {
    EXPECT_EQ(UpperExtension("/home/u/Contacts.csv"), ".CSV");
    EXPECT_EQ(UpperExtension("cards.Txt"), ".TXT");
    EXPECT_EQ(UpperExtension("archive.tar.crd"), ".CRD");
    EXPECT_EQ(UpperExtension("/a.dir/noext"), "");  // a dot in a folder name is no extension
    EXPECT_EQ(UpperExtension("name."), ".");
    EXPECT_EQ(UpperExtension(".csv"), ".CSV");
    // Only ASCII letters change: a Windows-1252 byte stays as it is.
    EXPECT_EQ(UpperExtension("x.\xE9t\xE9"), ".\xE9T\xE9");
}

TEST(FileFormatsTest, KnownExtensionsAndTheUnknownExtensionMessage) {
    EXPECT_EQ(FormatOfExtension(".CSV"), CardFileFormat::Csv);
    EXPECT_EQ(FormatOfExtension(".CRD"), CardFileFormat::Crd);
    EXPECT_EQ(FormatOfExtension(".TXT"), CardFileFormat::Txt);
    EXPECT_STREQ(FormatName(CardFileFormat::Crd), "CRD");
    for (const std::string ext : {".DAT", "", ".csv", ".CSV2"}) {
        try {
            FormatOfExtension(ext);
            ADD_FAILURE() << "accepted " << ext;
        } catch (const EUnknownExt& e) {
            EXPECT_EQ(std::string(e.what()), "Unknown extension: " + ext);
        }
    }
}

TEST(FileFormatsTest, EachFormatGoesToItsReader) {
    const test::TempFolder dir;
    test::ScriptedPrompter prompter;

    // Card file: the header's settings are applied.
    CardSet written;
    written.Insert(Card{{"Smith", "12 Main St"}});
    FileSettings header;
    header.cardSeparator = 35;
    header.password = "k";
    prompter.defaultPassword = "k";
    WriteCardFile(dir.File("a.csv"), written, header, true, prompter);
    CardSet cards;
    FileSettings settings;
    const LoadResult csv =
        LoadCardFile(dir.File("a.csv"), CardFileFormat::Csv, cards, settings, {}, prompter);
    EXPECT_TRUE(csv.hadHeader);
    EXPECT_TRUE(csv.encrypted);
    EXPECT_EQ(settings.cardSeparator, 35);
    ASSERT_EQ(cards.Count(), 1);
    EXPECT_EQ(cards.CardAt(0).lines, (Lines{"Smith", "12 Main St"}));

    // Text file: the separator found there is kept; no header fields.
    test::WriteBytes(dir.File("b.txt"), "#Adams\r\n1 Road\r\n#Baker\r\n");
    CardSet text;
    FileSettings textSettings;
    const LoadResult txt =
        LoadCardFile(dir.File("b.txt"), CardFileFormat::Txt, text, textSettings, {}, prompter);
    EXPECT_FALSE(txt.hadHeader);
    EXPECT_EQ(textSettings.cardSeparator, '#');
    EXPECT_EQ(text.Count(), 2);

    // Cardfile file: read as Cardfile whatever the name says; the settings stay.
    CardSet crd;
    FileSettings crdSettings;
    crdSettings.cardSeparator = 7;
    const LoadResult r =
        LoadCardFile(std::string(TABELLAN_TEST_DATA) + "/crd/klaru_crdfile_abc.crd",
                     CardFileFormat::Crd, crd, crdSettings, {}, prompter);
    EXPECT_FALSE(r.hadHeader);
    EXPECT_EQ(crdSettings.cardSeparator, 7);
    EXPECT_EQ(crd.Count(), 3);
}

}  // namespace
}  // namespace tabellan
