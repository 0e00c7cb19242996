#include "safe_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace Messages;
using namespace Platform;

namespace {

namespace fs = std::filesystem;

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("torvelink-safe-file-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    QString path(const std::string& name) const {
        return QString::fromStdString((folder / name).string());
    }
    std::string read(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void put(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(folder))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    fs::path folder;
};

bool writeText(SafeFile& file, const std::string& text) {
    return file.open() && file.write(text.data(), text.size());
}

TEST_F(Folder, BatchPutsAllFilesInPlaceOrNone) {
    put("a.png", "old strip");
    put("a.json", "old manifest");
    // All written: all in place.
    {
        FileBatch batch;
        ASSERT_TRUE(writeText(batch.add(path("a.json")), "new manifest"));
        ASSERT_TRUE(writeText(batch.add(path("a.png")), "new strip"));
        ASSERT_TRUE(batch.commit());
    }
    EXPECT_EQ(read("a.png"), "new strip");
    EXPECT_EQ(read("a.json"), "new manifest");
    // The second file cannot be put in place (a folder took its name while
    // it was written): the first gets its old contents back, a new third one
    // that came before goes again.
    {
        FileBatch batch;
        ASSERT_TRUE(writeText(batch.add(path("new.txt")), "side file"));
        ASSERT_TRUE(writeText(batch.add(path("a.json")), "newer manifest"));
        ASSERT_TRUE(writeText(batch.add(path("b.png")), "newer strip"));
        fs::create_directory(folder / "b.png");
        fs::create_directory(folder / "b.png" / "inside");
        EXPECT_FALSE(batch.commit());
        ASSERT_NE(batch.failed(), nullptr);
        EXPECT_EQ(batch.failed()->target(), path("b.png"));
    }
    EXPECT_EQ(read("a.json"), "new manifest");
    EXPECT_EQ(read("a.png"), "new strip");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.json", "a.png", "b.png"}))
        << "no temporary file, no kept old file, and the new side file gone";
}

// Many temporary files at once, opened from several threads: an interrupt
// removes every one of them, and the process ends by the signal.
TEST_F(Folder, InterruptRemovesTheTemporaryFilesOfEveryThread) {
    const auto writeMany = [this] {
        RemoveTemporaryFilesOnInterrupt();
        std::vector<std::unique_ptr<SafeFile>> files(400);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int k = t; k < 400; k += 4) {
                    files[k] = std::make_unique<SafeFile>(path(std::to_string(k) + ".png"));
                    if (!writeText(*files[k], "partial")) std::_Exit(3);
                    // Every other file is done with: its name is taken again.
                    if (k % 2 == 0) files[k]->discard();
                }
            });
        for (auto& thread : threads) thread.join();
        if (names().size() != 200) std::_Exit(4);
        std::raise(SIGTERM);
        std::_Exit(5);
    };
    EXPECT_EXIT(writeMany(), ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(names(), std::vector<std::string>{});
}

}  // namespace
