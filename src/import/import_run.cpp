#include "import/import_run.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "base/conversions.h"
#include "base/encoding.h"
#include "base/paths.h"
#include "base/process_memory.h"
#include "base/settings.h"
#include "base/status_sink.h"
#include "base/text.h"
#include "import/check_state.h"
#include "import/checked_line_reader.h"
#include "import/data_file_name.h"
#include "import/field_validators.h"
#include "import/held_back_days.h"
#include "import/held_back_row_reader.h"
#include "import/protocol_file.h"
#include "import/record_readers.h"
#include "import/stay_checks.h"
#include "import/survey_day_writer.h"
#include "import/work_database.h"
#include "store/admin_database.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

// An unexpected failure of a run: the batch stops and the user is told the cause.
struct ImportFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The work file takes the rows in the order of the delivery, at random places of its B-trees: pages
// of 16 KiB cost a quarter of the reading and writing of 64 KiB pages whenever a page leaves the
// cache and comes back. The department file is then written anew in key order with large pages,
// which suit the reading of whole tables (classification, analysis, export).
constexpr int kWorkPageSize = 16384;
constexpr int kDepartmentPageSize = 65536;

std::string nameCharacters(std::string_view name, size_t from, size_t count) {
    return from < name.size() ? std::string(name.substr(from, count)) : std::string();
}

std::string toDelivery(std::string_view utf8) {
    return IsValidUtf8(utf8) ? Utf8ToWindows1252(utf8) : std::string(utf8);
}

std::string toUtf8(std::string_view windows1252) {
    return IsAscii(windows1252) ? std::string(windows1252) : Windows1252ToUtf8(windows1252);
}

class ImportRun {
public:
    ImportRun(const Settings& settings, const DataDirectoryLock* lock, ProtocolFile& protocol,
              StatusSink& status, ImportMode mode, int position, int count, size_t heldBackBytes)
        : settings_(settings),
          lock_(lock),
          protocol_(protocol),
          status_(status),
          mode_(mode),
          position_(position),
          count_(count),
          heldBack_(heldBackBytes) {}

