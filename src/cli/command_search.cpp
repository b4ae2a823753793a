// kalvora-cli search: the patient search of the department level. Without --after it searches from the
// first department ("Beginnen"), with --after DB from the department after DB ("Fortsetzen").

#include <optional>

#include "base/text.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "cli/value_arguments.h"
#include "reports/department_line.h"
#include "reports/patient_search.h"
#include "store/stored_data_messages.h"

namespace kalvora::cli {

namespace {

struct SearchOptions {
    std::string admissionNumber;
    std::string birthDate;
    std::string after;
};

int runSearch(CliContext& context, const SearchOptions& options) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;

    // The window's fields hold at most 10 characters and take only four-digit years.
    const std::string admissionNumber = std::string(TrimBlanks(options.admissionNumber));
    const CheckedValue number = AdmissionNumberArgument("--kis-id", admissionNumber);
    if (!number.ok()) return context.fail(number.error);
    std::string birthDate;
    if (!IsBlankText(options.birthDate)) {
        const CheckedValue date = DateArgument("--dob", options.birthDate, "8");
        if (!date.ok()) return context.fail(date.error);
        birthDate = FormatDateCode(date.value, 8);
    }
    SearchTerms terms = MakeSearchTerms(admissionNumber, birthDate);
    if (SearchModeOf(terms) == SearchMode::None)
        return context.fail(std::string(NoticeText(notices::EnterSearchTerm).value_or("")));

    std::optional<std::size_t> reference;
    SearchStart start = SearchStart::FromFirst;
    if (!options.after.empty()) {
        const Department* department = FindDepartment(list.departments, options.after);
        if (department == nullptr)
            return context.fail(stored_data_messages::UnknownDepartment(options.after));
        reference = static_cast<std::size_t>(department - list.departments.data());
        start = SearchStart::AfterReference;
    }

    DepartmentSearchResult result =
        SearchDepartments(list.departments, reference, start, terms, context.settings().SystemDataPath);
    for (const std::string& message : result.skipped) PrintMessage(context, message);
    if (!result.hit) {
        PrintMessage(context, NoticeText(notices::PatientNotFound).value_or(""));
        return kExitNothingFound;
    }
    context.out << PrintableText(BuildDepartmentLine(list.departments[*result.hit])) << '\n';
    return kExitDone;
}

}  // namespace

void RegisterSearchCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<SearchOptions>();
    CLI::App* command = app.add_subcommand("search", "Patienten in den Abteilungen suchen");
    command->add_option("--kis-id", options->admissionNumber, "Aufnahmezahl (höchstens 10 Zeichen)")
        ->type_name("TEXT");
    command->add_option("--dob", options->birthDate, "Geburtsdatum (JJJJMMTT oder TT.MM.JJJJ)")
        ->type_name("DATUM");
    command->add_option("--after", options->after, "nach dieser Abteilung fortsetzen (MDB_DATEI)")
        ->type_name("DB");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runSearch(context, *options); };
    });
}

}  // namespace kalvora::cli
