#include "cli/report_arguments.h"

#include "reports/department_line.h"

#ifdef KALVORA_WITH_PDF
#include "printing/report_painter.h"
#endif

namespace kalvora::cli {

void AddPdfOption(CLI::App* command, std::string& path) {
    command->add_option("--pdf", path, "zusätzlich als A4-PDF-Bericht in diese Datei schreiben")
        ->type_name("DATEI");
}

int WritePdfReport(CliContext& context, const std::string& path,
                   const std::function<PrintedReport()>& report) {
    if (path.empty()) return kExitDone;
#ifdef KALVORA_WITH_PDF
    const Outcome written = WriteReportPdf(report(), path);
    if (!written) return context.fail(written.message());
    return kExitDone;
#else
    (void)report;
    return context.fail(
        "Dieses kalvora-cli wurde ohne die Qt-Bibliotheken gebaut und kann keine PDF-Berichte "
        "schreiben (--pdf).");
#endif
}

DepartmentsRead ReadDepartmentList(CliContext& context, bool requireData) {
    DepartmentsRead result;
    Result<std::vector<Department>> list = LoadDepartments(context.settings().SystemDataPath);
    if (!list) {
        result.exitCode = context.fail(list.message());
        return result;
    }
    if (requireData && list->empty()) {
        result.exitCode = context.fail(std::string(NoticeText(notices::NoDataImported).value_or("")));
        return result;
    }
    result.departments = std::move(*list);
    return result;
}

DepartmentsRead ChooseNamedDepartments(CliContext& context, const std::vector<Department>& departments,
                                       const std::vector<std::string>& fileNames) {
    DepartmentsRead result;
    Result<std::vector<Department>> chosen = ChooseDepartments(departments, fileNames);
    if (!chosen) {
        result.exitCode = context.fail(chosen.message());
        return result;
    }
    result.departments = std::move(*chosen);
    return result;
}

std::string PrintableText(std::string_view text) {
    std::string printable;
    printable.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1Control = byte == 0xC2 && i + 1 < text.size() &&
                               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                               static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1Control) ++i;
        printable += byte < 0x20 || byte == 0x7F || c1Control ? '?' : text[i];
    }
    return printable;
}

void PrintMessage(CliContext& context, std::string_view message) {
    const std::size_t start = message.find_first_not_of(' ');
    if (start != std::string_view::npos) context.err << message.substr(start) << '\n';
}

}  // namespace kalvora::cli
