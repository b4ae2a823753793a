#include "base/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/ini_file.h"
#include "base/message_service.h"
#include "base/paths.h"
#include "base/text.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

// A program directory and a common directory side by side in a fresh temporary directory.
class SettingsFileTest : public ::testing::Test {
protected:
    std::string programDir() const { return temp.file("program"); }
    std::string commonDir() const { return temp.file("common"); }
    std::string programFile(const std::string& name = std::string(kDefaultSettingsFileName)) const {
        return JoinPath(programDir(), name);
    }
    std::string commonFile(const std::string& name = std::string(kDefaultSettingsFileName)) const {
        return JoinPath(commonDir(), name);
    }
    SettingsFile settingsFile(const std::string& name = std::string(kDefaultSettingsFileName)) {
        return SettingsFile(programDir(), commonDir(), name, &messages);
    }

    test::TempDir temp;
    RecordingMessageService messages;
};

TEST_F(SettingsFileTest, ReadSetting_fileInProgramDirectory_answersFromItAndKeepsProgramDirectory) {
    WriteFile(programFile(), "[Path]\nImportDataPath=/data/in\n");
    WriteFile(commonFile(), "[Path]\nImportDataPath=/common/in\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "/data/in");
    EXPECT_EQ(file.ProgramDirectory(), programDir());
    EXPECT_EQ(file.writeTarget(), programFile());
}

TEST_F(SettingsFileTest, ReadSetting_onlyCommonFile_answersFromItAndEmptiesProgramDirectory) {
    WriteFile(commonFile(), "[Path]\nImportDataPath=/common/in\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "/common/in");
    EXPECT_EQ(file.ProgramDirectory(), "");
    EXPECT_EQ(file.writeTarget(), commonFile());
}

TEST_F(SettingsFileTest, ReadSetting_keyMissingInProgramFile_readsThatKeyFromCommonFile) {
    WriteFile(programFile(), "[Einstufung]\nMindestStd=6\n");
    WriteFile(commonFile(), "[Einstufung]\nMindestStd=9\nErsatzTISS=J\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Einstufung", "ErsatzTISS"), "J");
    EXPECT_EQ(file.ProgramDirectory(), "");
    EXPECT_EQ(file.ReadSetting("Einstufung", "MindestStd"), "6");
    EXPECT_EQ(file.ProgramDirectory(), programDir());
}

TEST_F(SettingsFileTest, ReadSetting_emptyValueInProgramFile_countsAsMissing) {
    WriteFile(programFile(), "[Einstufung]\nMehrfachTISS=   \n");
    WriteFile(commonFile(), "[Einstufung]\nMehrfachTISS=N\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Einstufung", "MehrfachTISS"), "N");
    EXPECT_EQ(file.ProgramDirectory(), "");
}

TEST_F(SettingsFileTest, ReadSetting_keyNowhere_returnsUnknownWithoutMessage) {
    WriteFile(programFile(), "[Path]\nExportDataPath=/out\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "unknown");
    EXPECT_EQ(file.ReadSetting("Nirgends", "ExportDataPath"), "unknown");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFileTest, ReadSetting_valueOf300Characters_isCutTo254) {
    const std::string longValue(250, 'a');
    WriteFile(programFile(),
              "[Path]\nSystemDataPath=" + longValue + "bcdefghij" + std::string(41, 'z') + "\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "SystemDataPath"), longValue + "bcde");
}

TEST_F(SettingsFileTest, ReadSetting_namesInOtherCaseAndBlanksAroundValue_match) {
    WriteFile(programFile(), "[ path ]\r\n  importdatapath  =  /data/mit blank  \r\n");
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "/data/mit blank");
    EXPECT_EQ(file.ReadSetting("PATH", "IMPORTDATAPATH"), "/data/mit blank");
}

TEST_F(SettingsFileTest, ReadSetting_otherBareFileName_readsThatNameInBothPlaces) {
    WriteFile(programFile("other.ini"), "[Plausibilitaet]\nPlausLevel=Error\n");
    WriteFile(programFile(), "[Plausibilitaet]\nPlausLevel=Warning\n");
    auto file = settingsFile("other.ini");

    EXPECT_EQ(file.ReadSetting("Plausibilitaet", "PlausLevel"), "Error");
    EXPECT_TRUE(file.WriteSetting("Plausibilitaet", "PlausLevel", "Warning"));
    EXPECT_EQ(ReadFile(programFile("other.ini")), "[Plausibilitaet]\nPlausLevel=Warning\n");
}

TEST_F(SettingsFileTest, ReadSetting_pathAsFileName_readsAndWritesThatPathUnchanged) {
    const std::string elsewhere = temp.file("konf/kal.ini");
    WriteFile(elsewhere, "[Path]\nExportDataPath=/out\n");
    auto file = settingsFile(elsewhere);

    EXPECT_EQ(file.ReadSetting("Path", "ExportDataPath"), "/out");
    EXPECT_EQ(file.ProgramDirectory(), "");
    EXPECT_TRUE(file.WriteSetting("Path", "ExportDataPath", "/neu"));
    EXPECT_EQ(ReadFile(elsewhere), "[Path]\nExportDataPath=/neu\n");
    EXPECT_FALSE(fs::exists(commonFile("kal.ini")));
}

TEST_F(SettingsFileTest, ProgramDirectory_givenWithTrailingSeparator_losesIt) {
    WriteFile(programFile(), "[Path]\nImportDataPath=/in\n");
    SettingsFile file(programDir() + "/", commonDir(), std::string(kDefaultSettingsFileName), &messages);

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "/in");
    EXPECT_EQ(file.ProgramDirectory(), programDir());
}

