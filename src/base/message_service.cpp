#include "base/message_service.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kalvora {

namespace {

enum class EntryKind { Question, Notice };

struct CatalogEntry {
    EntryKind kind;
    int code;
    std::string_view text;
};

// Every text begins with one blank; code 8 really ends in "? ?".
constexpr std::array kCatalog = {
    CatalogEntry{EntryKind::Question, questions::RemoveReports, " Ausgewählte Intensivberichte entfernen ?"},
    CatalogEntry{EntryKind::Question, questions::SaveChanges, " Änderungen speichern ?"},
    CatalogEntry{EntryKind::Question, questions::OverwriteProtocol,
                 " Bestehende Protokolldatei überschreiben ?"},
    CatalogEntry{
        EntryKind::Question, questions::InitialiseDepartments,
        " Alle zu den ausgewählten Abteilungen im Kalvora vorhandenen Daten vor dem Import löschen? ?"},
    CatalogEntry{EntryKind::Notice, notices::InvalidFileName, " Ungültiger Dateiname!"},
    CatalogEntry{EntryKind::Notice, notices::SelectAtLeastOne, " Wählen Sie mindestens ein Element aus!"},
    CatalogEntry{EntryKind::Notice, notices::NoDataImported, " Es wurden noch keine Daten importiert!"},
    CatalogEntry{EntryKind::Notice, notices::OnlyOneReport, " Nur einen Intensivbericht auswählen!"},
    CatalogEntry{EntryKind::Notice, notices::EnterSearchTerm, " Geben Sie mindestens einen Suchbegriff ein!"},
    CatalogEntry{EntryKind::Notice, notices::PatientNotFound, " Keinen entsprechenden Patienten gefunden!"},
    CatalogEntry{EntryKind::Notice, notices::PatientFound,
                 " Entsprechenden Patienten gefunden, Suchergebnis markiert!"},
    CatalogEntry{EntryKind::Notice, notices::NoDischargedTissPatients,
                 " Intensivberichte enthalten keine entlassenen TISS-Patienten!"},
};

std::optional<std::string_view> CatalogText(EntryKind kind, int code) {
    const auto* entry = std::find_if(kCatalog.begin(), kCatalog.end(), [&](const CatalogEntry& candidate) {
        return candidate.kind == kind && candidate.code == code;
    });
    if (entry == kCatalog.end()) return std::nullopt;
    return entry->text;
}

}  // namespace

std::optional<std::string_view> QuestionText(int code) { return CatalogText(EntryKind::Question, code); }

std::optional<std::string_view> NoticeText(int code) { return CatalogText(EntryKind::Notice, code); }

namespace messages {

std::string MaximumDigits(int maximum) {
    // The number as the program's number-to-text conversion writes it: a blank stands for the sign
    // of a number that is not negative.
    const std::string number = (maximum >= 0 ? " " : "") + std::to_string(maximum);
    return "Maximal " + number + " Stellen zulässig!";
}

}  // namespace messages

Answer MessageService::AskQuestion(int code) {
    const auto text = QuestionText(code);
    if (!text) return Answer::No;
    MessageBox box;
    box.text = std::string(*text);
    box.title = std::string(kNoticeTitle);
    box.icon = MessageIcon::Warning;
    box.buttons = MessageButtons::YesNo;
    return present(box) == Answer::Yes ? Answer::Yes : Answer::No;
}

void MessageService::ShowNotice(int code) {
    const auto text = NoticeText(code);
    if (!text) return;
    MessageBox box;
    box.text = std::string(*text);
    box.title = std::string(kNoticeTitle);
    box.icon = MessageIcon::Warning;
    box.buttons = MessageButtons::Ok;
    present(box);
}

void MessageService::ShowErrorBox(std::string_view text) {
    MessageBox box;
    box.text = std::string(text);
    box.title = std::string(kErrorBoxTitle);
    box.icon = MessageIcon::Error;
    box.buttons = MessageButtons::Ok;
    present(box);
}

std::vector<std::string> RecordingMessageService::texts() const {
    std::vector<std::string> result;
    result.reserve(shown.size());
    for (const auto& box : shown) result.push_back(box.text);
    return result;
}

Answer RecordingMessageService::present(const MessageBox& box) {
    shown.push_back(box);
    if (box.buttons == MessageButtons::Ok) return Answer::Ok;
    if (answers.empty()) return defaultAnswer;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace kalvora
