#include "commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace Platform;

namespace {

// The name's last dot counts, wherever it stands: a name that is all
// ending loses all of it, and one ending in a dot keeps it.
TEST(StripExtension, OnlyTheLastDotCounts) {
    EXPECT_EQ(StripExtension("a.b.bmp"), "a.b");
    EXPECT_EQ(StripExtension(".gif"), "");
    EXPECT_EQ(StripExtension("name."), "name.");
    EXPECT_EQ(StripExtension("dir.v2/knob"), "dir");
}

TEST(FileExists, OnlyReadableFiles) {
    const auto dir = std::filesystem::temp_directory_path() / "torvelink_fileexists";
    std::filesystem::create_directories(dir);
    const auto file = dir / "knob.bmp";
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file.string()));
    EXPECT_FALSE(FileExists(dir.string())) << "a folder is not a file";
    EXPECT_FALSE(FileExists((dir / "missing.bmp").string()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bmp")) << "never created";
    std::filesystem::remove_all(dir);
}

TEST(CenterFormPlace, CentresInTheUpper85Percent) {
    const auto place = CenterFormPlace(19200, 14400, 8000, 7000);
    EXPECT_EQ(place.Top, 2620);
    EXPECT_EQ(place.Left, 5600);
    const auto tall = CenterFormPlace(19200, 14400, 8000, 13000);
    EXPECT_EQ(tall.Top, 0) << "taller than 85 percent of the screen";
    const auto wide = CenterFormPlace(6000, 4500, 6570, 5610);
    EXPECT_EQ(wide.Left, 0);
    EXPECT_EQ(wide.Top, 0);
}

}  // namespace
