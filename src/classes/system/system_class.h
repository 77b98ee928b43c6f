// The System singleton: questions about the machine (operating system, screen, names,
// folders, clock, environment, system colours), the end of the session, the user's
// browser, libraries installed from the binary bank, and downloads by URL, blocking or
// in the background with progress events.
//
// Background downloads are the one part of the script classes another thread touches:
// the URL fetcher's worker reports progress into the download records under the
// runtime's process-wide lock, and the interpreter's message loops poll them
// (PollDownloads), so that the events are posted on the script thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/classes/base_class.h"
#include "script/values/value.h"

class CUrlFetcher;

class CISystem final : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 39;
    static constexpr uint32_t kStatusBase = 0xBCBC0000;
    static constexpr uint32_t kPending = kStatusBase;
    static constexpr uint32_t kDownloading = kStatusBase + 1;
    static constexpr uint32_t kDownloaded = kStatusBase + 2;
    static constexpr uint32_t kAborted = kStatusBase + 3;

    enum : uint16_t {
        kGetByteOrdering = 1,
        kGetOS,
        kGetOSRelease,
        kGetOSSubRelease,
        kGetScreenWidth,
        kGetScreenHeight,
        kGetScreenDepth,
        kGetComputerName,
        kGetComputerIP,
        kShutDown,
        kPowerOff,
        kRestart,
        kLogout,
        kGetDLLDirectory,
        kGetUserName,
        kGetOSDirectory,
        kGetElapsedTime,
        kGetCurrentMonth,
        kGetCurrentDay,
        kGetCurrentYear,
        kGetCurrentHour,
        kGetCurrentMinute,
        kGetCurrentSecond,
        kGetDayOfWeek,
        kGetCurrentMilliseconds,
        kBrowseURL,
        kInstallDLLFromBank,
        kGetTempDirectory,
        kGetSysColor,
        kIsGradientCaptionEnabled,
        kParseEnvironmentString,
        kGetEnvironmentVariable,
        kDownloadFile,
        kOnDownload,
        kStopFileDownload,
        kMethodCount,
    };
    static constexpr uint32_t kFirstClassLevelId = 36;

    CISystem(CInterpretor* interpreter, const CClassRecord* record);
    // Cancels every download and waits for the fetcher's worker before the records go.
    ~CISystem() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    // Posts OnDownload for every record with news; drops the records whose end was posted
    // on an earlier poll.
    void PollDownloads();
    // The number of download records, for tests.
    size_t GetDownloadCount();

    // The URL as DownloadFile fetches it: trimmed, a path without a scheme or drive made
    // full as every file name is, and local paths and file URLs percent-decoded. Empty
    // for an empty URL.
    static std::string PrepareDownloadUrl(const std::string& url);
    // A URL as BrowseURL reads it: the text handed to the browser, without the user and
    // password written in it, and its parts.
    struct BrowseTarget {
        std::string url;
        int32_t scheme = 0; // INTERNET_SCHEME_...
        std::string host;
        uint16_t port = 0; // the scheme's own when none is written
        std::string user;  // "anonymous" for an FTP URL that names none
        std::string password;
    };
    // "http://" is put in front of a text without a scheme; false when it is no URL.
    static bool ParseBrowseUrl(const std::string& text, BrowseTarget& target);

private:
    struct Download {
        std::string url;
        std::string file;
        uint32_t total = 0;
        uint32_t received = 0;
        uint32_t status = kPending;
        uint32_t changed = 0;
    };

    void GetByteOrdering();
    void GetOS();
    void GetOSRelease();
    void GetOSSubRelease();
    void GetScreenWidth();
    void GetScreenHeight();
    void GetScreenDepth();
    void GetComputerName();
    void GetComputerIP();
    void ShutDown();
    void PowerOff();
    void Restart();
    void Logout();
    void GetDLLDirectory();
    void GetUserName();
    void GetOSDirectory();
    void GetElapsedTime();
    void GetCurrentMonth();
    void GetCurrentDay();
    void GetCurrentYear();
    void GetCurrentHour();
    void GetCurrentMinute();
    void GetCurrentSecond();
    void GetDayOfWeek();
    void GetCurrentMilliseconds();
    void BrowseURL();
    void InstallDLLFromBank();
    void GetTempDirectory();
    void GetSysColor();
    void IsGradientCaptionEnabled();
    void ParseEnvironmentString();
    void GetEnvironmentVariable();
    void DownloadFile();
    void OnDownload();
    void StopFileDownload();

    void SetText(const std::string& text);
    void LocalTimeField(int field);
    // Blocking and background downloads; the local file, or empty on failure.
    std::string DownloadNow(const std::string& url);
    std::string DownloadInBackground(const std::string& url);
    static int Progress(CUrlFetcher* fetcher, void* cookie, uint32_t total, uint32_t received,
                        int state);

    static const ScriptMethod<CISystem> kMethods[kMethodCount];

    std::string lastDownload_;
    // Guarded by the process-wide lock, as is the fetcher pointer.
    std::vector<std::unique_ptr<Download>> downloads_;
    // Downloads whose end was reported. The fetcher may still hold their file text as its
    // cookie (a cancelled transfer reports once more when its worker lets it go), so the
    // text lives as long as the fetcher does.
    std::vector<std::unique_ptr<Download>> retired_;
    CUrlFetcher* fetcher_ = nullptr;
    CValue onDownload_;
};

const ScriptClassInfo* GetSystemClassInfo();
// The interpreter's poll of the System object's downloads (a neighbour service).
void PollSystemDownloads(CInterpretor& interpreter);
