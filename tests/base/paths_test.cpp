// Separators at the end of a path: the settings lose one (as the settings file is read), the
// command line's directory options all of them, but never a root alone.

#include "base/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace kalvora {
namespace {

TEST(Paths, trailingSeparators) {
    struct Case {
        std::string path, withoutOne, withoutAll;
    };
    const Case cases[] = {
        {"/srv/kalvora/", "/srv/kalvora", "/srv/kalvora"},
        {"/srv/kalvora//", "/srv/kalvora/", "/srv/kalvora"},
        {"C:\\Daten\\", "C:\\Daten", "C:\\Daten"},
        {"/srv/kalvora", "/srv/kalvora", "/srv/kalvora"},
        {"/", "", "/"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(WithoutOneTrailingSeparator(c.path), c.withoutOne);
        EXPECT_EQ(WithoutTrailingSeparators(c.path), c.withoutAll);
    }
    EXPECT_EQ(JoinPath("/srv", "iadmin.mdb"), "/srv/iadmin.mdb");
}

// The shipped data are found from where the executable lies: an installation's bin/../share/kalvora,
// the build tree's share/kalvora one or two folders above the programs and tests, nothing else.
TEST(Paths, sharedDataDirectory_isFoundFromTheExecutable) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    const fs::path root = dir.path();
    for (const char* folder :
         {"usr/bin", "usr/share/kalvora", "build/src", "build/tests/ui", "build/share/kalvora", "deep/a/b/c",
          "deep/share/kalvora", "lone/bin", "file/bin", "file/share"})
        fs::create_directories(root / folder);
    test::WriteFile((root / "file/share/kalvora").string(), "not a folder");

    struct Case {
        std::string executableDirectory;
        std::string expected;  // relative to the root, empty for none
    };
    const Case cases[] = {
        {"usr/bin", "usr/share/kalvora"},
        {"build/src", "build/share/kalvora"},
        {"build/tests/ui", "build/share/kalvora"},
        {"build", ""},
        {"deep/a/b/c", ""},
        {"lone/bin", ""},
        {"file/bin", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.executableDirectory);
        const std::string expected = c.expected.empty() ? "" : (root / c.expected).string();
        EXPECT_EQ(SharedDataDirectoryFor((root / c.executableDirectory).string()), expected);
    }
}

}  // namespace
}  // namespace kalvora
