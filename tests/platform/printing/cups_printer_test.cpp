// A private CUPS scheduler on a socket in a temporary folder, with one queue whose device is
// a file: the printer list shows the queue and a document printed to it lands in that file
// as a PDF. Skipped where cupsd is not installed or does not start.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/text/text_out.h"
#include "platform/printing/printing.h"
#include "support/command_output.h"
#include "support/temp_dir.h"

namespace {

using test_support::CommandOutput;

namespace fs = std::filesystem;

constexpr const char* CUPSD = "/usr/sbin/cupsd";
constexpr const char* CUPS_EXEC = "/usr/lib/cups/daemon/cups-exec";

// A page description for a queue that passes PDF through to its device unchanged.
constexpr const char* PPD = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "ZORVTEST.PPD"
*Manufacturer: "Test"
*Product: "(Test)"
*ModelName: "File Printer"
*ShortNickName: "File Printer"
*NickName: "File Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*cupsFilter2: "application/pdf application/vnd.cups-pdf 0 passthru"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 18 577 824"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
)ppd";

class CupsPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(CUPSD) || !fs::exists(CUPS_EXEC))
            GTEST_SKIP() << "cupsd is not installed (Debian cups-daemon)";
        // The scheduler runs filters as another user: the folders must let it through.
        fs::permissions(dir.LinuxPath(), fs::perms::owner_all | fs::perms::group_read |
                                             fs::perms::group_exec | fs::perms::others_read |
                                             fs::perms::others_exec);
        for (const char* folder : {"spool", "cache", "state", "log", "ppd", "bin/filter",
                                   "bin/backend", "bin/daemon", "out"})
            fs::create_directories(dir.Linux(folder));
        fs::permissions(dir.Linux("out"), fs::perms::all);
        std::string root = dir.LinuxPath();
        socket = root + "/cups.sock";
        output = root + "/out/queue.pdf";
        dir.WriteFile("cupsd.conf", "Listen " + socket +
                                        "\nLogLevel info\n<Location />\n  Order allow,deny\n"
                                        "  Allow all\n</Location>\n");
        dir.WriteFile("cups-files.conf", "ServerRoot " + root + "\nRequestRoot " + root +
                                             "/spool\nTempDir " + root + "/out\nCacheDir " + root +
                                             "/cache\nStateDir " + root + "/state\nErrorLog " +
                                             root + "/log/error_log\nAccessLog " + root +
                                             "/log/access_log\nPageLog " + root +
                                             "/log/page_log\nFileDevice Yes\nServerBin " + root +
                                             "/bin\nDataDir /usr/share/cups\n");
        dir.WriteFile("printers.conf",
                      "<DefaultPrinter zorvtest>\nInfo zorvtest\nDeviceURI file:" + output +
                          "\nState Idle\nAccepting Yes\n</DefaultPrinter>\n");
        dir.WriteFile("ppd/zorvtest.ppd", PPD);
        dir.WriteFile("bin/filter/passthru",
                      "#!/bin/sh\nif [ -n \"$6\" ]; then exec cat \"$6\"; else exec cat; fi\n");
        fs::permissions(dir.Linux("bin/filter/passthru"),
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
        fs::create_symlink(CUPS_EXEC, dir.Linux("bin/daemon/cups-exec"));
        for (const char* folder : {"", "/bin", "/bin/filter", "/bin/backend", "/bin/daemon"})
            fs::permissions(root + folder, fs::perms::owner_all | fs::perms::group_read |
                                               fs::perms::group_exec | fs::perms::others_read |
                                               fs::perms::others_exec);

        scheduler = fork();
        ASSERT_GE(scheduler, 0);
        if (scheduler == 0) {
            std::string conf = root + "/cupsd.conf";
            std::string files = root + "/cups-files.conf";
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(CUPSD, CUPSD, "-f", "-c", conf.c_str(), "-s", files.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!fs::exists(socket))
            GTEST_SKIP() << "cupsd did not start: " << dir.ReadFile("log/error_log");
        setenv("CUPS_SERVER", socket.c_str(), 1);
        unsetenv("ZORV_PRINTER");
        unsetenv("LC_ALL");
        setenv("LC_PAPER", "C", 1);
    }
    void TearDown() override {
        unsetenv("CUPS_SERVER");
        unsetenv("ZORV_PRINTER");
        if (scheduler > 0) {
            kill(scheduler, SIGTERM);
            waitpid(scheduler, nullptr, 0);
        }
    }

    test_support::TempDir dir;
    std::string socket;
    std::string output;
    pid_t scheduler = -1;
};

TEST_F(CupsPrinter, TheQueueIsListedAndADocumentLandsInItsFileAsPdf) {
    std::vector<std::string> names = platform::PrinterNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "zorvtest"), names.end());
    EXPECT_EQ(platform::DefaultPrinterName(), "zorvtest");

    HDC dc = CreateDCA(nullptr, "zorvtest", nullptr, nullptr);
    ASSERT_NE(dc, 0u);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "queue test";
    ASSERT_GT(StartDocA(dc, &info), 0);
    StartPage(dc);
    const char text[] = "Printed through the queue";
    TextOutA(dc, 100, 100, text, sizeof text - 1);
    EndPage(dc);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    std::error_code error;
    for (int i = 0; i < 200 && fs::file_size(output, error) < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(output)) << dir.ReadFile("log/error_log");
    std::string written = dir.ReadFile("out/queue.pdf");
    EXPECT_EQ(written.substr(0, 5), "%PDF-");
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        EXPECT_NE(CommandOutput("pdftotext '" + output + "' - 2>/dev/null").find(text),
                  std::string::npos);
    }
}

} // namespace
