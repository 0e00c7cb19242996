#include "safe_file.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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
        // In memory where the system offers it: a batch of thousands of
        // files syncs each of them to the disk.
        std::error_code error;
        const fs::path memory = "/dev/shm";
        const fs::path base = fs::is_directory(memory, error) && ::access("/dev/shm", W_OK) == 0
                                  ? memory
                                  : fs::temp_directory_path();
        folder = base / ("torvelink-safe-file-" + std::to_string(::getpid()) + "-" +
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

// SIGTERM from another process while three thousand frame files are put in
// place, sent as soon as the first is: the files are all old or all new,
// none of the temporary or kept old files is left, and the process ends by
// the signal. It may come to the thread that puts them in place, or to
// another one (a compressing thread, say; here one that waits).
TEST_F(Folder, ASignalWhileABatchIsPutInPlaceLeavesItWhole) {
    constexpr int kFiles = 3000;
    for (int k = 0; k < kFiles; ++k) put(std::to_string(k) + ".png", "old");
    const auto interrupted = [this] {
        RemoveTemporaryFilesOnInterrupt();
        int never[2];
        if (::pipe(never) != 0) std::_Exit(2);
        std::thread([&never] {
            char byte;
            [[maybe_unused]] const auto n = ::read(never[0], &byte, 1);
        }).detach();
        FileBatch batch;
        for (int k = 0; k < kFiles; ++k)
            if (!writeText(batch.add(path(std::to_string(k) + ".png")), "new")) std::_Exit(3);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        if (watch < 0 || ::inotify_add_watch(watch, folder.c_str(), IN_MOVED_TO) < 0) std::_Exit(4);
        const pid_t self = ::getpid();
        const pid_t sender = ::fork();
        if (sender == 0) {
            char event[4096];
            if (::read(watch, event, sizeof event) > 0) ::kill(self, SIGTERM);
            std::_Exit(0);
        }
        batch.commit();
        // Whole before the signal came: it ends the process now.
        for (;;) ::pause();
    };
    EXPECT_EXIT(interrupted(), ::testing::KilledBySignal(SIGTERM), "");
    int fresh = 0;
    for (int k = 0; k < kFiles; ++k) fresh += read(std::to_string(k) + ".png") == "new";
    EXPECT_TRUE(fresh == 0 || fresh == kFiles) << fresh << " of " << kFiles << " new";
    EXPECT_EQ(names().size(), static_cast<std::size_t>(kFiles)) << "nothing hidden is left";
}

// A writer killed where no handler runs leaves its temporary files; the
// next file opened in that folder removes them, but not those of a writer
// still at work, nor the user's own hidden files.
TEST_F(Folder, WhatAKilledWriterLeftTheNextRemoves) {
    put(".notizen.tmp", "the user's");
    int going[2], done[2];
    ASSERT_EQ(::pipe(going), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t busy = ::fork();
    if (busy == 0) {
        SafeFile file(path("busy.png"));
        char go = 0;
        if (!writeText(file, "partial") || ::write(going[1], "1", 1) != 1 ||
            ::read(done[0], &go, 1) != 1)
            std::_Exit(3);
        std::_Exit(0);
    }
    char started = 0;
    ASSERT_EQ(::read(going[0], &started, 1), 1);
    const pid_t killed = ::fork();
    if (killed == 0) {
        for (int k = 0; k < 50; ++k)
            writeText(*new SafeFile(path(std::to_string(k) + ".png")), "x");
        std::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFSIGNALED(status));
    // Named almost as the killed writer would name one.
    const std::string almost = ".k.png." + std::to_string(killed) + "-0000000g.tmp";
    put(almost, "the user's too");
    EXPECT_EQ(names().size(), 2u + 1u + 50u);

    SafeFile next(path("next.png"));
    ASSERT_TRUE(writeText(next, "new"));
    const auto left = names();
    EXPECT_EQ(left.size(), 2u + 1u + 1u);
    EXPECT_EQ(std::count_if(left.begin(), left.end(),
                            [](const std::string& name) { return name.starts_with(".busy.png."); }),
              1);
    EXPECT_EQ(std::count(left.begin(), left.end(), almost), 1);
    ASSERT_EQ(::write(done[1], "1", 1), 1);
    ASSERT_EQ(::waitpid(busy, &status, 0), busy);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
