// Other programs and serial lines: a program started and waited for through the process
// layer beside bare posix_spawn and waitpid, and 1 MiB received from a serial port over a
// pseudo-terminal beside head(1) reading the same terminal in raw mode, as cat(1) would.
// Counters: "ours" and the peer's in starts or MiB a second, and "ratio", our time over the
// peer's.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/files.h"
#include "platform/process/process.h"
#include "platform/serial/serial.h"
#include "side_by_side.h"

extern char** environ;

namespace {

constexpr size_t kSerialBytes = 1 << 20;

void SpawnOurs() {
    std::string commandLine = "/bin/true";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        std::abort();
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeProcess(info.hProcess, &code) && code == STILL_ACTIVE)
        std::this_thread::yield();
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

void SpawnBare() {
    char program[] = "/bin/true";
    char* arguments[] = {program, nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) std::abort();
    int status = 0;
    waitpid(child, &status, 0);
}

void BM_SpawnAndWait(benchmark::State& state) {
    bench::SideBySide(state, 1, "posix_spawn", SpawnOurs, SpawnBare);
    state.counters["ours"] = state.counters["ours"] * 1e6;
    state.counters["posix_spawn"] = state.counters["posix_spawn"] * 1e6;
}
BENCHMARK(BM_SpawnAndWait)->Unit(benchmark::kMillisecond);

// A pseudo-terminal whose slave COM9 names; a thread writes `kSerialBytes` into the master
// for each read.
struct Pty {
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) std::abort();
        slave = ptsname(master);
        setenv("ZORV_SERIAL", ("COM9=" + slave).c_str(), 1);
    }
    ~Pty() {
        unsetenv("ZORV_SERIAL");
        close(master);
    }
    void Feed() const {
        std::vector<char> bytes(kSerialBytes, 'x');
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = write(master, bytes.data() + done, bytes.size() - done);
            // Until the reader has the terminal open, the master may refuse to write.
            if (n <= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            else
                done += size_t(n);
        }
    }
    int master = -1;
    std::string slave;
};

void BM_SerialReceive(benchmark::State& state) {
    Pty pty;
    std::vector<char> buffer(64 * 1024);
    // The port holds the terminal exclusively: it is opened for each of our reads only.
    auto ours = [&] {
        HANDLE port =
            CreateFileA("COM9", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0);
        if (port == INVALID_HANDLE_VALUE) std::abort();
        COMMTIMEOUTS timeouts{0, 0, 2000, 0, 0};
        SetCommTimeouts(port, &timeouts);
        std::thread writer([&] { pty.Feed(); });
        size_t got = 0;
        while (got < kSerialBytes) {
            DWORD n = 0;
            if (!ReadFile(port, buffer.data(), DWORD(buffer.size()), &n, nullptr) || n == 0)
                std::abort();
            got += n;
        }
        writer.join();
        CloseHandle(port);
    };
    const std::string raw = "stty -F " + pty.slave + " raw -echo";
    const std::string head =
        "head -c " + std::to_string(kSerialBytes) + " " + pty.slave + " > /dev/null";
    auto theirs = [&] {
        if (std::system(raw.c_str()) != 0) std::abort();
        std::thread writer([&] { pty.Feed(); });
        if (std::system(head.c_str()) != 0) std::abort();
        writer.join();
    };
    bench::SideBySide(state, 1, "head", ours, theirs);
    const double mebibytes = double(kSerialBytes) / double(1 << 20);
    state.counters["ours"] = state.counters["ours"] * 1e6 * mebibytes;
    state.counters["head"] = state.counters["head"] * 1e6 * mebibytes;
}
BENCHMARK(BM_SerialReceive)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
