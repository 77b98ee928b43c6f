#include "platform/files/drives.h"

#include <array>
#include <cstdlib>
#include <mutex>

#include "platform/kernel/cp1252.h"
#include "platform/files/win_names.h"

namespace platform {
namespace {

struct DriveMap {
    std::mutex lock;
    bool loaded = false;
    std::array<std::string, 26> roots;
};

DriveMap& GetDriveMap() {
    static DriveMap* map = new DriveMap; // used by handles closed during static destruction
    return *map;
}

int DriveIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

std::string NormalizedRoot(const std::string& root) {
    std::string normalized = root;
    while (normalized.size() > 1 && normalized.back() == '/')
        normalized.pop_back();
    return normalized;
}

void LoadDefaults(DriveMap& map) {
    map.roots.fill(std::string());
    map.roots[2] = '/';
    const char* configured = std::getenv("ZORV_DRIVES");
    std::string text = configured ? configured : "";
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        std::string entry = text.substr(start, end - start);
        int index = entry.size() >= 3 ? DriveIndex(entry[0]) : -1;
        if (index >= 0 && entry[1] == '=' && entry[2] == '/') {
            map.roots[index] = NormalizedRoot(entry.substr(2));
        }
        start = end + 1;
    }
    map.loaded = true;
}

void EnsureLoaded(DriveMap& map) {
    if (!map.loaded) LoadDefaults(map);
}

} // namespace

void SetDriveRoot(char letter, const std::string& root) {
    int index = DriveIndex(letter);
    if (index < 0) return;
    DriveMap& map = GetDriveMap();
    std::lock_guard guard(map.lock);
    EnsureLoaded(map);
    map.roots[index] = root.empty() ? std::string() : NormalizedRoot(root);
}

std::string GetDriveRoot(char letter) {
    int index = DriveIndex(letter);
    if (index < 0) return std::string();
    DriveMap& map = GetDriveMap();
    std::lock_guard guard(map.lock);
    EnsureLoaded(map);
    return map.roots[index];
}

void ResetDriveRoots() {
    DriveMap& map = GetDriveMap();
    std::lock_guard guard(map.lock);
    LoadDefaults(map);
}

bool LinuxToWindowsPath(const std::string& linuxPath, std::string& windowsPath) {
    if (linuxPath.empty() || linuxPath[0] != '/') return false;
    int best = -1;
    size_t bestLength = 0;
    {
        DriveMap& map = GetDriveMap();
        std::lock_guard guard(map.lock);
        EnsureLoaded(map);
        for (int i = 0; i < 26; ++i) {
            const std::string& root = map.roots[i];
            if (root.empty() || (best >= 0 && root.size() <= bestLength)) continue;
            bool holds =
                root == "/" || linuxPath == root ||
                (linuxPath.compare(0, root.size(), root) == 0 && linuxPath[root.size()] == '/');
            if (holds) {
                best = i;
                bestLength = root.size();
            }
        }
    }
    if (best < 0) return false;
    std::string rest = bestLength == 1 ? linuxPath.substr(1) : linuxPath.substr(bestLength);
    while (!rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    std::string converted;
    if (!Utf8ToCp1252(rest, converted)) return false;
    windowsPath = std::string(1, static_cast<char>('A' + best)) + ":\\";
    for (char c : converted) {
        if (c == '/') {
            if (windowsPath.back() != '\\') windowsPath += '\\';
        } else if (IsWindowsNameChar(static_cast<unsigned char>(c))) {
            windowsPath += c;
        } else {
            return false;
        }
    }
    while (windowsPath.size() > 3 && windowsPath.back() == '\\')
        windowsPath.pop_back();
    return true;
}

} // namespace platform
