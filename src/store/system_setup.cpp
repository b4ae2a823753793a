#include "store/system_setup.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "base/ini_file.h"
#include "base/paths.h"
#include "base/text.h"
#include "store/admin_database.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

namespace fs = std::filesystem;

// What a setup made, taken back when a later step fails: newest first, a directory only when empty.
class MadePaths {
public:
    // Creates the directory with its missing parents; the German message when it is none afterwards.
    std::string makeDirectory(const std::string& path);
    void madeFile(const std::string& path) { made_.push_back(path); }
    void takeBack() const;

private:
    std::vector<std::string> made_;
};

std::string MadePaths::makeDirectory(const std::string& path) {
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::path part = path; !part.empty() && !fs::exists(part, error); part = part.parent_path()) {
        missing.push_back(part);
        if (part == part.parent_path()) break;
    }
    fs::create_directories(path, error);
    for (auto part = missing.rbegin(); part != missing.rend(); ++part) {
        std::error_code ignored;
        if (fs::is_directory(*part, ignored)) made_.push_back(part->string());
    }
    std::error_code check;
    if (fs::is_directory(path, check)) return {};
    const int cause = error ? error.value() : ENOTDIR;
    return "Das Verzeichnis " + path + " kann nicht angelegt werden: " + SystemErrorText(cause) + ".";
}

void MadePaths::takeBack() const {
    for (auto path = made_.rbegin(); path != made_.rend(); ++path) {
        std::error_code ignored;
        fs::remove(*path, ignored);
    }
}

// A settings file's bytes before the setup, put back when a later step fails.
class SettingsBackup {
public:
    explicit SettingsBackup(const std::string& path);
    void restore() const;

private:
    std::string path_;
    bool absent_ = false;               // there was nothing of this name
    std::optional<std::string> bytes_;  // the file's content when there was one
};

SettingsBackup::SettingsBackup(const std::string& path) : path_(path) {
    std::error_code error;
    absent_ = !fs::exists(fs::symlink_status(path, error));
    if (!FileExists(path)) return;
    std::ifstream in(path, std::ios::binary);
    if (in) bytes_ = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SettingsBackup::restore() const {
    if (absent_) {
        RemoveFileIfPresent(path_);
    } else if (bytes_) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(bytes_->data(), static_cast<std::streamsize>(bytes_->size()));
    }
}

std::string WriteSettingsFile(const std::string& path, const Settings& settings) {
    IniFile ini;
    if (!ini.load(path)) return "Die Einstellungsdatei " + path + " kann nicht gelesen werden.";
    for (const SettingsKey& key : SettingsKeys()) ini.setValue(key.section, key.key, settings.*key.member);
    if (!ini.save(path)) return "Die Einstellungsdatei " + path + " kann nicht geschrieben werden.";
    return {};
}

// The list for a table: the given file; for a table to be made, the shipped list when none is given.
struct NameList {
    std::string table;
    std::string path;  // empty: the table stays as it is
    int codeLength;
    Result<std::vector<ReferenceEntry>> list = std::vector<ReferenceEntry>();
};

std::vector<NameList> ReadNameLists(const DataDirectoryRequest& request, bool newTables) {
    std::vector<NameList> lists = {
        {std::string(tables::Hospitals), request.hospitalsCsv, kHospitalCodeLength},
        {std::string(tables::Departments), request.departmentsCsv, kFunctionCodeLength},
    };
    const std::string shipped[] = {"hospitals.csv", "departments.csv"};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (lists[i].path.empty() && newTables)
            lists[i].path = JoinPath(ShippedReferenceDirectory(), shipped[i]);
        if (!lists[i].path.empty()) lists[i].list = ReadReferenceList(lists[i].path, lists[i].codeLength);
    }
    return lists;
}

// Builds the database beside its target and moves it into place only when complete.
void BuildDatabase(const std::string& target, const std::function<void(Database&)>& fill) {
    const std::string pending = PendingFileName(target);
    RemoveFileIfPresent(pending);
    try {
        {
            Database db(pending, OpenMode::Create);
            Transaction transaction(db);
            fill(db);
            transaction.commit();
        }
        if (!SyncFile(pending)) throw StoreError(FileErrorText(pending, errno, true));
        // A journal left beside an old file would be rolled back onto the new one.
        RemoveFileIfPresent(target + "-journal");
        ReplaceFileAtomically(pending, target);
    } catch (const std::exception& error) {
        RemoveFileIfPresent(pending);
        throw StoreError("Die Datei " + target + " kann nicht angelegt werden: " + error.what());
    }
}

class Setup {
public:
    explicit Setup(const SystemSetupRequest& request)
        : request_(request),
          system_(request.directory.systemDirectory),
          adminPath_(AdminDatabase::PathIn(system_)),
          templatePath_(JoinPath(system_, files::TemplateDb)) {}

    std::string run();

private:
    std::string checkExisting() const;
    std::string makeDirectories();
    std::string changeDataDirectory();
    void makeAdministration();
    void makeTemplateIfMissing();
    std::string replaceNameTables(Database& admin);
    std::string writeSettings();

    const SystemSetupRequest& request_;
    std::string system_;
    std::string adminPath_;
    std::string templatePath_;
    std::vector<NameList> lists_;
    MadePaths made_;
    std::optional<SettingsBackup> settingsBackup_;
};

