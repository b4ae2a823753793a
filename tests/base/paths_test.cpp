// Separators at the end of a path: the settings lose one (as the settings file is read), the
// command line's directory options all of them, but never a root alone.

#include "base/paths.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace kalvora
