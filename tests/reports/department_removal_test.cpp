#include "reports/department_removal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/message_service.h"
#include "base/status_sink.h"
#include "reports/department_line.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using test::SystemFixture;

class RemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"12101001.001", "12101002.001", "12101003.001", "12101004.001"})
            system.addDepartment("K001", std::string(name).substr(0, 8), name);
        departments = LoadDepartments(system.systemPath()).value();
    }
    std::vector<std::string> remainingNames() {
        std::vector<std::string> names;
        for (const Department& department : LoadDepartments(system.systemPath()).value())
            names.push_back(department.fileName());
        return names;
    }

    SystemFixture system;
    std::vector<Department> departments;
    NullStatusSink status;
};

TEST_F(RemovalTest, nonAdjacentDepartments_removesExactlyThoseIncludingOneWithoutFile) {
    fs::remove(system.file("system/12101003.001"));

    RemovalResult result = RemoveDepartments({departments[0], departments[2]}, system.systemPath(), status);

    ASSERT_EQ(result.failure, "");
    ASSERT_EQ(result.departments.size(), 2U);
    EXPECT_EQ(result.departments[0].outcome, RemovalOutcome::Removed);
    EXPECT_EQ(result.departments[1].outcome, RemovalOutcome::RemovedWithoutFile);
    EXPECT_NE(RemovalMessage(result.departments[1]).find("12101003.001"), std::string::npos);
    EXPECT_EQ(remainingNames(), (std::vector<std::string>{"12101002.001", "12101004.001"}));
    EXPECT_FALSE(fs::exists(system.file("system/12101001.001")));
    EXPECT_TRUE(fs::exists(system.file("system/12101002.001")));
    EXPECT_TRUE(fs::exists(system.file("system/12101004.001")));
    EXPECT_TRUE(fs::exists(system.file("system/ibds.mdb")));
}

TEST_F(RemovalTest, fileThatCannotBeDeleted_keepsItsRowAndOthersGoOn) {
    // A directory with content in place of the file: it cannot be deleted as a file.
    fs::remove(system.file("system/12101002.001"));
    test::WriteFile(system.file("system/12101002.001/inhalt"), "x");

    RemovalResult result = RemoveDepartments({departments[1], departments[3]}, system.systemPath(), status);

    ASSERT_EQ(result.departments.size(), 2U);
    EXPECT_EQ(result.departments[0].outcome, RemovalOutcome::FileNotDeleted);
    EXPECT_FALSE(LeavesDepartmentList(result.departments[0].outcome));
    EXPECT_EQ(RemovalMessage(result.departments[0]),
              "Die Abteilungsdatenbank 12101002.001 kann nicht gelöscht werden; die Abteilung wurde nicht "
              "entfernt!");
    EXPECT_EQ(result.departments[1].outcome, RemovalOutcome::Removed);
    EXPECT_EQ(remainingNames(), (std::vector<std::string>{"12101001.001", "12101002.001", "12101003.001"}));
}

TEST_F(RemovalTest, allDepartments_leaveEmptyAdministrationTable) {
    RemovalResult result = RemoveDepartments(departments, system.systemPath(), status);
    EXPECT_EQ(result.departments.size(), 4U);
    EXPECT_TRUE(remainingNames().empty());
    for (const char* name : {"12101001.001", "12101002.001", "12101003.001", "12101004.001"})
        EXPECT_FALSE(fs::exists(system.file(std::string("system/") + name)));
}

TEST_F(RemovalTest, confirm_noSelectionShowsNoticeAndNoAnswerKeepsAll) {
    RecordingMessageService messages;
    EXPECT_TRUE(ConfirmAndRemoveDepartments({}, system.systemPath(), messages, status).departments.empty());
    ASSERT_EQ(messages.texts().size(), 1U);
    EXPECT_EQ(messages.texts()[0], " Wählen Sie mindestens ein Element aus!");

    messages.setNextAnswer(Answer::No);
    EXPECT_TRUE(ConfirmAndRemoveDepartments({departments[0]}, system.systemPath(), messages, status)
                    .departments.empty());
    EXPECT_EQ(messages.texts()[1], " Ausgewählte Intensivberichte entfernen ?");
    EXPECT_EQ(remainingNames().size(), 4U);
}

}  // namespace
}  // namespace kalvora
