// kalvora-cli stay DB KIS_ID DOB ADM_DATE: the base data and survey days of one ICU stay as
// Key=Value lines, values as stored (control characters printed as "?"). Each survey day starts with its
// REC_DATE line.

#include <optional>

#include "base/text.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "cli/value_arguments.h"
#include "reports/department_line.h"
#include "reports/stay_detail.h"
#include "store/stored_data_messages.h"

namespace kalvora::cli {

namespace {

struct StayOptions {
    std::string fileName;
    std::string admissionNumber;
    std::string birthDate;
    std::string admissionTime;
};

void printValue(std::ostream& out, std::string_view key, std::string_view value) {
    out << key << '=' << PrintableText(value) << '\n';
}

void printDetail(CliContext& context, const Department& department, const StayDetail& detail) {
    std::ostream& out = context.out;
    printValue(out, "KA", std::string(TrimBlanks(DepartmentHospitalPart(department))));
    printValue(out, "ABTEILUNG", std::string(TrimBlanks(DepartmentPart(department))));
    printValue(out, "KIS_ID", detail.kisId);
    printValue(out, "DOB", detail.dob);
    printValue(out, "ADM_DATE", detail.admDate);
    printValue(out, "DIS_DATE", detail.disDate);
    printValue(out, "ICU_OUTCOME", detail.icuOutcome);
    printValue(out, "HOSP_DIS_DATE", detail.hospDisDate);
    printValue(out, "HOSP_MORT", detail.hospMort);
    printValue(out, "TYP", detail.typ);
    for (const SurveyDay& day : detail.surveyDays) {
        printValue(out, "REC_DATE", day.recordDate);
        for (std::size_t item = 0; item < day.items.size(); ++item)
            printValue(out, TissItems()[item].field, day.items[item]);
        printValue(out, "T28_SCORE", day.score);
    }
}

// The key of the stay as stored; the dates also as the patient list prints them.
std::optional<StayKey> stayKeyOf(CliContext& context, const StayOptions& options) {
    const CheckedValue number = AdmissionNumberArgument("KIS_ID", options.admissionNumber);
    const CheckedValue birth = DateArgument("DOB", options.birthDate, "8");
    const CheckedValue admission = DateTimeArgument("ADM_DATE", options.admissionTime);
    for (const CheckedValue* value : {&number, &birth, &admission}) {
        if (!value->ok()) {
            context.fail(value->error);
            return std::nullopt;
        }
    }
    return StayKey{number.value, birth.value, admission.value};
}

int runStay(CliContext& context, const StayOptions& options) {
    const std::optional<StayKey> key = stayKeyOf(context, options);
    if (!key) return kExitFailed;
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = ChooseNamedDepartments(context, list.departments, {options.fileName});
    if (!chosen.ok()) return chosen.exitCode;
    const Department& department = chosen.departments.front();

    const Result<StayDetail> detail =
        LoadStayDetail(DepartmentDatabasePath(context.settings().SystemDataPath, department), *key);
    if (!detail) return context.fail(detail.message());
    printDetail(context, department, *detail);
    if (!detail->hasRecordType1) PrintMessage(context, stored_data_messages::NoRecordType1);
    if (detail->surveyDays.empty()) PrintMessage(context, stored_data_messages::NoSurveyDays);
    return kExitDone;
}

}  // namespace

void RegisterStayCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<StayOptions>();
    CLI::App* command = app.add_subcommand("stay", "Basisdaten und Erhebungstage eines Aufenthalts ausgeben");
    command->add_option("DB", options->fileName, "Datenbankdatei der Abteilung (MDB_DATEI)")->required();
    command->add_option("KIS_ID", options->admissionNumber, "Aufnahmezahl, höchstens 10 Zeichen")->required();
    command->add_option("DOB", options->birthDate, "Geburtsdatum, JJJJMMTT oder TT.MM.JJJJ")->required();
    command
        ->add_option("ADM_DATE", options->admissionTime,
                     "Aufnahmezeitpunkt, JJJJMMTThhmm oder \"TT.MM.JJJJ, hh:mm\"")
        ->required();
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runStay(context, *options); };
    });
}

}  // namespace kalvora::cli
