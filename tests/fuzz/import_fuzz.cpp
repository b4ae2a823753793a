// Fuzz target of the import: the input bytes are one delivery file, imported in append mode into a
// department that already holds two stays and in initialise mode. Every outcome (accepted, rejected,
// a failure message) is fine; a crash, a sanitizer report or an escaping exception is a fault.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/settings.h"
#include "base/status_sink.h"
#include "import/import_run.h"
#include "store/reference_list.h"
#include "store/schema.h"

namespace {

namespace fs = std::filesystem;

const std::string kFileName = "A2100101.101";
const std::string kDepartmentDb = "12100101.101";

// Two complete stays of the department K101 / 12100101, each with its survey days and a sum record.
std::string SeedDelivery() {
    const std::string prefix = "1K10112100101";
    const std::string days = "3K10112100101";
    const std::string items = "1100000000000000000000000000000";
    std::string bytes;
    bytes += prefix + "P1        19500615201203011000" + std::string(22, ' ') + "2012030210001201203101\r\n";
    bytes += days + "P1        19500615201203011000" + "20120301" + items + "\r\n";
    bytes += days + "P1        19500615201203011000" + "20120302" + items + "\r\n";
    bytes += prefix + "P2        19800101201205050800" + std::string(22, ' ') + "2012050512002201205052\r\n";
    bytes += days + "P2        19800101201205050800" + "20120505" + items + "\r\n";
    bytes += "$            000002000000000003000000\r\n";
    return bytes;
}

void WriteBytes(const fs::path& path, const char* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
    if (!out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

// The data directory, made once per fuzzing process; the department's files are put back to their
// first state before every import so that each input runs on the same data.
class FuzzDirectory {
public:
    FuzzDirectory() {
        // In memory where possible: every import syncs its result to the disk.
        std::error_code noShm;
        fs::path base =
            fs::is_directory("/dev/shm", noShm) ? fs::path("/dev/shm") : fs::temp_directory_path();
        root_ = base / ("kalvora-import-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "import");
        fs::create_directories(root_ / "export");
        settings_.ImportDataPath = (root_ / "import").string();
        settings_.ExportDataPath = (root_ / "export").string();
        settings_.SystemDataPath = (root_ / "sys").string();
        settings_.PlausLevel = "Warning";
        settings_.Erhebungvon = "20120101";
        settings_.Erhebungbis = "20121231";
        settings_.MindestStd = "0 ";
        settings_.MehrfachTISS = "N";
        settings_.ErsatzTISS = "N";
        const kalvora::Outcome created =
            kalvora::CreateDataDirectory({settings_.SystemDataPath, "", "", false});
        if (!created) fail(created.message());

        std::string seed = SeedDelivery();
        WriteBytes(deliveryPath(), seed.data(), seed.size());
        kalvora::ImportBatchResult result = import(kalvora::ImportMode::Append, "Warning");
        if (result.failed()) fail(result.failure);
        for (const std::string& name : {std::string(kalvora::files::AdminDb), kDepartmentDb}) {
            if (!fs::exists(root_ / "sys" / name)) fail("missing after the seed import: " + name);
            fs::copy_file(root_ / "sys" / name, root_ / (name + ".first"));
        }
    }

    ~FuzzDirectory() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    void restore() const {
        for (const std::string& name : {std::string(kalvora::files::AdminDb), kDepartmentDb})
            fs::copy_file(root_ / (name + ".first"), root_ / "sys" / name,
                          fs::copy_options::overwrite_existing);
    }

    fs::path deliveryPath() const { return root_ / "import" / kFileName; }

    // Every run removes its work file, whatever its outcome.
    void checkWorkFileRemoved() const {
        if (fs::exists(root_ / "sys" / kalvora::files::WorkDb)) fail("the work file was left behind");
    }

    kalvora::ImportBatchResult import(kalvora::ImportMode mode, const std::string& plausLevel) {
        settings_.PlausLevel = plausLevel;
        kalvora::ImportBatchRequest request;
        request.mode = mode;
        request.protocolPath = (root_ / "export" / "protocol.dat").string();
        request.files.push_back({kFileName, deliveryPath().string()});
        kalvora::NullStatusSink status;
        return kalvora::RunImportBatch(request, settings_, status);
    }

private:
    [[noreturn]] static void fail(const std::string& message) {
        std::fprintf(stderr, "import fuzz: %s\n", message.c_str());
        std::abort();
    }

    fs::path root_;
    kalvora::Settings settings_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static FuzzDirectory directory;
    WriteBytes(directory.deliveryPath(), reinterpret_cast<const char*>(data), size);

    // Optional fields count as warnings in the append run and as errors in the initialise run, so
    // that both levels of the readers are reached.
    directory.restore();
    directory.import(kalvora::ImportMode::Append, "Warning");
    directory.checkWorkFileRemoved();
    directory.restore();
    directory.import(kalvora::ImportMode::Initialise, "Error");
    directory.checkWorkFileRemoved();
    return 0;
}
