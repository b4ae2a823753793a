#include "import/protocol_choice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::TempDir;

// The protocol file the typed name gives in the export directory, or none for a refused name.
TEST(ProtocolPathFor, shortFileNamesOnly_neverAFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("sub"));
    const std::string exportDirectory = dir.path().string();
    struct Case {
        const char* typed;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {"protocol.dat", dir.file("protocol.dat")},
        {"prot.csv", dir.file("prot.csv")},
        {"sub", std::nullopt},
        {".", std::nullopt},
        {"..", std::nullopt},
        {"protocols.dat", std::nullopt},  // nine characters before the point
        {"a/b.dat", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ProtocolPathFor(exportDirectory, c.typed), c.path) << c.typed;
}

TEST(CheckExportDirectory, missingDirectoryIsNamed) {
    TempDir dir;
    EXPECT_TRUE(CheckExportDirectory(dir.path().string()).ok());
    const Outcome missing = CheckExportDirectory(dir.file("fehlt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.message(),
              "Das Export-/Protokollverzeichnis " + dir.file("fehlt") + " ist nicht vorhanden!");
    test::WriteFile(dir.file("datei"), "x");
    EXPECT_FALSE(CheckExportDirectory(dir.file("datei")).ok());
}

}  // namespace
}  // namespace kalvora
