#pragma once
// The message boxes of the program. Questions and notices are asked for by their catalog code;
// the window layer decides how a box is shown, tests and the command line answer programmatically.

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvora {

enum class Answer { Yes, No, Ok };
enum class MessageIcon { Warning, Error };
enum class MessageButtons { YesNo, Ok };

struct MessageBox {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Warning;
    MessageButtons buttons = MessageButtons::Ok;
    std::string detail;  // optional extra text (cause of an unexpected failure)
};

inline constexpr std::string_view kNoticeTitle = " Programmhinweis ";
inline constexpr std::string_view kErrorBoxTitle = " Tavex - Error ";
inline constexpr std::string_view kProgramTitle = "Kalvora";

// Catalog lookups: the text of a question or notice code, none when the code has no such text.
std::optional<std::string_view> QuestionText(int code);
std::optional<std::string_view> NoticeText(int code);

// Texts of the run-time error box and the other boxes, one place for all callers.
namespace messages {
inline constexpr std::string_view InvalidEntry = "Die Eingabe ist ungültig!";
inline constexpr std::string_view NegativeNotAllowed = "Negative Werte sind unzulässig!";
inline constexpr std::string_view InvalidDate = "Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!";
inline constexpr std::string_view IniReadProblem = "Probleme beim Lesen der 'ini'-Datei!";
inline constexpr std::string_view IniWriteProblem = "Probleme beim Schreiben der 'ini'-Datei!";
inline constexpr std::string_view UnknownCause = " Fehlerursache unbekannt!";
inline constexpr std::string_view ExportDone = " Daten erfolgreich exportiert!";
// "Maximal " + the maximum with its leading blank + " Stellen zulässig!"
std::string MaximumDigits(int maximum);
}  // namespace messages

namespace questions {
inline constexpr int RemoveReports = 2;
inline constexpr int SaveChanges = 3;
inline constexpr int OverwriteProtocol = 7;
inline constexpr int InitialiseDepartments = 8;
}  // namespace questions

namespace notices {
inline constexpr int InvalidFileName = 1;
inline constexpr int NoFileSelected = 6;
inline constexpr int TooManyFiles = 7;
inline constexpr int DriveNotReady = 11;
inline constexpr int SelectAtLeastOne = 17;
inline constexpr int NoDataImported = 18;
inline constexpr int OnlyOneReport = 21;
inline constexpr int EnterSearchTerm = 26;
inline constexpr int PatientNotFound = 27;
inline constexpr int PatientFound = 28;
inline constexpr int InvalidBirthDate = 33;
inline constexpr int NoDischargedTissPatients = 37;
}  // namespace notices

class MessageService {
public:
    virtual ~MessageService() = default;

    // Yes/No box with the code's text; a code without question text shows nothing and answers No.
    Answer AskQuestion(int code);
    // OK box with the code's text; a code without notice text shows nothing.
    void ShowNotice(int code);
    // The run-time error box with the given text.
    void ShowErrorBox(std::string_view text);
    // Any other box (the settings-file boxes, the unknown-cause box, the export success).
    Answer Show(const MessageBox& box) { return present(box); }

protected:
    virtual Answer present(const MessageBox& box) = 0;
};

// Records every box and answers questions from a queue (Yes when the queue is empty, unless
// told otherwise). Used by tests and by the command line.
class RecordingMessageService : public MessageService {
public:
    std::vector<MessageBox> shown;
    std::deque<Answer> answers;
    Answer defaultAnswer = Answer::Yes;

    void setNextAnswer(Answer answer) { answers.push_back(answer); }
    std::vector<std::string> texts() const;

protected:
    Answer present(const MessageBox& box) override;
};

}  // namespace kalvora
