// The store layer: keys as real constraints, cascading removal of a stay's rows, Val, copying
// tables between files and replacing a file in one step.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/database.h"
#include "store/file_ops.h"
#include "store/reference_list.h"
#include "store/schema.h"
#include "store/system_setup.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::TempDir;

Database Department(const std::string& path) {
    Database db(path, OpenMode::Create);
    CreateDepartmentSchema(db);
    return db;
}

void InsertStay(Database& db, const std::string& kisId) {
    Statement insert = db.prepare(
        "INSERT INTO \"Gesamt - Patientenadministration\" (KIS_ID, DOB, ADM_DATE, FLAG) VALUES (?, "
        "'19500101', "
        "'201201011000', 'O')");
    insert.bind(1, std::string_view(kisId));
    insert.run();
}

StepResult InsertDay(Database& db, const std::string& kisId, const std::string& day) {
    Statement insert = db.prepare(
        "INSERT INTO \"Satzart 3 - TISS28\" (QUALIFIER, KIS_ID, DOB, ADM_DATE, REC_DATE) VALUES ('3', ?, "
        "'19500101', '201201011000', ?)");
    insert.bind(1, std::string_view(kisId)).bind(2, std::string_view(day));
    return insert.step();
}

TEST(Store, duplicateKey_isReportedApartFromOtherErrors) {
    TempDir dir;
    Database db = Department(dir.file("d.mdb"));
    InsertStay(db, "A");
    EXPECT_EQ(InsertDay(db, "A", "20120101"), StepResult::Done);
    EXPECT_EQ(InsertDay(db, "A", "20120101"), StepResult::DuplicateKey);
    EXPECT_EQ(InsertDay(db, "A", "20120102"), StepResult::Done);
    // Keys are exact: a different case is another admission number.
    EXPECT_EQ(InsertDay(db, "a", "20120101"), StepResult::Done);
    EXPECT_THROW(db.execute("INSERT INTO \"Satzart 3 - TISS28\" (KIS_ID) VALUES ('x')"), StoreError);
    EXPECT_THROW(db.prepare("SELECT * FROM nowhere"), StoreError);
}

TEST(Store, removingAStay_removesItsRecordRowsOnly) {
    TempDir dir;
    Database db = Department(dir.file("d.mdb"));
    InsertStay(db, "A");
    InsertStay(db, "B");
    InsertDay(db, "A", "20120101");
    InsertDay(db, "A", "20120102");
    InsertDay(db, "B", "20120101");
    db.execute(
        "INSERT INTO \"Satzart 1 - Patientenadministration Intensiv\" (KIS_ID, DOB, ADM_DATE) VALUES ('A', "
        "'19500101', '201201011000')");
    db.execute("DELETE FROM \"Gesamt - Patientenadministration\" WHERE KIS_ID = 'A'");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Satzart 1 - Patientenadministration Intensiv\""), 0);
}

TEST(Store, val_readsTheLeadingNumberLikeTheProgram) {
    TempDir dir;
    Database db(dir.file("v.mdb"), OpenMode::Create);
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c : {Case{"12", 12}, Case{" 1 2", 12}, Case{"9 ", 9}, Case{"1,5", 1}, Case{"x", 0},
                          Case{"", 0}, Case{"-3.5e1", -35}, Case{"020", 20}}) {
        Statement statement = db.prepare("SELECT Val(?)");
        statement.bind(1, std::string_view(c.text));
        ASSERT_EQ(statement.step(), StepResult::Row);
        EXPECT_DOUBLE_EQ(statement.real(0), c.value) << c.text;
    }
    EXPECT_EQ(db.scalar("SELECT Val(NULL)"), 0);
}

