#include "support/classification_test_data.h"

#include <stdexcept>

#include "base/paths.h"
#include "base/status_sink.h"
#include "import/import_run.h"
#include "store/database.h"
#include "store/schema.h"

namespace kalvora::test {

void ImportDemoDeliveries(UiTestData& data) {
    data.copyDemoFiles(UiTestData::DemoFileNames());
    ImportBatchRequest request;
    for (const QString& name : UiTestData::DemoFileNames()) {
        request.files.push_back(
            {name.toStdString(), (data.importDir() + QLatin1Char('/') + name).toStdString()});
    }
    request.protocolPath = (data.exportDir() + QStringLiteral("/protokoll.txt")).toStdString();
    NullStatusSink status;
    const ImportBatchResult result = RunImportBatch(request, data.context->settings, status);
    if (result.failed()) throw std::runtime_error(result.failure);
}

void AddDepartmentWithStays(UiTestData& data, const std::string& kanr, const std::string& abteilung,
                            const std::string& dataFile, const std::vector<StayKind>& stays) {
    const std::string system = data.systemDir().toStdString();
    Database admin(JoinPath(system, files::AdminDb));
    admin.prepare("INSERT OR REPLACE INTO " + QuoteIdentifier(tables::Hospitals) + " VALUES (?, ?)")
        .bind(1, kanr)
        .bind(2, "Klinikum " + kanr)
        .run();
    admin.prepare("INSERT OR REPLACE INTO " + QuoteIdentifier(tables::Departments) + " VALUES (?, ?)")
        .bind(1, abteilung.substr(0, 6))
        .bind(2, "Intensiv " + abteilung.substr(0, 6))
        .run();
    admin
        .prepare("INSERT INTO " + QuoteIdentifier(tables::Dateiverwaltung) +
                 " (KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, VOREINSTUFUNG, Status) VALUES (?, ?, ?, 0, 0, ' "
                 "', ?)")
        .bind(1, kanr)
        .bind(2, abteilung)
        .bind(3, dataFile)
        .bind(4, "EXTERN")
        .run();
    Database department(JoinPath(system, dataFile), OpenMode::Create);
    CreateDepartmentSchema(department);
    int number = 0;
    for (const StayKind& stay : stays) {
        department
            .prepare(
                "INSERT INTO " + QuoteIdentifier(tables::Stays) +
                " (KIS_ID, DOB, ADM_DATE, TYP, FLAG, DIS_DATE, DIS_YEARMONTH) VALUES (?, ?, ?, ?, ?, ?, ?)")
            .bind(1, "P" + std::to_string(++number))
            .bind(2, "19600101")
            .bind(3, "201601040800")
            .bind(4, stay.typ)
            .bind(5, stay.flag)
            .bind(6, "201601100900")
            .bind(7, "201601")
            .run();
    }
}

StoredStaffing ReadStoredStaffing(const UiTestData& data, const std::string& kanr,
                                  const std::string& abteilung) {
    Database admin(JoinPath(data.systemDir().toStdString(), files::AdminDb), OpenMode::ReadOnly);
    Statement row =
        admin.prepare("SELECT SBETT, DGKP, VOREINSTUFUNG FROM " + QuoteIdentifier(tables::Dateiverwaltung) +
                      " WHERE KANR = ? AND ABTEILUNG = ?");
    row.bind(1, kanr).bind(2, abteilung);
    if (row.step() != StepResult::Row) throw std::runtime_error("department not registered");
    StoredStaffing stored;
    stored.beds = row.integer(0);
    stored.dgkp = row.real(1);
    stored.preset = row.text(2);
    return stored;
}

}  // namespace kalvora::test
