#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/files/files.h"
#include "platform/last_error.h"
#include "platform/serial/serial.h"

namespace {

// A pseudo-terminal whose other end COM7 names while the object lives.
class PtyPort {
public:
    PtyPort() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(master);
        unlockpt(master);
        slave = ptsname(master);
        setenv("ZORV_SERIAL", ("COM2=/dev/null;COM7=" + slave).c_str(), 1);
    }
    ~PtyPort() {
        unsetenv("ZORV_SERIAL");
        close(master);
    }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // What the port wrote, waiting a little for it.
    std::string Take(size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd waiting{master, POLLIN, 0};
            if (poll(&waiting, 1, 5000) <= 0) break;
            char buffer[256];
            ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, size_t(n));
        }
        return got;
    }
    void Give(const std::string& bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    int master;
    std::string slave;
};

HANDLE OpenPort(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0);
}

TEST(SerialPort, OpensByMappedNameOrPathAndNeverShares) {
    PtyPort pty;
    HANDLE port = OpenPort("com7");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorOf(OpenPort("\\\\.\\COM7"), INVALID_HANDLE_VALUE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(OpenPort(pty.slave.c_str()), INVALID_HANDLE_VALUE), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CloseHandle(port));
    port = OpenPort(pty.slave.c_str());
    EXPECT_NE(port, INVALID_HANDLE_VALUE);
    CloseHandle(port);
    // A character device that is no terminal, and a port that is not there.
    EXPECT_EQ(ErrorOf(OpenPort("COM2"), INVALID_HANDLE_VALUE), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ErrorOf(OpenPort("COM200"), INVALID_HANDLE_VALUE), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorOf(CreateFileA("COM7", GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, 0),
                      INVALID_HANDLE_VALUE),
              ERROR_INVALID_PARAMETER);
}

TEST(SerialPort, MovesEveryByteUntranslated) {
    PtyPort pty;
    HANDLE port = OpenPort("COM7");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    const std::string sent("a\nb\r\0\x03\x11\x7f\xff", 9);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(port, sent.data(), DWORD(sent.size()), &done, nullptr));
    EXPECT_EQ(done, sent.size());
    EXPECT_EQ(pty.Take(sent.size()), sent);
    pty.Give(sent);
    char got[9] = {};
    EXPECT_TRUE(ReadFile(port, got, 9, &done, nullptr));
    EXPECT_EQ(std::string(got, done), sent);
    CloseHandle(port);
}

TEST(SerialPort, ReadTimeOutIsSuccessWithFewerBytes) {
    PtyPort pty;
    HANDLE port = OpenPort("COM7");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS timeouts{0, 1, 30, 1, 0};
    EXPECT_TRUE(SetCommTimeouts(port, &timeouts));
    pty.Give("abc");
    char got[10] = {};
    DWORD done = 99;
    EXPECT_TRUE(ReadFile(port, got, 10, &done, nullptr));
    EXPECT_EQ(std::string(got, done), "abc");
    // Interval MAXDWORD with no totals: what has arrived, at once.
    timeouts = COMMTIMEOUTS{MAXDWORD, 0, 0, 0, 0};
    EXPECT_TRUE(SetCommTimeouts(port, &timeouts));
    EXPECT_TRUE(ReadFile(port, got, 10, &done, nullptr));
    EXPECT_EQ(done, 0u);
    // Multiplier * count past 32 bits must not wrap into a short wait.
    timeouts = COMMTIMEOUTS{0, 0x80000000u, 0, 0, 0};
    EXPECT_TRUE(SetCommTimeouts(port, &timeouts));
    pty.Give("xy");
    EXPECT_TRUE(ReadFile(port, got, 2, &done, nullptr));
    EXPECT_EQ(std::string(got, done), "xy");
    COMMTIMEOUTS back{};
    EXPECT_TRUE(GetCommTimeouts(port, &back));
    EXPECT_EQ(back.ReadTotalTimeoutMultiplier, 0x80000000u);
    CloseHandle(port);
}

TEST(SerialPort, StateTakesAnyRateAndTheLineShape) {
    PtyPort pty;
    HANDLE port = OpenPort("COM7");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB dcb{};
    EXPECT_TRUE(GetCommState(port, &dcb));
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    for (DWORD rate : {14400u, 56000u, 128000u, 256000u, 9600u}) {
        dcb.BaudRate = rate;
        EXPECT_TRUE(SetCommState(port, &dcb));
        DCB back{};
        EXPECT_TRUE(GetCommState(port, &back));
        EXPECT_EQ(back.BaudRate, rate);
    }
    // A pseudo-terminal keeps 8 bits without parity whatever it is told; stop bits it keeps.
    dcb.StopBits = TWOSTOPBITS;
    EXPECT_TRUE(SetCommState(port, &dcb));
    DCB back{};
    EXPECT_TRUE(GetCommState(port, &back));
    EXPECT_EQ(back.StopBits, TWOSTOPBITS);
    dcb.ByteSize = 4;
    EXPECT_EQ(ErrorOf(SetCommState(port, &dcb), FALSE), ERROR_INVALID_PARAMETER);
    dcb.ByteSize = 8;
    dcb.StopBits = ONE5STOPBITS;
    EXPECT_EQ(ErrorOf(SetCommState(port, &dcb), FALSE), ERROR_INVALID_PARAMETER);
    CloseHandle(port);
    EXPECT_EQ(ErrorOf(GetCommState(port, &dcb), FALSE), ERROR_INVALID_HANDLE);
}

} // namespace
