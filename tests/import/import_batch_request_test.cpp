#include "import/import_batch_request.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::TempDir;

// Where a FILE argument of the command line is looked for.
TEST(DeliveryFileOf, bareNameInImportDirectory_pathAsGiven_otherwiseTheNameItself) {
    TempDir dir;
    test::WriteFile(dir.file("import/A1100101.101"), "1\n");
    const std::string importDirectory = dir.file("import");
    struct Case {
        std::string argument;
        std::string name;
        std::string path;
    };
    const Case cases[] = {
        {"A1100101.101", "A1100101.101", dir.file("import/A1100101.101")},
        {"B9999999.999", "B9999999.999", "B9999999.999"},
        {dir.file("elsewhere/A1100101.101"), "A1100101.101", dir.file("elsewhere/A1100101.101")},
        {"./A1100101.101", "A1100101.101", "./A1100101.101"},
    };
    for (const Case& c : cases) {
        const ImportFile file = DeliveryFileOf(c.argument, importDirectory);
        EXPECT_EQ(file.name, c.name) << c.argument;
        EXPECT_EQ(file.path, c.path) << c.argument;
    }
}

TEST(PlanImportBatch, readableFiles_makeTheBatchInTheirOrder) {
    TempDir dir;
    test::WriteFile(dir.file("B.101"), "1\n");
    test::WriteFile(dir.file("A.101"), "1\n");
    const Result<ImportBatchRequest> request =
        PlanImportBatch({{"B.101", dir.file("B.101")}, {"A.101", dir.file("A.101")}}, ImportMode::Initialise,
                        dir.file("protocol.dat"), dir.file("import"));
    ASSERT_TRUE(request.ok()) << request.message();
    ASSERT_EQ(request->files.size(), 2u);
    EXPECT_EQ(request->files[0].name, "B.101");
    EXPECT_EQ(request->files[1].path, dir.file("A.101"));
    EXPECT_EQ(request->mode, ImportMode::Initialise);
    EXPECT_EQ(request->protocolPath, dir.file("protocol.dat"));
}

// One file that cannot be read refuses the whole batch, wherever it stands, and says why.
TEST(PlanImportBatch, missingOrUnreadableFile_refusesTheWholeBatch) {
    TempDir dir;
    test::WriteFile(dir.file("A.101"), "1\n");
    std::filesystem::create_directories(dir.file("folder.101"));
    struct Case {
        ImportFile file;
        std::string reason;
    };
    const Case cases[] = {
        {{"B9999999.999", "B9999999.999"},
         "Die Datei B9999999.999 ist weder im Importverzeichnis " + dir.file("import") +
             " noch im aktuellen Verzeichnis vorhanden."},
        {{"C.101", dir.file("C.101")}, "Die Datei " + dir.file("C.101") + " ist nicht vorhanden."},
        {{"folder.101", dir.file("folder.101")}, dir.file("folder.101") + " ist keine Datei."},
    };
    for (const Case& c : cases) {
        const Result<ImportBatchRequest> request =
            PlanImportBatch({{"A.101", dir.file("A.101")}, c.file}, ImportMode::Append, dir.file("p.dat"),
                            dir.file("import"));
        ASSERT_FALSE(request.ok()) << c.file.name;
        EXPECT_EQ(request.message(), c.reason + "\nEs wurde nichts importiert.");
    }
}

}  // namespace
}  // namespace kalvora
