#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "classes/system/serial_class.h"
#include "script/script_runner.h"

namespace {

using namespace std::string_literals;

// A pseudo-terminal that scripts open as COM7.
class SerialClass : public ::testing::Test {
protected:
    void SetUp() override {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master_, 0);
        grantpt(master_);
        unlockpt(master_);
        std::string slave = ptsname(master_);
        setenv("ZORV_SERIAL", ("COM7=" + slave).c_str(), 1);
        // Raw from the start: bytes given before a script opens the port must not meet a
        // line discipline that edits or echoes them.
        int fd = open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
        close(fd);
    }
    void TearDown() override {
        StopEcho();
        unsetenv("ZORV_SERIAL");
        close(master_);
        CISerial::SetReceiveCap(CISerial::kDefaultReceiveCap);
    }

    // Runs the body with `s` open on COM7 (time-out 200 ms).
    script_test::ScriptResult Run(const std::string& body) {
        return runner_.Run("s = New Serial();\nIf (s.OpenPort(7) == 0) Print(\"closed\");\n"
                           "s.SetTimeOut(200);\n" +
                           body);
    }

    void Give(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything the port wrote so far.
    std::string Taken() {
        std::string got;
        pollfd waiting{master_, POLLIN, 0};
        while (poll(&waiting, 1, 0) > 0 && (waiting.revents & POLLIN)) {
            char buffer[256];
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, size_t(n));
        }
        return got;
    }

    // Sends back whatever the port writes, as a peer that answers in kind.
    void StartEcho() {
        echo_ = std::thread([this] {
            while (!stop_) {
                pollfd waiting{master_, POLLIN, 0};
                if (poll(&waiting, 1, 10) <= 0 || !(waiting.revents & POLLIN)) continue;
                char buffer[256];
                ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0 && write(master_, buffer, size_t(n)) != n) break;
            }
        });
    }
    void StopEcho() {
        stop_ = true;
        if (echo_.joinable()) echo_.join();
    }

    int master_ = -1;
    std::atomic<bool> stop_{false};
    std::thread echo_;
    script_test::ScriptRunner runner_;
};

TEST_F(SerialClass, SendsTheWireFormatByteForByte) {
    script_test::ScriptResult result =
        Run("b = New Binary();\nb.AllocateData(2);\nb.SetByte(0, 0xAB);\nb.SetByte(1, 0xCD);\n"
            "b.SetByteOrdering(1);\n"
            "Print(s.Send(7), s.Send(\"ab\"), s.Send(b), s.Send(1.5));\n"
            "s.SetMode(Serial.TRANSFER_MODE_RAW);\n"
            "Print(s.Send(7), s.Send(\"ab\"), s.Send(b), s.GetMode(), s.GetPortName());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1 1 1 1\n1 1 1 1 COM7\n");
    EXPECT_EQ(Taken(), "\0\0\0\x01\0\0\0\x04\0\0\0\x07"
                       "\0\0\0\x03\0\0\0\x03"
                       "ab\0"
                       "\0\0\0\x04\0\0\0\x01\0\0\0\x02\xAB\xCD"
                       "\0\0\0\x01\0\0\0\x04\0\0\0\x01"
                       "\x07\0\0\0"
                       "ab\0"
                       "\xAB\xCD"s);
}

TEST_F(SerialClass, ExchangesEveryKindInBothModes) {
    StartEcho();
    script_test::ScriptResult result = Run(
        "b = New Binary();\nb.AllocateData(3);\nb.SetByte(2, 9);\nb.SetByteOrdering(3);\n"
        "For (m = 2; m > 0; m--) {\n"
        "  s.SetMode(m);\n"
        "  s.Send(-123456);\nr1 = s.ReceiveLong();\n"
        "  s.Send(\"text\");\nr2 = s.ReceiveString();\n"
        "  s.Send(b);\nIf (m == 1) r3 = s.ReceiveBinary(New Binary(), 3); Else r3 = "
        "s.ReceiveBinary();\n"
        "  Print(r1, r2, r3.GetDataSize(), r3.GetByte(2), r3.GetByteOrdering() == 3 || m == 1);\n"
        "}\n"
        // A double arrives as the integer it was sent as, so a double reader refuses it.
        "s.SetMode(2);\ns.Send(2.5);\nPrint(s.ReceiveLong());\n"
        "s.Send(1.5);\nPrint(s.ReceiveDouble());\n");
    StopEcho();
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "-123456 text 3 9 1\n-123456 text 3 9 1\n2\n0\n");
}