    void run(const ImportFile& file, ImportSummaryRow& summary) {
        workPath_ = PrivateWorkFilePath(settings_.SystemDataPath);
        try {
            runSteps(file, summary);
        } catch (...) {
            removeWorkFiles();
            throw;
        }
        removeWorkFiles();
    }

private:
    void runSteps(const ImportFile& file, ImportSummaryRow& summary) {
        std::string adminPath = AdminDatabase::PathIn(settings_.SystemDataPath);
        if (!FileExists(adminPath)) throw ImportFailure("Die Verwaltungsdatenbank " + adminPath + " fehlt.");
        AdminDatabase admin(Database(adminPath, OpenMode::ReadWrite));

        std::string name = file.name;
        kaCodeUtf8_ = "K" + nameCharacters(name, 9, 3);
        departmentCodeUtf8_ = "12" + nameCharacters(name, 2, 6);
        const std::string_view department = departmentCodeUtf8_;
        storedCodes_ = RowCodes{kaCodeUtf8_, department.substr(0, 6),
                                department.size() > 6 ? department.substr(6, 2) : std::string_view()};
        kaCode_ = toDelivery(kaCodeUtf8_);
        departmentCode_ = toDelivery(departmentCodeUtf8_);
        rules_ = LineRules{kaCode_, departmentCode_, settings_.plausLevelIsError()};
        protocol_.setDataFileName(name);

        CheckState state = CheckState::None;
        CheckDataFileName(admin, name, summary, status_, state);
        if (state != CheckState::None) return summary.reject(comments::BadFileName);

        const std::optional<std::string> storedFile = admin.dataFileOf(kaCodeUtf8_, departmentCodeUtf8_);
        const bool newDepartment = !storedFile;
        std::string databaseName =
            newDepartment ? "12" + nameCharacters(name, 2, 10) : std::string(TrimBlanks(*storedFile));
        std::string departmentPath = JoinPath(settings_.SystemDataPath, databaseName);

        WorkFileOrigin origin = mode_ == ImportMode::Append && !newDepartment ? WorkFileOrigin::Department
                                                                              : WorkFileOrigin::Template;
        std::string source = origin == WorkFileOrigin::Department
                                 ? departmentPath
                                 : JoinPath(settings_.SystemDataPath, files::TemplateDb);
        if (!FileExists(source)) throw ImportFailure("Die Datenbank " + source + " fehlt.");
        if (lock_ == nullptr)
            throw ImportFailure("Das Systemdatenverzeichnis " + settings_.SystemDataPath + " fehlt.");
        if (origin == WorkFileOrigin::Department) status_.setPanel(1, " Kopiere Abteilungsdatenbank...");
        // Through the engine, not byte by byte: it sees the last committed state of the source, even
        // while another program writes it or after one died during its commit.
        createWorkFile(source, workPath_);
        work_.emplace(workPath_);
        workFromTemplate_ = origin == WorkFileOrigin::Template;
        work_->markStoredStays();

        Transaction work(work_->db());
        if (!readLines(file, summary)) return;

        // The stays held back are not in the work file yet, unless as an older row.
        const long long staysAfterReading =
            work_->stayCount() + static_cast<long long>(heldBack_.heldStaysWithoutOlderRow());
        if (staysAfterReading == 0) return summary.reject(comments::NoRecords);

        status_.setPanel(1, kCheckingStaysStatus);
        StayCheckContext checks{protocol_, *work_, kaCode_, departmentCode_, nullptr, nullptr, &status_};
        StayCheckCounts counts;
        {
            HeldBackRowReader stays(heldBack_, *work_, file.path, rules_, storedCodes_);
            checks.stays = &stays;
            // The survey days the walk stores go through a writer with a file of its own, an empty copy
            // of the template (see storeResult); without the template, into the work file.
            std::optional<SurveyDayWriter> dayWriter;
            if (const std::string templatePath = JoinPath(settings_.SystemDataPath, files::TemplateDb);
                FileExists(templatePath)) {
                dayPath_ = PrivateWorkFilePath(settings_.SystemDataPath);
                createWorkFile(templatePath, dayPath_);
                dayWriter.emplace(dayPath_);
                checks.days = &*dayWriter;
            }
            counts = checkStays(checks);
            if (dayWriter) dayWriter->finish();
            checks.stays = nullptr;
            checks.days = nullptr;
        }
        // The held-back days are stored: their memory is not needed any more.
        heldBack_ = HeldBackDays(0);
        ReturnFreedMemory();
        checkSumRecord(checks, sumPresent_, sumValue_, counts);

        work_->removeErrorStays();
        if (work_->stayCount() == 0) return summary.reject(comments::NoRecords);
        work_->copyHoursToSurveyDays();
        work_->restoreStoredStayFlags();
        work.commit();

        // Nothing is stored unless the findings of this file are in the protocol file.
        if (!protocol_.flush()) throw ImportFailure(ProtocolWriteFailure(protocol_));

        status_.setPanel(1, kStoringStatus);
        if (!storeResult(admin, newDepartment, databaseName)) return summary.reject(comments::StoreFailed);
        summary.setCounts(staysAfterReading - counts.oldStays,
                          staysAfterReading - counts.errorStays - counts.oldStays, counts.findings);
    }

    // A work file: a copy of `source` made through the engine, with the work file's pages.
    static void createWorkFile(const std::string& source, const std::string& path) {
        try {
            RewriteDatabase(source, path, kWorkPageSize);
        } catch (const StoreError& error) {
            throw ImportFailure("Die Arbeitsdatei " + path + " kann nicht angelegt werden: " + error.what());
        }
    }

