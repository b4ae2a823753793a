#pragma once
// What the report and export commands share: the department list, the departments named on the
// command line (taken in list order), and the text forms of their output.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "printing/printed_report.h"
#include "store/admin_database.h"

namespace kalvora::cli {

struct DepartmentsRead {
    std::vector<Department> departments;
    int exitCode = kExitDone;  // kExitFailed after the message was printed
    bool ok() const { return exitCode == kExitDone; }
};

// The department list as the department level shows it. With `requireData` an empty list is refused
// as the windows refuse it: " Es wurden noch keine Daten importiert!".
DepartmentsRead ReadDepartmentList(CliContext& context, bool requireData);

// The named department databases in list order; an unknown name is refused.
DepartmentsRead ChooseNamedDepartments(CliContext& context, const std::vector<Department>& departments,
                                       const std::vector<std::string>& fileNames);

// Stored text for the terminal: every control character (also a tab, a line break and the C1
// controls U+0080 to U+009F) becomes one "?", so that a stored value can neither split a line nor
// send the terminal a command. Other characters, and so the columns of a list line, stay as they are.
std::string PrintableText(std::string_view text);

// Adds "--pdf FILE" to a report command.
void AddPdfOption(CLI::App* command, std::string& path);

// Writes the report to `path` as PDF (nothing when `path` is empty). Without the window libraries
// the command line has no PDF writer and says so.
int WritePdfReport(CliContext& context, const std::string& path,
                   const std::function<PrintedReport()>& report);

// A message of the program on stderr, without its leading blank.
void PrintMessage(CliContext& context, std::string_view message);

}  // namespace kalvora::cli