std::string Setup::run() {
    if (std::string refusal = checkExisting(); !refusal.empty()) return refusal;
    lists_ = ReadNameLists(request_.directory, !FileExists(adminPath_));
    for (const NameList& list : lists_) {
        if (!list.list) return list.list.message();
    }
    std::string message = makeDirectories();
    if (message.empty()) {
        try {
            message = changeDataDirectory();
        } catch (const std::exception& error) {
            message = error.what();
        }
    }
    if (!message.empty()) {
        if (settingsBackup_) settingsBackup_->restore();
        made_.takeBack();
    }
    return message;
}

std::string Setup::checkExisting() const {
    if (HoldsSystemData(system_) && !request_.directory.force) return ExistingDataDirectoryText(system_);
    return {};
}

std::string Setup::makeDirectories() {
    std::vector<std::string> directories = {system_, request_.importDirectory, request_.exportDirectory};
    if (request_.settingsPath) directories.push_back(fs::path(*request_.settingsPath).parent_path().string());
    for (const std::string& directory : directories) {
        if (directory.empty()) continue;
        if (std::string message = made_.makeDirectory(directory); !message.empty()) return message;
    }
    return {};
}

// Under the directory lock: no import or removal works on the databases meanwhile.
std::string Setup::changeDataDirectory() {
    const std::string lockPath = JoinPath(system_, kDataDirectoryLockFile);
    const bool lockFileThere = FileExists(lockPath);
    DataDirectoryLock lock(system_);
    if (!lockFileThere) made_.madeFile(lockPath);

    makeTemplateIfMissing();
    if (!FileExists(adminPath_)) {
        makeAdministration();
        return writeSettings();
    }
    Database admin(adminPath_, OpenMode::ReadWrite);
    if (!admin.hasTable(tables::Dateiverwaltung))
        return "Die Datei " + adminPath_ + " ist keine Verwaltungsdatenbank von Kalvora (die Tabelle " +
               std::string(tables::Dateiverwaltung) + " fehlt); sie bleibt unverändert.";
    Transaction transaction(admin, true);
    if (std::string refusal = replaceNameTables(admin); !refusal.empty()) return refusal;
    if (std::string message = writeSettings(); !message.empty()) return message;
    transaction.commit();
    return {};
}

void Setup::makeAdministration() {
    BuildDatabase(adminPath_, [this](Database& db) {
        CreateAdminSchema(db);
        for (const NameList& list : lists_) FillNameTable(db, list.table, *list.list);
    });
    made_.madeFile(adminPath_);
}

void Setup::makeTemplateIfMissing() {
    if (FileExists(templatePath_)) return;
    BuildDatabase(templatePath_, [](Database& db) { CreateDepartmentSchema(db); });
    made_.madeFile(templatePath_);
}

std::string Setup::replaceNameTables(Database& admin) {
    for (const NameList& list : lists_) {
        if (list.path.empty()) continue;
        if (const Outcome replaced = ReplaceNameTable(admin, list.table, list.path, *list.list); !replaced)
            return replaced.message();
    }
    return {};
}

std::string Setup::writeSettings() {
    if (!request_.settingsPath) return {};
    settingsBackup_.emplace(*request_.settingsPath);
    return WriteSettingsFile(*request_.settingsPath, request_.settings);
}

}  // namespace

bool HoldsSystemData(const std::string& systemDirectory) {
    return FileExists(AdminDatabase::PathIn(systemDirectory)) ||
           FileExists(JoinPath(systemDirectory, files::TemplateDb));
}

bool LacksSystemDataPath(const Settings& settings) {
    const std::string_view path = TrimBlanks(settings.SystemDataPath);
    return path.empty() || path == kUnknownSetting;
}

std::string ExistingDataDirectoryText(const std::string& systemDirectory) {
    return "Im Verzeichnis " + systemDirectory +
           " besteht bereits ein Systemdatenverzeichnis (iadmin.mdb oder ibds.mdb). setup --force übernimmt "
           "es: "
           "die Abteilungen und ihre Daten bleiben erhalten, --hospitals und --departments ersetzen nur die "
           "Namenslisten, und die Einstellungsdatei wird neu geschrieben.";
}

Settings NewSystemSettings(const std::string& systemDirectory, const std::string& importDirectory,
                           const std::string& exportDirectory, int year) {
    const std::string yearText = std::to_string(year);
    return {importDirectory,
            exportDirectory,
            systemDirectory,
            "Warning",
            yearText + "0101",
            yearText + "1231",
            "0",
            "N",
            "N"};
}

SystemSetupRequest NewSystemSetupRequest(const std::string& systemDirectory, const std::string& settingsPath,
                                         int year) {
    SystemSetupRequest request;
    request.directory.systemDirectory = systemDirectory;
    request.importDirectory = JoinPath(systemDirectory, "import");
    request.exportDirectory = JoinPath(systemDirectory, "export");
    request.settingsPath = settingsPath;
    request.settings =
        NewSystemSettings(systemDirectory, request.importDirectory, request.exportDirectory, year);
    return request;
}

Outcome SetUpSystem(const SystemSetupRequest& request) {
    std::string failure = Setup(request).run();
    if (!failure.empty()) return Failure{std::move(failure)};
    return Done{};
}

}  // namespace kalvora