    // Reads every line into the work file; false when the file is rejected for a line.
    bool readLines(const ImportFile& file, ImportSummaryRow& summary) {
        CheckedLineReader reader(rules_);
        if (const Outcome opened = reader.open(file.path); !opened) throw ImportFailure(opened.message());
        LineContext context{protocol_, *work_};
        Progress progress{0, 0, reader.size(), position_, count_};
        CheckedLine* checked = nullptr;
        std::uint64_t lineStart = 0;
        while (reader.next(checked)) {
            const std::uint64_t offset = lineStart;
            lineStart = checked->bytesDone;
            context.state = CheckState::None;
            context.duplicateFlag = false;
            progress.line = checked->number;
            progress.bytesDone = checked->bytesDone;
            status_.lineChecked(progress);

            std::string_view line = checked->text;
            switch (checked->kind) {
                case CheckedLine::Kind::Blank:
                case CheckedLine::Kind::Ignored:
                    continue;
                case CheckedLine::Kind::SumRecord:
                    readSumRecord(line);
                    continue;
                case CheckedLine::Kind::UnknownRecordType:
                    flushCurrentStay();
                    writeParkedStays();
                    summary.reject(comments::BadRecordType);
                    return false;
                case CheckedLine::Kind::RecordType1:
                case CheckedLine::Kind::RecordType3:
                    break;
            }
            std::string kisId = toUtf8(LinePart(line, 14, 10));
            std::string dob = toUtf8(LinePart(line, 24, 8));
            std::string admission = toUtf8(LinePart(line, 32, 12));
            if (checked->kind == CheckedLine::Kind::RecordType1)
                readStay(context, line, std::get<CheckedType1>(checked->record), kisId, dob, admission,
                         offset);
            else
                readSurveyDay(context, line, std::get<CheckedType3>(checked->record), kisId, dob, admission,
                              file.name, checked->number, offset);
            noteLineState(context.state);
        }
        flushCurrentStay();
        writeParkedStays();
        return true;
    }

    void readSumRecord(std::string_view line) {
        long long sum = 0;
        for (int start : {14, 20, 26, 32}) {
            std::string_view count = LinePart(line, start, 6);
            long long value = 0;
            for (char c : count) {
                if (c < '0' || c > '9') break;
                value = value * 10 + (c - '0');
            }
            sum += value;
        }
        sumPresent_ = true;
        sumValue_ = sum;
    }

    // The stay a line belongs to takes the line's findings into its flag.
    void noteLineState(CheckState state) {
        if (state != CheckState::Error && state != CheckState::Warning) return;
        const std::string_view flag = state == CheckState::Error ? flags::Error : flags::Incorrect;
        if (currentHeld_ != HeldBackDays::kNone) {
            char& held = heldBack_.heldStay(currentHeld_).flag;
            if (state == CheckState::Error || held != flags::Error[0]) held = flag[0];
            return;
        }
        if (state == CheckState::Error || current_->FLAG != flags::Error) {
            current_->FLAG = flag;
            currentDirty_ = true;
        }
    }

