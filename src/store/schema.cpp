#include "store/schema.h"

#include <string>

#include "store/database.h"
#include "tiss/tiss_item.h"

namespace kalvora {

namespace {

std::string stayKeyMatch(std::string_view table) {
    std::string t = QuoteIdentifier(table);
    return t + ".KIS_ID = old.KIS_ID AND " + t + ".DOB = old.DOB AND " + t + ".ADM_DATE = old.ADM_DATE";
}

}  // namespace

void CreateAdminSchema(Database& db) {
    db.execute(
        "CREATE TABLE Dateiverwaltung ("
        " KANR TEXT NOT NULL COLLATE NOCASE, ABTEILUNG TEXT NOT NULL COLLATE NOCASE, MDB_DATEI TEXT, SBETT "
        "INTEGER, DGKP REAL,"
        " VOREINSTUFUNG TEXT, Status TEXT, CONSTRAINT PrimaryKey PRIMARY KEY (KANR, ABTEILUNG));"
        "CREATE INDEX MDBIndex ON Dateiverwaltung (MDB_DATEI);"
        "CREATE TABLE \"KANR-Bezeichnung\" (KANR TEXT PRIMARY KEY COLLATE NOCASE, BEZEICHNUNG TEXT);"
        "CREATE TABLE \"ABT-Bezeichnung\" (ABTEILUNG TEXT PRIMARY KEY COLLATE NOCASE, BEZEICHNUNG TEXT);");
}

void CreateDepartmentSchema(Database& db) {
    std::string sql =
        "CREATE TABLE \"Gesamt - Patientenadministration\" ("
        " KA_ID TEXT, ICU_FUN_ID TEXT, ICU_FUN_SID TEXT, KIS_ID TEXT NOT NULL,"
        " DOB TEXT NOT NULL, ADM_DATE TEXT NOT NULL, Satzart_1 INTEGER, Satzart_3 INTEGER, FLAG TEXT, "
        "DIS_YEARMONTH TEXT,"
        " DIS_DATE TEXT, BD TEXT, \"Alter\" TEXT, TYP TEXT, ICU_OUTCOME TEXT, STUNDEN TEXT,"
        " CONSTRAINT PrimaryKey PRIMARY KEY (KIS_ID, DOB, ADM_DATE)) WITHOUT ROWID;"
        "CREATE INDEX KIS_ID_Index ON \"Gesamt - Patientenadministration\" (KIS_ID);"
        "CREATE INDEX DOB_Index ON \"Gesamt - Patientenadministration\" (DOB);"
        "CREATE INDEX KIS_ID_DOB_Index ON \"Gesamt - Patientenadministration\" (KIS_ID, DOB);"
        "CREATE TABLE \"Satzart 1 - Patientenadministration Intensiv\" ("
        " QUALIFIER TEXT, KA_ID TEXT, ICU_FUN_ID TEXT, ICU_FUN_SID TEXT, KIS_ID TEXT NOT NULL,"
        " DOB TEXT NOT NULL, ADM_DATE TEXT NOT NULL, DIS_DATE TEXT, ICU_OUTCOME TEXT, HOSP_DIS_DATE TEXT,"
        " HOSP_MORT TEXT, CONSTRAINT PrimaryKey PRIMARY KEY (KIS_ID, DOB, ADM_DATE)) WITHOUT ROWID;";
    sql +=
        "CREATE TABLE \"Satzart 3 - TISS28\" ("
        " QUALIFIER TEXT, KA_ID TEXT, ICU_FUN_ID TEXT, ICU_FUN_SID TEXT, KIS_ID TEXT NOT NULL,"
        " DOB TEXT NOT NULL, ADM_DATE TEXT NOT NULL,"
        " REC_DATE TEXT NOT NULL,";
    for (const TissItem& item : TissItems()) {
        sql += ' ';
        sql += item.field;
        sql += " TEXT,";
    }
    sql +=
        " T28_SCORE TEXT, STUNDEN TEXT,"
        " CONSTRAINT PrimaryKey PRIMARY KEY (KIS_ID, DOB, ADM_DATE, REC_DATE)) WITHOUT ROWID;"
        "CREATE TABLE \"Satzart 3 - TISS28 TEMP\" ("
        " QUALIFIER TEXT, KIS_ID TEXT, DOB TEXT, REC_DATE TEXT, T28_SCORE TEXT, STUNDEN TEXT);";
    // Deleting a stay deletes its record rows. Triggers rather than foreign keys, because a record
    // row may be stored with a blanked key field (an invalid birth date or admission time) that
    // matches no stay; such a row must still be stored and reported by its field finding alone.
    sql += "CREATE TRIGGER \"Stay removal\" AFTER DELETE ON \"Gesamt - Patientenadministration\" BEGIN ";
    sql += "DELETE FROM \"Satzart 1 - Patientenadministration Intensiv\" WHERE " +
           stayKeyMatch(tables::RecordType1) + "; ";
    sql += "DELETE FROM \"Satzart 3 - TISS28\" WHERE " + stayKeyMatch(tables::RecordType3) + "; END;";
    db.execute(sql);
}

}  // namespace kalvora
