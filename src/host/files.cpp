// files.cpp: data paths, file opening, whole-file loads and the state file.
//
// Owns BBGame's file operations (OpenFile, LoadData, LoadString, SaveState,
// LoadState), BBGlfwGame::PathToFilePath and bb_data_FixDataPath. The state
// file is replaced atomically: the new record goes to a temporary file in the
// same folder, is flushed to disk, and is renamed over the old one, so a crash,
// a kill or a full disk never leaves a truncated or empty state file.
#include "host/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "host/host.h"

namespace {

constexpr size_t kReadChunk = 4096;  // bytes per read of a whole-file load
constexpr char16_t kDataPrefix[] = u"tarvik://data/";
constexpr char16_t kInternalPrefix[] = u"tarvik://internal/";
constexpr char16_t kExternalPrefix[] = u"tarvik://external/";

bool StartsWith(const String& text, std::u16string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

ssize_t SystemWrite(int fd, const void* data, size_t length) {
    return ::write(fd, data, length);
}

const StateFileOps kSystemOps{SystemWrite, ::fsync, ::close, ::rename};
StateFileOps g_stateOps = kSystemOps;

// The folder holding the running executable, with "/" separators and no
// trailing slash.
String ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return u".";
    String path = bbStringFromUtf8(std::string_view(buffer, static_cast<size_t>(n)));
    for (char16_t& c : path)
        if (c == u'\\') c = u'/';
    const size_t slash = path.rfind(u'/');
    return slash == String::npos ? String() : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = g_stateOps.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable; failure here cannot lose either record.
void SyncWorkingFolder() {
    const int fd = ::open(".", O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

const StateFileOps& bbStateFileOps() {
    return g_stateOps;
}
void bbSetStateFileOps(const StateFileOps& ops) {
    g_stateOps = ops;
}
void bbResetStateFileOps() {
    g_stateOps = kSystemOps;
}

String bb_data_FixDataPath(const String& path) {
    const size_t scheme = path.find(u":/");
    if (scheme != String::npos && path.find(u'/') == scheme + 1) return path;
    if (StartsWith(path, u"./") || StartsWith(path, u"/")) return path;
    return kDataPrefix + path;
}

String BBGlfwGame::PathToFilePath(const String& path) {
    if (appPath.empty()) appPath = ExecutableFolder();
    if (!StartsWith(path, u"tarvik:")) return path;
    if (StartsWith(path, kDataPrefix))
        return appPath + u"/data/" + path.substr(std::size(kDataPrefix) - 1);
    if (StartsWith(path, kInternalPrefix)) {
        if (internalPath.empty()) internalPath = appPath + u"/internal";
        return internalPath + u"/" + path.substr(std::size(kInternalPrefix) - 1);
    }
    if (StartsWith(path, kExternalPrefix))
        return appPath + u"/external/" + path.substr(std::size(kExternalPrefix) - 1);
    return String();
}

FILE* BBGame::OpenFile(const String& path, const String& mode) {
    const String file = PathToFilePath(path);
    if (file.empty()) return nullptr;
    return std::fopen(bbStringToUtf8(file).c_str(), bbStringToUtf8(mode).c_str());
}

bool BBGame::LoadData(const String& path, std::vector<uint8_t>& data) {
    FILE* file = OpenFile(path, u"rb");
    if (!file) return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[kReadChunk];
    for (;;) {
        const size_t n = std::fread(chunk, 1, kReadChunk, file);
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < kReadChunk) break;
    }
    std::fclose(file);
    data = std::move(bytes);
    return true;
}

String BBGame::LoadString(const String& path) {
    std::vector<uint8_t> bytes;
    if (!LoadData(path, bytes)) return String();
    return bbDecodeText(bytes.data(), bytes.size());
}

String BBGame::LoadState() {
    FILE* file = std::fopen(kStateFileName, "rb");
    if (!file) return String();
    std::vector<uint8_t> bytes;
    uint8_t chunk[kReadChunk];
    size_t n;
    while ((n = std::fread(chunk, 1, kReadChunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bbDecodeText(bytes.data(), bytes.size());
}

int BBGame::SaveState(const String& text) {
    const std::string temp = std::string(kStateFileName) + ".new" + std::to_string(getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    const bool written = WriteAll(fd, bbStringToUtf8(text));
    const bool synced = written && g_stateOps.fsync(fd) == 0;
    // Close even after a failure; on a full disk the error may appear only here.
    const bool closed = g_stateOps.close(fd) == 0;
    if (!written || !synced || !closed || g_stateOps.rename(temp.c_str(), kStateFileName) != 0) {
        ::unlink(temp.c_str());
        return -2;
    }
    SyncWorkingFolder();
    return 0;
}