TEST_F(SettingsFileTest, WriteSetting_afterReadFromProgramFile_writesProgramFileOnly) {
    WriteFile(programFile(), "[Einstufung]\nMindestStd=6\n");
    WriteFile(commonFile(), "[Einstufung]\nMindestStd=9\nErsatzTISS=J\n");
    auto file = settingsFile();

    file.ReadSetting("Einstufung", "MindestStd");
    EXPECT_TRUE(file.WriteSetting("Einstufung", "ErsatzTISS", "N"));

    EXPECT_EQ(ReadFile(programFile()), "[Einstufung]\nMindestStd=6\nErsatzTISS=N\n");
    EXPECT_EQ(ReadFile(commonFile()), "[Einstufung]\nMindestStd=9\nErsatzTISS=J\n");
}

TEST_F(SettingsFileTest, WriteSetting_afterReadFromCommonFile_writesCommonFileOnly) {
    WriteFile(programFile(), "[Einstufung]\nMindestStd=6\n");
    WriteFile(commonFile(), "[Einstufung]\nMindestStd=9\nErsatzTISS=J\n");
    auto file = settingsFile();

    file.ReadSetting("Einstufung", "ErsatzTISS");
    EXPECT_TRUE(file.WriteSetting("Einstufung", "MindestStd", "12"));

    EXPECT_EQ(ReadFile(programFile()), "[Einstufung]\nMindestStd=6\n");
    EXPECT_EQ(ReadFile(commonFile()), "[Einstufung]\nMindestStd=12\nErsatzTISS=J\n");
}

TEST_F(SettingsFileTest, WriteSetting_afterReadAnsweredNowhere_createsCommonFile) {
    auto file = settingsFile();

    EXPECT_EQ(file.ReadSetting("Path", "ImportDataPath"), "unknown");
    EXPECT_TRUE(file.WriteSetting("Path", "ImportDataPath", "/in"));

    EXPECT_FALSE(fs::exists(programFile()));
    EXPECT_EQ(ReadFile(commonFile()), "[Path]\nImportDataPath=/in\n");
    EXPECT_EQ(file.ReadSetting("path", "importdatapath"), "/in");
}

