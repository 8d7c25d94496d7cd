// Data paths, whole-file loads and the atomically replaced state file.
#include "host/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/host.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Names in the working folder other than the state file.
std::string OtherFiles() {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename() != ".tarvikstate")
            names += entry.path().filename().string() + " ";
    return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs each test in a fresh, empty working folder.
class FilesTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvane-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }
    void TearDown() override {
        bbResetStateFileOps();
        ASSERT_EQ(chdir(previous_), 0);
        std::system(("rm -rf " + folder_).c_str());
    }
    std::string folder_;
    char previous_[4096] = {};
    BBGlfwGame host_;
};

TEST(DataPath, NamesBecomeDataPathsUnlessTheyCarryARoot) {
    struct Case {
        String name, path;
    };
    const Case cases[] = {
        {u"512/gfx.png", u"tarvik://data/512/gfx.png"},
        {u"./x.png", u"./x.png"},
        {u"/x.png", u"/x.png"},
        {u"tarvik://data/x.png", u"tarvik://data/x.png"},
        {u"C:/x.png", u"C:/x.png"},
        // The first "/" does not directly follow the ":".
        {u"a/b:/c", u"tarvik://data/a/b:/c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bb_data_FixDataPath(c.name), c.path) << bbStringToUtf8(c.name);
}

TEST_F(FilesTest, TarvikPathsMapNextToTheExecutable) {
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string folder(exe, static_cast<size_t>(n));
    folder = folder.substr(0, folder.rfind('/'));
    const String app = bbStringFromUtf8(folder);

    EXPECT_EQ(host_.PathToFilePath(u"tarvik://data/512/gfx.png"), app + u"/data/512/gfx.png");
    EXPECT_EQ(host_.PathToFilePath(u"tarvik://internal/a.txt"), app + u"/internal/a.txt");
    EXPECT_EQ(host_.PathToFilePath(u"tarvik://external/b"), app + u"/external/b");
    EXPECT_EQ(host_.PathToFilePath(u"tarvik://other/x"), u"");
    EXPECT_EQ(host_.PathToFilePath(u"./.tarvikstate"), u"./.tarvikstate");
    EXPECT_EQ(host_.OpenFile(u"tarvik://other/x", u"rb"), nullptr);
}

TEST_F(FilesTest, LoadDataReadsWholeFilesAcrossChunkBoundaries) {
    for (size_t size : {0u, 1u, 4095u, 4096u, 4097u, 8192u, 10000u}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        WriteFile("blob", bytes);
        std::vector<uint8_t> data{1, 2, 3};
        ASSERT_TRUE(host_.LoadData(u"./blob", data)) << size;
        EXPECT_EQ(std::string(data.begin(), data.end()), bytes) << size;
    }
}

TEST_F(FilesTest, MissingFilesGiveNothing) {
    std::vector<uint8_t> data{9};
    EXPECT_FALSE(host_.LoadData(u"./missing", data));
    EXPECT_EQ(data, std::vector<uint8_t>{9});
    EXPECT_EQ(host_.LoadString(u"./missing"), u"");
    EXPECT_EQ(host_.LoadState(), u"");
}

TEST_F(FilesTest, LoadStringDecodesMarksAndFallsBackToBytes) {
    WriteFile("latin", "caf\xE9");
    EXPECT_EQ(host_.LoadString(u"./latin"), u"caf\u00e9");
    WriteFile("utf16", std::string("\xFF\xFE\x41\x00", 4));
    EXPECT_EQ(host_.LoadString(u"./utf16"), u"A");
}

TEST_F(FilesTest, StateRoundTripsAsUtf8OfEachUnit) {
    const String record = u"ZOLT_v2.0|Jos\u00e9|\U0001F600|";
    ASSERT_EQ(host_.SaveState(record), 0);
    EXPECT_EQ(ReadFile(".tarvikstate"), bbStringToUtf8(record));
    EXPECT_EQ(ReadFile(".tarvikstate").substr(13, 2), "\xC3\xA9");
    EXPECT_EQ(host_.LoadState(), record);

    ASSERT_EQ(host_.SaveState(u""), 0);
    EXPECT_EQ(ReadFile(".tarvikstate"), "");
}

TEST_F(FilesTest, LatinOneStateFileLoadsOneCharacterPerByte) {
    WriteFile(".tarvikstate", "ZOLT\xE9\xFF");
    EXPECT_EQ(host_.LoadState(), u"ZOLT\u00e9\u00ff");
}

// Each failing step of a save: the old record must stay byte for byte.
TEST_F(FilesTest, FailedSaveKeepsTheOldRecordAndLeavesNoTemporaryFile) {
    struct Case {
        const char* name;
        StateFileOps ops;
    };
    const StateFileOps system = bbStateFileOps();
    StateFileOps shortWrite = system;
    shortWrite.write = [](int, const void*, size_t length) -> ssize_t {
        return length > 1 ? 1 : 0;  // one byte, then a full disk
    };
    StateFileOps failedWrite = system;
    failedWrite.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    StateFileOps failedSync = system;
    failedSync.fsync = [](int) { return -1; };
    StateFileOps failedClose = system;
    failedClose.close = [](int fd) {
        ::close(fd);
        errno = EDQUOT;
        return -1;
    };
    StateFileOps failedRename = system;
    failedRename.rename = [](const char*, const char*) { return -1; };
    const Case cases[] = {{"short write", shortWrite},
                          {"write error", failedWrite},
                          {"fsync error", failedSync},
                          {"close error", failedClose},
                          {"rename error", failedRename}};

    const std::string old = "ZOLT_v2.0|old record|";
    for (const Case& c : cases) {
        WriteFile(".tarvikstate", old);
        bbSetStateFileOps(c.ops);
        EXPECT_EQ(host_.SaveState(u"ZOLT_v2.0|a new and longer record|"), -2) << c.name;
        bbResetStateFileOps();
        EXPECT_EQ(ReadFile(".tarvikstate"), old) << c.name;
        EXPECT_EQ(OtherFiles(), "") << c.name;
    }
}

TEST_F(FilesTest, SaveIntoAnUnwritableFolderFailsWithoutWriting) {
    ASSERT_EQ(chdir("/proc"), 0);  // nothing can be created here
    EXPECT_EQ(host_.SaveState(u"x"), -1);
    ASSERT_EQ(chdir(folder_.c_str()), 0);
}

TEST(Date, FillsAtMostSevenEntries) {
    BBGame host;
    int32_t three[3] = {-1, -1, -1};
    host.GetDate(three, 3);
    EXPECT_GE(three[0], 2024);
    EXPECT_GE(three[1], 1);
    EXPECT_LE(three[1], 12);
    EXPECT_GE(three[2], 1);
    EXPECT_LE(three[2], 31);

    int32_t ten[10];
    for (int32_t& v : ten) v = -7;
    host.GetDate(ten, 10);
    EXPECT_EQ(ten[6], 0);  // milliseconds are always 0
    EXPECT_LE(ten[3], 23);
    EXPECT_EQ(ten[7], -7);
    EXPECT_EQ(ten[9], -7);

    int32_t none[1] = {-5};
    host.GetDate(none, 0);
    EXPECT_EQ(none[0], -5);
}

}  // namespace