    void readStay(LineContext& context, std::string_view line, const CheckedType1& checked,
                  const std::string& kisId, const std::string& dob, const std::string& admission,
                  std::uint64_t offset) {
        // A stay delivered again starts anew: the stay and everything read for it so far go. A stay
        // held back is stored by the walk after reading, which then removes its older rows in key
        // order; otherwise the stay goes with its record rows at once.
        const std::string key = HeldBackDays::KeyOf(kisId, dob, admission);
        // In a new work file, a stay not read before has nothing stored yet.
        const bool unknown = workFromTemplate_ && !heldBack_.knows(key);
        const HeldBackDays::Stay before = heldBack_.current(key);
        const bool storedDaysBefore = before != HeldBackDays::kNone && heldBack_.hasStoredDays(before);
        const bool heldBefore = before != HeldBackDays::kNone && heldBack_.holdsStay(before);
        const HeldBackDays::Stay entry = heldBack_.restart(key);
        const bool later = entry != HeldBackDays::kNone && IsUnderLineKey(checked.row, line) &&
                           !HasBlankedKeyField(checked.row);
        std::optional<bool> inDatabase;  // whether the work file holds a row of the stay; unknown: none
        if (heldBefore) {
            inDatabase = heldBack_.heldStay(before).olderRow;
            if (currentHeld_ == before)
                currentHeld_ = HeldBackDays::kNone;
            else
                flushCurrentStay();
        } else if (current_ && current_->sameKey(kisId, dob, admission)) {
            inDatabase = currentInDatabase_;
            current_.reset();
        } else {
            flushCurrentStay();
            // A stored row goes with its record rows; a parked stay not written yet has only those.
            const auto parked = findParked(kisId, dob, admission);
            if (parked != parked_.end()) {
                inDatabase = parked->second.inDatabase;
                parked_.erase(parked);
            }
        }
        if (later && unknown) {
            inDatabase = false;
        } else if (later) {
            if (!inDatabase) inDatabase = work_->hasStay(kisId, dob, admission);
            heldBack_.noteReplacedDays(entry, *inDatabase || storedDaysBefore);
        } else if (inDatabase.value_or(true)) {
            work_->deleteStay(kisId, dob, admission);
            inDatabase = false;
        } else {
            work_->deleteRecordRows(kisId, dob, admission);
        }

        context.stayHours = nullptr;
        if (entry != HeldBackDays::kNone) {
            // The stay's row is held back: its record type 1 row too, unless a key field was blanked.
            HeldStay held;
            held.type1At = offset;
            held.type1Held = later;
            held.olderRow = *inDatabase;
            held.flag = flags::Correct[0];
            if (later)
                NoteRecordType1(context, line, checked);
            else
                StoreRecordType1(context, line, checked);
            if (!context.duplicateFlag) {
                held.type1Counted = true;
                const std::string hours = StayHours(checked.figures);
                held.hasHours = hours.size() == 2;
                if (held.hasHours) std::copy(hours.begin(), hours.end(), held.hours);
            }
            heldBack_.holdStay(entry, held);
            makeCurrent(entry, key);
            return;
        }

        StayRow& stay = current_.emplace();
        stay.KA_ID = storedCodes_.kaCode;
        stay.ICU_FUN_ID = storedCodes_.departmentId;
        stay.ICU_FUN_SID = storedCodes_.departmentSid;
        stay.KIS_ID = kisId;
        stay.DOB = dob;
        stay.ADM_DATE = admission;
        stay.FLAG = flags::Correct;
        currentInDatabase_ = *inDatabase;
        currentUnwritten_ = true;
        currentDirty_ = true;

        StoreRecordType1(context, line, checked);
        if (context.duplicateFlag) return;
        stay.Satzart_1 += 1;
        SetStayFields(stay, line, checked.figures);
    }

    void readSurveyDay(LineContext& context, std::string_view line, CheckedType3& checked,
                       const std::string& kisId, const std::string& dob, const std::string& admission,
                       const std::string& fileName, long long lineNumber, std::uint64_t offset) {
        const std::string key = HeldBackDays::KeyOf(kisId, dob, admission);
        const bool isCurrent = currentHeld_ != HeldBackDays::kNone
                                   ? key == currentKey_
                                   : current_ && current_->sameKey(kisId, dob, admission);
        if (!isCurrent) {
            flushCurrentStay();
            if (const HeldBackDays::Stay held = heldBack_.current(key);
                held != HeldBackDays::kNone && heldBack_.holdsStay(held)) {
                makeCurrent(held, key);
            } else {
                takeCurrentStay(kisId, dob, admission, fileName, lineNumber);
            }
        }
        context.stayHours = currentHeld_ != HeldBackDays::kNone ? &heldHours_ : &current_->STUNDEN;
        holdBackOrStore(context, line, checked, currentHeld_ != HeldBackDays::kNone ? currentKey_ : key,
                        kisId, dob, admission, offset);
        if (context.duplicateFlag) return;
        if (currentHeld_ != HeldBackDays::kNone) {
            heldBack_.heldStay(currentHeld_).surveyLines += 1;
        } else {
            current_->Satzart_3 += 1;
            currentDirty_ = true;
        }
    }