TEST_F(SettingsFileTest, WriteSetting_readOnlyFile_returnsFalseAndLeavesFileUnchanged) {
    const std::string original = "[Path]\nImportDataPath=/in\n";
    WriteFile(programFile(), original);
    fs::permissions(programFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto file = settingsFile();
    file.ReadSetting("Path", "ImportDataPath");

    EXPECT_FALSE(file.WriteSetting("Path", "ImportDataPath", "/anders"));

    EXPECT_EQ(ReadFile(programFile()), original);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFileTest, WriteSetting_missingDirectory_returnsFalseWithoutMessage) {
    const std::string nowhere = temp.file("fehlt/kal.ini");
    auto file = settingsFile(nowhere);
    file.ReadSetting("Path", "ImportDataPath");

    EXPECT_FALSE(file.WriteSetting("Path", "ImportDataPath", "/in"));

    EXPECT_FALSE(fs::exists(nowhere));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFileTest, WriteSetting_fileWithComments_keepsEveryOtherLine) {
    WriteFile(programFile(),
              "; Kalvora settings\r\n[Path]\r\nImportDataPath = /alt\r\n# note\r\n\r\n[Einstufung]\r\n"
              "Fremd=x\r\n");
    auto file = settingsFile();
    file.ReadSetting("Path", "ImportDataPath");

    ASSERT_TRUE(file.WriteSetting("PATH", "importdatapath", "/neu"));
    ASSERT_TRUE(file.WriteSetting("Path", "ExportDataPath", "/aus"));

    EXPECT_EQ(ReadFile(programFile()),
              "; Kalvora settings\r\n[Path]\r\nImportDataPath=/neu\r\n# note\r\nExportDataPath=/aus\r\n\r\n"
              "[Einstufung]\r\nFremd=x\r\n");
}

TEST(IniFileTest, SetValue_missingSection_appendsSectionAtEnd) {
    IniFile file;
    test::TempDir temp;
    const std::string path = temp.file("neu.ini");
    ASSERT_TRUE(file.load(path));
    EXPECT_FALSE(file.exists());

    file.setValue("Path", "ImportDataPath", "/in");
    file.setValue("Einstufung", "MindestStd", "6");
    file.setValue("Path", "ExportDataPath", "/out");
    ASSERT_TRUE(file.save(path));

    EXPECT_EQ(ReadFile(path),
              "[Path]\nImportDataPath=/in\nExportDataPath=/out\n[Einstufung]\nMindestStd=6\n");
    IniFile reread;
    ASSERT_TRUE(reread.load(path));
    EXPECT_TRUE(reread.exists());
    EXPECT_EQ(reread.value("einstufung", "MINDESTSTD"), "6");
}

TEST(IniFileTest, Value_keyOutsideItsSectionOrCommentedOut_isNotFound) {
    test::TempDir temp;
    const std::string path = temp.file("a.ini");
    WriteFile(path, "PlausLevel=Error\n[Plausibilitaet]\n;PlausLevel=Error\nOther=1\n[X]\nPlausLevel=Error");
    IniFile file;
    ASSERT_TRUE(file.load(path));

    EXPECT_EQ(file.value("Plausibilitaet", "PlausLevel"), std::nullopt);
    EXPECT_EQ(file.value("x", "plauslevel"), "Error");
    EXPECT_EQ(file.value("Plausibilitaet", "Other"), "1");
}

TEST(IniFileTest, SetValue_valueWithLineBreak_keepsOnlyFirstLine) {
    IniFile file;
    file.setValue("Path", "ImportDataPath", "/in\n[Böse]");

    EXPECT_EQ(file.value("Path", "ImportDataPath"), "/in");
    EXPECT_EQ(file.lines().size(), 2U);
}

TEST(IniFileTest, Load_directory_fails) {
    test::TempDir temp;
    IniFile file;

    EXPECT_FALSE(file.load(temp.path().string()));
    EXPECT_FALSE(file.save(temp.path().string()));
}

struct CommandLineCase {
    const char* commandLine;
    std::optional<std::string> fileName;
};

class SettingsFileNameFromCommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(SettingsFileNameFromCommandLineTest, commandLine_givesFileNameOnlyForLeadingLowerCaseOption) {
    EXPECT_EQ(SettingsFileNameFromCommandLine(GetParam().commandLine), GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsForms, SettingsFileNameFromCommandLineTest,
    ::testing::Values(
        CommandLineCase{"", std::nullopt}, CommandLineCase{"   ", std::nullopt},
        CommandLineCase{"/i:other.ini", "other.ini"}, CommandLineCase{"  /i:  other.ini  ", "other.ini"},
        CommandLineCase{"/I:other.ini", std::nullopt}, CommandLineCase{"x /i:other.ini", std::nullopt},
        CommandLineCase{"/i other.ini", std::nullopt},
        CommandLineCase{"/i:D:\\Konf\\kal.ini", "D:\\Konf\\kal.ini"},
        CommandLineCase{"/i:/etc/mit blank/kal.ini", "/etc/mit blank/kal.ini"}, CommandLineCase{"/i:", ""}));

struct FixedWidthCase {
    const char* text;
    int width;
    const char* expected;
};

class FixedWidthTest : public ::testing::TestWithParam<FixedWidthCase> {};

TEST_P(FixedWidthTest, text_isCutOrPaddedToWidth) {
    EXPECT_EQ(FixedWidth(GetParam().text, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsWidths, FixedWidthTest,
    ::testing::Values(FixedWidthCase{"unknown", 8, "unknown "}, FixedWidthCase{"unknown", 2, "un"},
                      FixedWidthCase{"unknown", 1, "u"}, FixedWidthCase{"Error", 7, "Error  "},
                      FixedWidthCase{"Warning", 7, "Warning"}, FixedWidthCase{"", 2, "  "},
                      FixedWidthCase{"Ärger", 3, "Ärg"}, FixedWidthCase{"Öl", 3, "Öl "}));

TEST_F(SettingsFileTest, LoadSettings_noFileAnywhere_givesUnknownInEveryWidth) {
    auto file = settingsFile();

    const Settings settings = LoadSettings(file);

    EXPECT_EQ(settings.ImportDataPath, "unknown");
    EXPECT_EQ(settings.ExportDataPath, "unknown");
    EXPECT_EQ(settings.SystemDataPath, "unknown");
    EXPECT_EQ(settings.PlausLevel, "unknown");
    EXPECT_EQ(settings.Erhebungvon, "unknown ");
    EXPECT_EQ(settings.Erhebungbis, "unknown ");
    EXPECT_EQ(settings.MindestStd, "un");
    EXPECT_EQ(settings.MehrfachTISS, "u");
    EXPECT_EQ(settings.ErsatzTISS, "u");
    EXPECT_FALSE(settings.plausLevelIsError());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFileTest, LoadSettings_fullFile_fillsEveryMemberInItsWidth) {
    WriteFile(programFile(),
              "[Path]\nImportDataPath=/in/\nExportDataPath=C:\\\nSystemDataPath=D:\\Daten\\\n"
              "[Plausibilitaet]\nPlausLevel=Error\n"
              "[Einstufung]\nErhebungvon=20250101\nErhebungbis=2025123199\nMindestStd=6\nMehrfachTISS=Ja\n"
              "ErsatzTISS=N\n");
    auto file = settingsFile();

    const Settings settings = LoadSettings(file);

    EXPECT_EQ(settings.ImportDataPath, "/in");
    EXPECT_EQ(settings.ExportDataPath, "C:");
    EXPECT_EQ(settings.SystemDataPath, "D:\\Daten");
    EXPECT_EQ(settings.PlausLevel, "Error  ");
    EXPECT_TRUE(settings.plausLevelIsError());
    EXPECT_EQ(settings.Erhebungvon, "20250101");
    EXPECT_EQ(settings.Erhebungbis, "20251231");
    EXPECT_EQ(settings.MindestStd, "6 ");
    EXPECT_EQ(settings.MehrfachTISS, "J");
    EXPECT_EQ(settings.ErsatzTISS, "N");
}

struct PathCase {
    const char* stored;
    const char* loaded;
};

class TrailingSeparatorTest : public SettingsFileTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(TrailingSeparatorTest, LoadSettings_path_losesOneTrailingSeparator) {
    WriteFile(programFile(), std::string("[Path]\nSystemDataPath=") + GetParam().stored + "\n");
    auto file = settingsFile();

    EXPECT_EQ(LoadSettings(file).SystemDataPath, GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(SettingsPaths, TrailingSeparatorTest,
                         ::testing::Values(PathCase{"C:\\", "C:"}, PathCase{"D:\\Daten\\", "D:\\Daten"},
                                           PathCase{"D:\\Daten", "D:\\Daten"},
                                           PathCase{"/var/kalvora/", "/var/kalvora"},
                                           PathCase{"/var/kalvora//", "/var/kalvora/"},
                                           PathCase{"/var/kalvora/  ", "/var/kalvora"},
                                           PathCase{"", "unknown"}));

TEST(SettingsTest, PlausLevelIsError_onlyForExactErrorAfterTrimming) {
    const auto isError = [](const char* level) {
        Settings settings;
        settings.PlausLevel = level;
        return settings.plausLevelIsError();
    };
    EXPECT_TRUE(isError("Error  "));
    EXPECT_TRUE(isError(" Error "));
    EXPECT_FALSE(isError("error  "));
    EXPECT_FALSE(isError("ERROR  "));
    EXPECT_FALSE(isError("Warning"));
    EXPECT_FALSE(isError("unknown"));
}

// Sets an environment variable (or removes it for nullptr) until the end of the scope.
struct ScopedEnvironment {
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) saved = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { saved ? setenv(name, saved->c_str(), 1) : unsetenv(name); }
    const char* name;
    std::optional<std::string> saved;
};

TEST(SettingsTest, CommonSettingsDirectory_followsXdgConfigHomeElseHome) {
    ScopedEnvironment home("HOME", "/home/pflege");
    {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", "/tmp/xdg");
        EXPECT_EQ(CommonSettingsDirectory(), "/tmp/xdg/kalvora");
    }
    {
        ScopedEnvironment xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(CommonSettingsDirectory(), "/home/pflege/.config/kalvora");
    }
}

TEST(SettingsTest, ExecutableDirectory_isTheTestProgramsDirectory) {
    const fs::path directory = ExecutableDirectory();

    EXPECT_TRUE(fs::exists(directory / "base_tests"));
}

}  // namespace
}  // namespace kalvora