TEST(Store, tablesCopyBetweenFilesAttachedByBoundPath) {
    TempDir dir;
    std::string odd = dir.file("it's a \"dir\"");
    std::filesystem::create_directories(odd);
    {
        Database source = Department(odd + "/source.mdb");
        InsertStay(source, "A");
        InsertStay(source, "B");
    }
    Database target = Department(dir.file("target.mdb"));
    InsertStay(target, "B");
    target.attach(odd + "/source.mdb", "source");
    target.execute(
        "INSERT OR IGNORE INTO \"Gesamt - Patientenadministration\" SELECT * FROM source.\"Gesamt - "
        "Patientenadministration\"");
    EXPECT_EQ(target.changes(), 1);
    target.detach("source");
    EXPECT_EQ(target.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 2);
}

// A department rewritten in key order: the same schema statements, the same rows, full pages of the
// size asked for, and the trigger still takes a stay's record rows along. A path with quotes in it
// and a source that is not there are handled like everywhere else.
TEST(Store, rewrittenDatabase_keepsSchemaAndRowsInFullPagesOfTheGivenSize) {
    TempDir dir;
    std::string odd = dir.file("it's a \"dir\"");
    std::filesystem::create_directories(odd);
    const std::string source = odd + "/source.mdb";
    {
        Database db = Department(source);
        Transaction fill(db);
        // Stays in an order far from key order, with their days, some removed again.
        for (int i = 0; i < 3000; ++i) {
            const std::string kisId = std::to_string((i * 7919) % 3000);
            InsertStay(db, kisId);
            for (const char* day : {"20120101", "20120102", "20120103"}) InsertDay(db, kisId, day);
        }
        db.execute("DELETE FROM \"Gesamt - Patientenadministration\" WHERE KIS_ID LIKE '%7'");
        fill.commit();
    }
    const std::string schema = "SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY rowid";
    const std::string rows =
        "SELECT group_concat(KIS_ID || REC_DATE, ',') FROM (SELECT KIS_ID, REC_DATE FROM \"Satzart 3 - "
        "TISS28\" ORDER BY KIS_ID, REC_DATE)";
    auto all = [](Database& db, const std::string& sql) {
        std::vector<std::string> texts;
        Statement statement = db.prepare(sql);
        while (statement.step() == StepResult::Row) {
            std::string row;
            for (int i = 0; i < statement.columnCount(); ++i) row += statement.text(i) + "|";
            texts.push_back(row);
        }
        return texts;
    };

    for (int pageSize : {4096, 16384, 65536}) {
        const std::string target = dir.file("rewritten-" + std::to_string(pageSize) + ".mdb");
        RewriteDatabase(source, target, pageSize);
        Database from(source, OpenMode::ReadOnly);
        Database to(target, OpenMode::ReadWrite);
        EXPECT_EQ(all(to, schema), all(from, schema));
        EXPECT_EQ(all(to, rows), all(from, rows));
        EXPECT_EQ(to.scalar("PRAGMA page_size"), pageSize);
        EXPECT_EQ(to.scalar("PRAGMA freelist_count"), 0);
        // SQLite's own rebuild of the same content needs no fewer pages.
        const std::string vacuumed = dir.file("vacuumed-" + std::to_string(pageSize) + ".mdb");
        {
            Statement vacuum = from.prepare("VACUUM INTO ?");
            vacuum.bind(1, std::string_view(vacuumed));
            vacuum.run();
        }
        Database rebuilt(vacuumed, OpenMode::ReadWrite);
        rebuilt.execute("PRAGMA page_size = " + std::to_string(pageSize) + "; VACUUM");
        EXPECT_LE(to.scalar("PRAGMA page_count"), rebuilt.scalar("PRAGMA page_count")) << pageSize;
        to.execute("DELETE FROM \"Gesamt - Patientenadministration\" WHERE KIS_ID = '1'");
        EXPECT_EQ(to.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = '1'"), 0);
    }
    EXPECT_THROW(RewriteDatabase(dir.file("missing/none.mdb"), dir.file("none-copy.mdb"), 4096), StoreError);
    EXPECT_THROW(RewriteDatabase(dir.file("none.mdb"), dir.file("none-copy.mdb"), 4096), StoreError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.mdb")));
}

// Rows split between two databases of the same tables come together in the rewritten file, whichever
// of the two holds more of a table; a duplicate key between them fails the rewrite.
TEST(Store, rewrittenDatabase_takesTheRowsOfASecondDatabaseToo) {
    TempDir dir;
    const std::string source = dir.file("source.mdb"), added = dir.file("added.mdb");
    {
        Database origin = Department(source);
        Database more = Department(added);
        Transaction fillOrigin(origin);
        Transaction fillMore(more);
        // The stays in the source; days of stays 0-99 in the second file, of 100-109 in the source.
        for (int i = 0; i < 110; ++i) {
            const std::string kisId = std::to_string(1000 + i);
            InsertStay(origin, kisId);
            for (const char* day : {"20120101", "20120102"}) InsertDay(i < 100 ? more : origin, kisId, day);
        }
        fillOrigin.commit();
        fillMore.commit();
    }
    const std::string target = dir.file("target.mdb");
    RewriteDatabase(source, target, 65536, added);
    {
        Database to(target, OpenMode::ReadWrite);
        EXPECT_EQ(to.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 110);
        EXPECT_EQ(to.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 220);
        EXPECT_EQ(to.scalar("SELECT count(DISTINCT KIS_ID) FROM \"Satzart 3 - TISS28\""), 110);
        // The trigger came along with the schema.
        to.execute("DELETE FROM \"Gesamt - Patientenadministration\" WHERE KIS_ID = '1005'");
        EXPECT_EQ(to.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = '1005'"), 0);
    }
    // The same again with the roles of the two files' sizes turned round.
    RewriteDatabase(added, dir.file("turned.mdb"), 4096, source);
    EXPECT_EQ(Database(dir.file("turned.mdb"), OpenMode::ReadOnly)
                  .scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\""),
              220);
    {
        Database more(added, OpenMode::ReadWrite);
        InsertDay(more, "1105", "20120101");  // the source holds that day already
    }
    EXPECT_THROW(RewriteDatabase(source, dir.file("clash.mdb"), 4096, added), StoreError);
    EXPECT_THROW(RewriteDatabase(source, dir.file("none-added.mdb"), 4096, dir.file("none.mdb")), StoreError);
}

TEST(Store, transactionRollsBackUnlessCommitted) {
    TempDir dir;
    Database db = Department(dir.file("d.mdb"));
    {
        Transaction transaction(db);
        InsertStay(db, "A");
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 0);
    {
        Transaction transaction(db);
        InsertStay(db, "A");
        transaction.commit();
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 1);
}

TEST(Store, atomicReplace_leavesOldOrNewFile) {
    TempDir dir;
    std::string target = dir.file("dept.mdb");
    test::WriteFile(target, "old");
    std::string pending = PendingFileName(target);
    test::WriteFile(pending, "new");
    ReplaceFileAtomically(pending, target);
    EXPECT_EQ(test::ReadFile(target), "new");
    EXPECT_FALSE(FileExists(pending));
    EXPECT_THROW(ReplaceFileAtomically(dir.file("missing"), target), StoreError);
    EXPECT_EQ(test::ReadFile(target), "new");
}

TEST(Store, openingMissingOrForeignFiles_fails) {
    TempDir dir;
    EXPECT_THROW(Database(dir.file("missing.mdb")), StoreError);
    test::WriteFile(dir.file("text.mdb"),
                    "this is not a database file, just text that is long enough.......");
    EXPECT_THROW(Database(dir.file("text.mdb")), StoreError);
}

// A connection whose file was replaced under its name (an import stored the department anew) must
// not write the old file: its changes would be lost and its journal would lie beside the new file.
TEST(Store, writeLockOnReplacedFile_isRefusedAndLeavesNoJournal) {
    TempDir dir;
    const std::string path = dir.file("12100101.101");
    { Database created = Department(path); }
    Database stale(path, OpenMode::ReadWrite);
    {
        Database replacement = Department(dir.file("new.db"));
        InsertStay(replacement, "NEW");
    }
    ReplaceFileAtomically(dir.file("new.db"), path);

    EXPECT_FALSE(stale.stillAtPath());
    EXPECT_THROW(Transaction(stale, true), DatabaseReplaced);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
    // A deferred transaction is for reading and is not checked; a fresh connection writes as usual.
    EXPECT_NO_THROW(Transaction(stale, false));
    Database fresh(path, OpenMode::ReadWrite);
    EXPECT_TRUE(fresh.stillAtPath());
    Transaction transaction(fresh, true);
    InsertStay(fresh, "ADDED");
    transaction.commit();
    EXPECT_EQ(fresh.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 2);
}

// The journal beside a replaced file's name belongs to the new file's writer. A connection still
// holding the old file finds no lock on its own file; whatever it starts then (a read, or the write
// lock a classification takes), it must neither roll that journal back into the old file nor
// delete it, or the new file's writer loses its transaction.
TEST(Store, connectionToReplacedFile_leavesTheJournalOfTheNewFilesWriterAlone) {
    for (const char* start : {"SELECT count(*) FROM sqlite_master", "BEGIN IMMEDIATE"}) {
        SCOPED_TRACE(start);
        TempDir dir;
        const std::string path = dir.file("12100101.101");
        {
            Database created = Department(path);
            InsertStay(created, "OLD");
        }
        Database stale(path, OpenMode::ReadWrite);
        {
            Database replacement = Department(dir.file("new.db"));
            InsertStay(replacement, "NEW");
        }
        ReplaceFileAtomically(dir.file("new.db"), path);

        Database writer(path, OpenMode::ReadWrite);
        Transaction transaction(writer, true);
        InsertStay(writer, "ADDED");
        // Enough change for the engine to spill pages into the file: the journal is then synced
        // and marked as one to roll back.
        writer.execute("PRAGMA cache_size = 2");
        writer.execute("UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'X'");
        writer.execute(
            "CREATE TABLE filler AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
            "WHERE i < 2000) SELECT i, printf('%0500d', i) AS text FROM n");
        ASSERT_TRUE(std::filesystem::exists(path + "-journal"));

        // Past the connection's own check, as when the file is replaced just after it.
        const int rc = sqlite3_exec(stale.handle(), start, nullptr, nullptr, nullptr);
        EXPECT_TRUE(std::filesystem::exists(path + "-journal")) << "engine result " << rc;
        sqlite3_exec(stale.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        EXPECT_NO_THROW(transaction.commit());
        EXPECT_EQ(writer.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\" WHERE FLAG = 'X'"),
                  2);
        EXPECT_EQ(writer.scalar("SELECT count(*) FROM filler"), 2000);
        EXPECT_EQ(writer.scalar("SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'"),
                  0);
    }
}

TEST(DataDirectory, createdWithReferenceListsAndRefusesToOverwrite) {
    TempDir dir;
    std::string system = dir.file("sys");
    ASSERT_EQ(CreateDataDirectory({system, "", "", false}).message(), "");
    Database admin(system + "/iadmin.mdb");
    EXPECT_GE(admin.scalar("SELECT count(*) FROM \"KANR-Bezeichnung\""), 10);
    EXPECT_EQ(admin.scalar(
                  "SELECT count(*) FROM \"ABT-Bezeichnung\" WHERE substr(ABTEILUNG, 3, 2) IN ('51', '27')"),
              3);
    EXPECT_EQ(admin.scalar("SELECT count(*) FROM Dateiverwaltung"), 0);
    Database templ(system + "/ibds.mdb");
    for (std::string_view table :
         {tables::Stays, tables::RecordType1, tables::RecordType3, tables::RecordType3Work})
        EXPECT_TRUE(templ.hasTable(table)) << table;
    EXPECT_NE(CreateDataDirectory({system, "", "", false}).message().find("--force"), std::string::npos);
    EXPECT_TRUE(CreateDataDirectory({system, "", "", true}).ok());
}

TEST(ReferenceList, malformedLines_nameFileAndLine) {
    TempDir dir;
    struct Case {
        std::string content;
        std::string message;  // part of the message; empty when the list is read
    };
    const Case cases[] = {
        {"K101;Eins\n\nK102;Zwei\n", ""},       {"\xEF\xBB\xBFK101;Eins\r\n", ""},
        {"K101;Kranken\xE4nstalt\n", ""},  // Windows-1252
        {"K101;Eins\nK102 Zwei\n", "Zeile 2"},  {"K101;Eins\nK1011;Zwei\n", "Zeile 2"},
        {"K101;Eins\nK101;Zwei\n", "mehrfach"}, {";ohne Code\n", "Zeile 1"},
    };
    for (const Case& c : cases) {
        test::WriteFile(dir.file("list.csv"), c.content);
        const Result<std::vector<ReferenceEntry>> result = ReadReferenceList(dir.file("list.csv"), 4);
        if (c.message.empty()) {
            EXPECT_TRUE(result.ok()) << c.content << result.message();
        } else {
            ASSERT_FALSE(result.ok()) << c.content;
            EXPECT_NE(result.message().find(c.message), std::string::npos) << result.message();
            EXPECT_NE(result.message().find("list.csv"), std::string::npos) << result.message();
        }
    }
    test::WriteFile(dir.file("list.csv"), "K101;Kranken\xE4nstalt\n");
    EXPECT_EQ(ReadReferenceList(dir.file("list.csv"), 4)->at(0).name, "Krankenänstalt");
    EXPECT_NE(ReadReferenceList(dir.file("none.csv"), 4).message().find("none.csv"), std::string::npos);
}

// A settings file without SystemDataPath (or none at all) reads as "unknown": not set up yet. Any
// other value names a directory, even one that is missing (that is the imported-data check's case).
TEST(SystemSetup, lacksSystemDataPath_onlyWhenTheSettingsNameNone) {
    const std::pair<std::string, bool> cases[] = {
        {"unknown", true},
        {"", true},
        {"  ", true},
        {"unknown ", true},
        {"/srv/kalvora", false},
        {"/missing/dir", false},
        {"unknownX", false},
        {"C:", false},
    };
    for (const auto& [path, lacks] : cases) {
        SCOPED_TRACE(path);
        Settings settings;
        settings.SystemDataPath = path;
        EXPECT_EQ(LacksSystemDataPath(settings), lacks);
    }
}

// The first start of the window program and kalvora-cli setup write the same settings.
TEST(SystemSetup, newRequest_putsImportAndExportInsideAndTheYearAsPeriod) {
    const SystemSetupRequest request = NewSystemSetupRequest("/srv/k", "/home/u/.config/kalvora/K.ini", 2031);
    EXPECT_EQ(request.directory.systemDirectory, "/srv/k");
    EXPECT_FALSE(request.directory.force);
    EXPECT_EQ(request.importDirectory, "/srv/k/import");
    EXPECT_EQ(request.exportDirectory, "/srv/k/export");
    EXPECT_EQ(request.settingsPath, std::optional<std::string>("/home/u/.config/kalvora/K.ini"));
    const Settings& s = request.settings;
    EXPECT_EQ(s.SystemDataPath, "/srv/k");
    EXPECT_EQ(s.ImportDataPath, "/srv/k/import");
    EXPECT_EQ(s.ExportDataPath, "/srv/k/export");
    EXPECT_EQ(s.PlausLevel, "Warning");
    EXPECT_EQ(s.Erhebungvon, "20310101");
    EXPECT_EQ(s.Erhebungbis, "20311231");
    EXPECT_EQ(s.MindestStd, "0");
    EXPECT_EQ(s.MehrfachTISS, "N");
    EXPECT_EQ(s.ErsatzTISS, "N");
}

}  // namespace
}  // namespace kalvora
