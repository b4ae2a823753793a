#include "import/import_batch_request.h"

#include <filesystem>

#include "base/paths.h"
#include "import/line_reader.h"

namespace kalvora {

namespace {

// Why the file cannot be imported; done when it is there and can be read.
Outcome ReadableDelivery(const ImportFile& file, const std::string& importDirectory) {
    std::error_code error;
    if (file.path == file.name && !std::filesystem::exists(file.path, error))
        return Failure{"Die Datei " + file.name + " ist weder im Importverzeichnis " + importDirectory +
                       " noch im aktuellen Verzeichnis vorhanden."};
    LineReader reader;
    return reader.open(file.path);
}

}  // namespace

ImportFile DeliveryFileOf(const std::string& argument, const std::string& importDirectory) {
    const std::string name = std::filesystem::path(argument).filename().string();
    if (std::filesystem::path(argument).has_parent_path()) return {name, argument};
    const std::string listed = JoinPath(importDirectory, argument);
    std::error_code error;
    return {name, std::filesystem::exists(listed, error) ? listed : argument};
}

Result<ImportBatchRequest> PlanImportBatch(std::vector<ImportFile> files, ImportMode mode,
                                           std::string protocolPath, const std::string& importDirectory) {
    for (const ImportFile& file : files) {
        if (const Outcome readable = ReadableDelivery(file, importDirectory); !readable)
            return Failure{readable.message() + "\n" + std::string(kNothingImported)};
    }
    ImportBatchRequest request;
    request.files = std::move(files);
    request.mode = mode;
    request.protocolPath = std::move(protocolPath);
    return request;
}

}  // namespace kalvora