TEST_F(SerialClass, FramedDoublesAreBigEndian) {
    Give("\0\0\0\x02\0\0\0\x08\x3F\xF8\0\0\0\0\0\0"s);
    script_test::ScriptResult result = Run("Print(s.ReceiveDouble());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "1.5\n");
}

TEST_F(SerialClass, HostileFramesGiveEmptyResults) {
    CISerial::SetReceiveCap(64);
    // A text claiming 4 GB, one claiming one byte over the cap, one without its zero
    // byte, a Binary with a bad byte-order code (read no further), one whose payload breaks
    // off.
    Give("\0\0\0\x03\xFF\xFF\xFF\xFF"
         "\0\0\0\x03\0\0\0\x41"
         "\0\0\0\x03\0\0\0\x03xyz"
         "\0\0\0\x04\0\0\0\x07"
         "\0\0\0\x04\0\0\0\x02\0\0\0\x10short"s);
    script_test::ScriptResult result = Run("s.SetTimeOut(10);\nPrint(\"[\" + s.ReceiveString() + "
                                           "\"]\", \"[\" + s.ReceiveString() + \"]\");\n"
                                           "Print(s.ReceiveString());\n"
                                           "b = s.ReceiveBinary();\nPrint(b.GetDataSize());\n"
                                           "c = New Binary();\nc.AllocateData(5);\n"
                                           "Print(s.ReceiveBinary(c) == c, c.GetDataSize());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "[] []\nxyz\n0\n1 0\n");
}

TEST_F(SerialClass, RawReceivesStopAtTheCap) {
    CISerial::SetReceiveCap(64);
    Give(std::string(100, 'r') + "\0"s);
    script_test::ScriptResult result =
        Run("s.SetMode(1);\nt = s.ReceiveString();\nPrint(t.Length());\n"
            "d = s.ReceiveBinary(New Binary(), 9999);\nPrint(d.GetDataSize());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "64\n0\n");
}

TEST_F(SerialClass, TimeOutsAndRatesAndRefusals) {
    script_test::ScriptResult result =
        Run("s.SetTimeOut(20);\nb = s.ReceiveBinary();\n"
            "Print(s.ReceiveLong(), \"[\" + s.ReceiveString() + \"]\", b.GetDataSize());\n"
            "Print(s.SetRate(14400), s.GetRate(), s.OpenPort(7), s.IsOpen(), s.GetTimeOut());\n"
            "s.ClosePort();\n"
            "Print(s.IsOpen(), \"[\" + s.GetPortName() + \"]\", s.Send(1), s.SetRate(9600), "
            "s.GetRate(), s.GetTimeOut());\n");
    ASSERT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
    EXPECT_EQ(result.output, "0 [] 0\n1 14400 0 1 20\n0 [] 0 0 0 20\n");
    EXPECT_EQ(Run("s.SetRate(1000);").code, 14);
    EXPECT_EQ(Run("s.SetRate();").code, 21);
    EXPECT_EQ(Run("s.SetMode(3);").code, 14);
    EXPECT_EQ(Run("s.Send();").code, 21);
    EXPECT_EQ(Run("s.Send(New Serial());").code, 14);
    EXPECT_EQ(Run("s.ReceiveBinary(1, 2, 3);").code, 21);
    EXPECT_EQ(Run("s.ReceiveBinary(5);").code, 14);
    EXPECT_EQ(Run("t = New Serial();\nt.OpenPort(New Serial());").code, 14);
}

} // namespace
