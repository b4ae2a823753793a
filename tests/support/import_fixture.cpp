#include "support/import_fixture.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "base/encoding.h"
#include "base/status_sink.h"
#include "store/reference_list.h"

namespace kalvora::test {

namespace {
std::string padded(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}
}  // namespace

std::string Line(const Type1& r) {
    return "1" + r.ka + r.department + padded(r.kisId, 10) + r.dob + r.admission + std::string(22, ' ') +
           r.discharge + r.outcome + r.hospitalDischarge + r.hospitalState;
}

std::string Line(const Type3& r) {
    return "3" + r.ka + r.department + padded(r.kisId, 10) + r.dob + r.admission + r.day + r.items + "000";
}

std::string SumLine(int type1, int type2, int type3, int type4) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "$            %06d%06d%06d%06d", type1, type2, type3, type4);
    return buffer;
}

std::string DeliveryFile(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    return bytes;
}

ImportFixture::ImportFixture() {
    const Outcome created = CreateDataDirectory({systemDir(), "", "", false});
    if (!created) throw std::runtime_error(created.message());
    std::filesystem::create_directories(dir.file("import"));
    std::filesystem::create_directories(dir.file("export"));
    settings.ImportDataPath = dir.file("import");
    settings.ExportDataPath = dir.file("export");
    settings.SystemDataPath = systemDir();
    settings.PlausLevel = "Warning";
    settings.Erhebungvon = "20120101";
    settings.Erhebungbis = "20121231";
    settings.MindestStd = "0 ";
    settings.MehrfachTISS = "N";
    settings.ErsatzTISS = "N";
}

std::string ImportFixture::writeDelivery(const std::string& name, const std::string& bytes) const {
    std::string path = dir.file("import/" + name);
    WriteFile(path, bytes);
    return path;
}

ImportBatchResult ImportFixture::import(const std::vector<std::string>& names, ImportMode mode) {
    ImportBatchRequest request;
    request.mode = mode;
    request.protocolPath = protocolPath();
    request.heldBackBytes = heldBackBytes;
    for (const auto& name : names) request.files.push_back({name, dir.file("import/" + name)});
    NullStatusSink status;
    return RunImportBatch(request, settings, status);
}

ImportBatchResult ImportFixture::importLines(const std::string& name, const std::vector<std::string>& lines,
                                             ImportMode mode) {
    writeDelivery(name, DeliveryFile(lines));
    return import({name}, mode);
}

std::vector<std::string> ImportFixture::protocolRows() const {
    std::string bytes = Windows1252ToUtf8(ReadFile(protocolPath()));
    std::vector<std::string> rows;
    std::istringstream in(bytes);
    std::string row;
    bool header = true;
    while (std::getline(in, row)) {
        if (!row.empty() && row.back() == '\r') row.pop_back();
        if (header) {
            header = false;
            continue;
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace kalvora::test
