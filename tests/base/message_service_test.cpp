#include "base/message_service.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvora {
namespace {

struct CatalogCase {
    int code;
    bool question;
    const char* text;
};

class MessageCatalogTest : public ::testing::TestWithParam<CatalogCase> {};

TEST_P(MessageCatalogTest, code_showsItsExactTextAndOnlyAsItsKind) {
    RecordingMessageService service;
    const auto& entry = GetParam();

    if (entry.question) {
        EXPECT_EQ(service.AskQuestion(entry.code), Answer::Yes);
        ASSERT_EQ(service.shown.size(), 1U);
        EXPECT_EQ(service.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(NoticeText(entry.code), std::nullopt);
    } else {
        service.ShowNotice(entry.code);
        ASSERT_EQ(service.shown.size(), 1U);
        EXPECT_EQ(service.shown[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(QuestionText(entry.code), std::nullopt);
    }
    EXPECT_EQ(service.shown[0].text, entry.text);
    EXPECT_EQ(service.shown[0].title, " Programmhinweis ");
    EXPECT_EQ(service.shown[0].icon, MessageIcon::Warning);
}

INSTANTIATE_TEST_SUITE_P(
    MessageCodes, MessageCatalogTest,
    ::testing::Values(
        CatalogCase{2, true, " Ausgewählte Intensivberichte entfernen ?"},
        CatalogCase{3, true, " Änderungen speichern ?"},
        CatalogCase{7, true, " Bestehende Protokolldatei überschreiben ?"},
        CatalogCase{
            8, true,
            " Alle zu den ausgewählten Abteilungen im Kalvora vorhandenen Daten vor dem Import löschen? ?"},
        CatalogCase{1, false, " Ungültiger Dateiname!"},
        CatalogCase{17, false, " Wählen Sie mindestens ein Element aus!"},
        CatalogCase{18, false, " Es wurden noch keine Daten importiert!"},
        CatalogCase{21, false, " Nur einen Intensivbericht auswählen!"},
        CatalogCase{26, false, " Geben Sie mindestens einen Suchbegriff ein!"},
        CatalogCase{27, false, " Keinen entsprechenden Patienten gefunden!"},
        CatalogCase{28, false, " Entsprechenden Patienten gefunden, Suchergebnis markiert!"},
        CatalogCase{37, false, " Intensivberichte enthalten keine entlassenen TISS-Patienten!"}));

TEST(MessageServiceTest, ShowNotice_codeWithoutNoticeText_showsNothing) {
    RecordingMessageService service;

    for (int code : {notices::NoFileSelected, notices::TooManyFiles, notices::DriveNotReady,
                     notices::InvalidBirthDate, questions::SaveChanges}) {
        service.ShowNotice(code);
    }

    EXPECT_TRUE(service.shown.empty());
}

TEST(MessageServiceTest, AskQuestion_codeWithoutQuestionText_answersNoWithoutShowingOrTakingAnAnswer) {
    RecordingMessageService service;
    service.setNextAnswer(Answer::Yes);

    EXPECT_EQ(service.AskQuestion(notices::NoDataImported), Answer::No);
    EXPECT_EQ(service.AskQuestion(6), Answer::No);

    EXPECT_TRUE(service.shown.empty());
    EXPECT_EQ(service.answers.size(), 1U);
}

TEST(MessageServiceTest, AskQuestion_queuedAnswers_areUsedInOrderThenDefault) {
    RecordingMessageService service;
    service.defaultAnswer = Answer::No;
    service.setNextAnswer(Answer::Yes);
    service.setNextAnswer(Answer::No);
    service.setNextAnswer(Answer::Yes);

    EXPECT_EQ(service.AskQuestion(questions::OverwriteProtocol), Answer::Yes);
    EXPECT_EQ(service.AskQuestion(questions::OverwriteProtocol), Answer::No);
    EXPECT_EQ(service.AskQuestion(questions::SaveChanges), Answer::Yes);
    EXPECT_EQ(service.AskQuestion(questions::SaveChanges), Answer::No);
    EXPECT_EQ(service.shown.size(), 4U);
}

TEST(MessageServiceTest, AskQuestion_answerThatIsNotYes_countsAsNo) {
    RecordingMessageService service;
    service.setNextAnswer(Answer::Ok);

    EXPECT_EQ(service.AskQuestion(questions::RemoveReports), Answer::No);
}

TEST(MessageServiceTest, ShowErrorBox_showsTextWithErrorTitleAndIcon) {
    RecordingMessageService service;

    service.ShowErrorBox(messages::InvalidEntry);

    ASSERT_EQ(service.shown.size(), 1U);
    EXPECT_EQ(service.shown[0].text, "Die Eingabe ist ungültig!");
    EXPECT_EQ(service.shown[0].title, " Tavex - Error ");
    EXPECT_EQ(service.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(service.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(service.texts(), std::vector<std::string>{"Die Eingabe ist ungültig!"});
}

TEST(MessageServiceTest, MaximumDigits_numberKeepsItsLeadingBlank) {
    EXPECT_EQ(messages::MaximumDigits(6), "Maximal  6 Stellen zulässig!");
    EXPECT_EQ(messages::MaximumDigits(12), "Maximal  12 Stellen zulässig!");
}

}  // namespace
}  // namespace kalvora