    // The held-back stay becomes the current one, with its hours for the rows stored as they are read.
    void makeCurrent(HeldBackDays::Stay stay, const std::string& key) {
        currentHeld_ = stay;
        currentKey_ = key;
        const HeldStay& held = heldBack_.heldStay(stay);
        if (held.hasHours)
            heldHours_ = std::string(held.hours, 2);
        else
            heldHours_.reset();
    }

    // The current stay becomes the one of a survey line whose row is not held back: parked, or stored.
    void takeCurrentStay(const std::string& kisId, const std::string& dob, const std::string& admission,
                         const std::string& fileName, long long lineNumber) {
        StayRow stored;
        bool inDatabase = false;
        bool unwritten = false;
        if (!takeStay(kisId, dob, admission, stored, inDatabase, unwritten)) {
            throw ImportFailure(fileName + ", Zeile " + std::to_string(lineNumber) +
                                ": Satzart-3-Zeile ohne zugehörigen Aufenthalt (keine Satzart-1-Zeile für " +
                                "KH-Aufnahmezahl \"" + kisId + "\", Geburtsdatum \"" + dob +
                                "\", Aufnahmezeitpunkt \"" + admission + "\").");
        }
        current_ = std::move(stored);
        currentInDatabase_ = inDatabase;
        currentUnwritten_ = unwritten;
        currentDirty_ = false;
    }

    // A survey day under its stay's key is held back and stored after reading, in key order; a day
    // already held back or stored for the stay is reported. A row with a blanked key field, and every
    // row once the held-back days take all the room they may, is stored at once.
    void holdBackOrStore(LineContext& context, std::string_view line, CheckedType3& checked,
                         const std::string& key, const std::string& kisId, const std::string& dob,
                         const std::string& admission, std::uint64_t offset) {
        const RecordType3Row& row = checked.row;
        const bool underLineKey = IsUnderLineKey(row, line);
        const HeldBackDays::Stay current = currentHeld_;
        if (underLineKey && !HasBlankedKeyField(row)) {
            const HeldBackDays::Stay stay = current != HeldBackDays::kNone ? current : heldBack_.find(key);
            if (stay != HeldBackDays::kNone) {
                const std::uint32_t date = HeldBackDays::DateOf(row.REC_DATE);
                const bool duplicate = heldBack_.holdsDate(stay, date) ||
                                       (heldBack_.hasStoredDays(stay) &&
                                        work_->hasSurveyDay(kisId, dob, admission, row.REC_DATE));
                const std::optional<std::uint32_t> items = ItemValuesOnly(rules_, line, checked);
                const bool held = !duplicate && (items ? heldBack_.holdBackItems(stay, date, *items)
                                                       : heldBack_.holdBack(stay, date, offset));
                if (duplicate || held) {
                    NoteRecordType3(context, line, checked, duplicate);
                    shareMemoryWithCache();
                    return;
                }
                // Stored from now on: the days it had before it was delivered again go first.
                if (heldBack_.hasReplacedDays(stay)) {
                    work_->deleteSurveyDays(kisId, dob, admission);
                    heldBack_.noteReplacedDays(stay, false);
                }
                heldBack_.noteStoredDays(stay);
            }
        } else if (underLineKey) {
            const HeldBackDays::Stay stay = current != HeldBackDays::kNone ? current : heldBack_.find(key);
            if (stay != HeldBackDays::kNone) heldBack_.noteStoredDays(stay);
        }
        StoreRecordType3(context, line, checked);
    }

    // The held-back days take their memory from the work file's page cache, so that an import needs
    // no more memory for a larger file; the cache keeps at least kSmallestCache.
    void shareMemoryWithCache() {
        const size_t held = heldBack_.bytes();
        if (held < heldWhenCacheSet_ + (size_t{1} << 20)) return;
        heldWhenCacheSet_ = held;
        constexpr size_t kSmallestCache = size_t{8} << 20;
        work_->setCacheBytes(WorkDatabase::kCacheBytes > held + kSmallestCache
                                 ? WorkDatabase::kCacheBytes - held
                                 : kSmallestCache);
    }

