#include "support/report_test_data.h"

#include "base/paths.h"
#include "store/database.h"
#include "store/schema.h"
#include "tiss/tiss_item.h"

namespace kalvora::test {

void AddStay(UiTestData& data, const std::string& dataFile, const StayRecord& stay) {
    Database department(JoinPath(data.systemDir().toStdString(), dataFile));
    department
        .prepare("INSERT INTO " + QuoteIdentifier(tables::Stays) +
                 " (KIS_ID, DOB, ADM_DATE, TYP, FLAG, DIS_DATE, DIS_YEARMONTH, ICU_OUTCOME)"
                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, stay.kisId)
        .bind(2, stay.dob)
        .bind(3, stay.admDate)
        .bind(4, stay.typ)
        .bind(5, stay.flag)
        .bind(6, stay.disDate)
        .bind(7, stay.disDate.substr(0, 6))
        .bind(8, stay.icuOutcome)
        .run();
    if (stay.withRecordType1) {
        department
            .prepare("INSERT INTO " + QuoteIdentifier(tables::RecordType1) +
                     " (QUALIFIER, KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME, HOSP_DIS_DATE, HOSP_MORT)"
                     " VALUES ('1', ?, ?, ?, ?, ?, ?, ?)")
            .bind(1, stay.kisId)
            .bind(2, stay.dob)
            .bind(3, stay.admDate)
            .bind(4, stay.disDate)
            .bind(5, stay.icuOutcome)
            .bind(6, stay.hospDisDate)
            .bind(7, stay.hospMort)
            .run();
    }
    std::string sql = "INSERT INTO " + QuoteIdentifier(tables::RecordType3) +
                      " (QUALIFIER, KIS_ID, DOB, ADM_DATE, REC_DATE, T28_SCORE";
    for (const TissItem& item : TissItems()) sql += ", " + std::string(item.field);
    sql += ") VALUES (?, ?, ?, ?, ?, ?";
    for (int item = 0; item < kTissItemCount; ++item) sql += ", ?";
    sql += ")";
    for (const SurveyDayRecord& day : stay.days) {
        Statement insert = department.prepare(sql);
        insert.bind(1, day.qualifier).bind(2, stay.kisId).bind(3, stay.dob).bind(4, stay.admDate);
        insert.bind(5, day.recDate).bind(6, day.score);
        for (int item = 0; item < kTissItemCount; ++item)
            insert.bind(7 + item, day.items.substr(static_cast<std::size_t>(item), 1));
        insert.run();
    }
}

}  // namespace kalvora::test