    // Leaves the current stay: its row is parked until the parked rows are written together.
    void flushCurrentStay() {
        currentHeld_ = HeldBackDays::kNone;
        if (!current_) return;
        if (currentDirty_ || currentUnwritten_) {
            ParkedKey key{current_->KIS_ID, current_->DOB, current_->ADM_DATE};
            parked_.insert_or_assign(std::move(key), ParkedStay{std::move(*current_), currentInDatabase_});
            if (parked_.size() >= kParkedStayLimit) writeParkedStays();
        }
        current_.reset();
        currentDirty_ = false;
        currentUnwritten_ = false;
    }

    // The stay's row as this run knows it: parked, else stored in the work file. A parked row is taken
    // out of the parking (`unwritten`); `inDatabase` tells whether the work file holds a row of it.
    bool takeStay(std::string_view kisId, std::string_view dob, std::string_view admission, StayRow& stay,
                  bool& inDatabase, bool& unwritten) {
        unwritten = false;
        if (const auto at = findParked(kisId, dob, admission); at != parked_.end()) {
            stay = std::move(at->second.row);
            inDatabase = at->second.inDatabase;
            unwritten = true;
            parked_.erase(at);
            return true;
        }
        inDatabase = work_->seekStay(kisId, dob, admission, stay);
        return inDatabase;
    }

    // Writes the parked rows in key order: the stay table's pages are visited once, front to back.
    void writeParkedStays() {
        for (auto& [key, parked] : parked_) {
            if (parked.inDatabase)
                work_->updateStay(parked.row);
            else
                work_->insertStay(parked.row);
        }
        parked_.clear();
    }

    // Writes the finished work file anew in key order, moves that file over the department database
    // and records the department, so that the department holds either its old or its new content
    // whatever happens meanwhile.
    bool storeResult(AdminDatabase& admin, bool newDepartment, const std::string& databaseName) {
        const std::string compact = PrivateWorkFilePath(settings_.SystemDataPath);
        try {
            work_.reset();
            ReturnFreedMemory();
            // With the survey days the walk stored into a day file of their own.
            RewriteDatabase(workPath_, compact, kDepartmentPageSize, dayPath_);
            RemoveFileIfPresent(workPath_);
            if (!dayPath_.empty()) RemoveFileIfPresent(dayPath_);
            workPath_ = compact;
            if (!SyncFile(workPath_)) throw StoreError(FileErrorText(workPath_, errno, true));
            DepartmentRegistration registration{kaCodeUtf8_, departmentCodeUtf8_, databaseName,
                                                newDepartment};
            ReplaceDepartmentFile(admin, *lock_, registration, workPath_);
            return true;
        } catch (const StoreError&) {
            RemoveFileIfPresent(compact);
            return false;
        }
    }

    void removeWorkFiles() {
        work_.reset();
        RemoveFileIfPresent(workPath_);
        if (!dayPath_.empty()) RemoveFileIfPresent(dayPath_);
    }

    const Settings& settings_;
    const DataDirectoryLock* lock_;  // null when the system data directory is missing
    ProtocolFile& protocol_;
    StatusSink& status_;
    ImportMode mode_;
    int position_;
    int count_;
    std::string workPath_;
    std::string dayPath_;  // the survey days the walk stores into a new work file; empty: none
    std::optional<WorkDatabase> work_;
    std::string kaCode_, departmentCode_;          // Windows-1252, compared with the lines
    std::string kaCodeUtf8_, departmentCodeUtf8_;  // as stored
    RowCodes storedCodes_;                         // views into the two above
    // The current stay is either held back (its entry, with its key) or a row of its own.
    HeldBackDays::Stay currentHeld_ = HeldBackDays::kNone;
    std::string currentKey_;
    std::optional<std::string> heldHours_;  // STUNDEN of the current held-back stay
    std::optional<StayRow> current_;
    bool currentInDatabase_ = false;  // the work file holds a row of the current stay
    bool currentUnwritten_ = false;   // the work file does not hold the current row as it is now
    bool currentDirty_ = false;       // lines were stored for the current stay since it was taken up
    // Rows of stays left while their lines are read, not yet written to the work file. When the lines
    // of many stays are mixed, writing a stay's row at every change of stay would cost a look-up and
    // a rewrite per line; parked, the rows are written once, in key order, a few thousand at a time.
    using ParkedKey = std::tuple<std::string, std::string, std::string>;  // KIS_ID, DOB, ADM_DATE
    using KeyView = std::tuple<std::string_view, std::string_view, std::string_view>;
    // Orders parked keys, and finds one by the line's key texts without copying them.
    struct ParkedOrder {
        using is_transparent = void;
        static KeyView view(const ParkedKey& key) {
            return {std::get<0>(key), std::get<1>(key), std::get<2>(key)};
        }
        static KeyView view(const KeyView& key) { return key; }
        template <typename Left, typename Right>
        bool operator()(const Left& left, const Right& right) const {
            return view(left) < view(right);
        }
    };
    struct ParkedStay {
        StayRow row;
        bool inDatabase = false;  // the work file holds an older row of the stay
    };
    static constexpr size_t kParkedStayLimit = 2048;
    std::map<ParkedKey, ParkedStay, ParkedOrder> parked_;
    std::map<ParkedKey, ParkedStay, ParkedOrder>::iterator findParked(std::string_view kisId,
                                                                      std::string_view dob,
                                                                      std::string_view admission) {
        return parked_.find(KeyView{kisId, dob, admission});
    }
    LineRules rules_;  // views into the codes above
    HeldBackDays heldBack_;
    bool workFromTemplate_ = false;
    size_t heldWhenCacheSet_ = 0;
    bool sumPresent_ = false;
    long long sumValue_ = 0;
};

}  // namespace

ImportBatchResult RunImportBatch(const ImportBatchRequest& request, const Settings& settings,
                                 StatusSink& status) {
    ImportBatchResult result;
    ShareAllocatorPools();
    // One writer at a time: a second program waits a moment, then is refused and changes nothing.
    // A missing directory is reported by the first file's run, as before.
    std::optional<DataDirectoryLock> lock;
    std::error_code directoryError;
    if (std::filesystem::is_directory(settings.SystemDataPath, directoryError)) {
        try {
            lock.emplace(settings.SystemDataPath);
        } catch (const StoreError& error) {
            result.refusal = error.what();
            return result;
        }
    }
    // A protocol is text: it must never take the place of a database.
    if (IsSystemDataFile(request.protocolPath, settings.SystemDataPath)) {
        result.refusal = SystemDataFileRefusal(request.protocolPath);
        return result;
    }
    if (IsDatabaseFile(request.protocolPath)) {
        result.refusal = "Die Datei " + std::filesystem::path(request.protocolPath).filename().string() +
                         " ist eine Datenbank und darf nicht als Protokolldatei überschrieben werden!";
        return result;
    }
    ProtocolFile protocol;
    if (const Outcome created = protocol.create(request.protocolPath); !created) {
        result.failure = created.message();
        return result;
    }
    protocol.WriteProtocolRow("", kProtocolHeaderParameter, "", "");
    int count = static_cast<int>(request.files.size());
    for (int position = 1; position <= count; ++position) {
        const ImportFile& file = request.files[position - 1];
        result.summary.push_back(ImportSummaryRow::ForFile(file.name));
        try {
            ImportRun(settings, lock ? &*lock : nullptr, protocol, status, request.mode, position, count,
                      request.heldBackBytes)
                .run(file, result.summary.back());
        } catch (const std::exception& failure) {
            result.failure = failure.what();
            break;
        }
        if (protocol.failed()) {
            result.failure = ProtocolWriteFailure(protocol);
            break;
        }
    }
    if (!protocol.close() && result.failure.empty()) result.failure = ProtocolWriteFailure(protocol);
    status.setPanel(1, " Bereit");
    status.setPanel(2, " ");
    status.setPanel(3, " ");
    return result;
}

}  // namespace kalvora
