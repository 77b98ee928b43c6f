// The Serial class: one serial port through which a script sends and receives integers,
// doubles, texts and Binary objects, raw or in the framed format two players share.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/win_types.h"
#include "script/classes/base_class.h"

class CISerial : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 54;

    enum : uint16_t {
        kOpenPort = 1,
        kClosePort,
        kSetRate,
        kGetRate,
        kSend,
        kReceiveLong,
        kReceiveDouble,
        kReceiveString,
        kReceiveBinary,
        kSetMode,
        kGetMode,
        kIsOpen,
        kGetPortName,
        kSetTimeOut,
        kGetTimeOut,
        kMethodCount,
    };
    // The transfer-mode constants are the class-level ids above this one.
    static constexpr uint32_t kFirstClassLevelId = 16;
    static constexpr uint32_t kDefaultReceiveCap = 16u << 20;

    CISerial(CInterpretor* interpreter, const CClassRecord* record);
    ~CISerial() override;

    void CallMethod(uint16_t methodId) override;
    void Destroy(int flag) override;

    // The most bytes one received value may claim; larger claims give empty results.
    static void SetReceiveCap(uint32_t bytes);

private:
    void OpenPort();
    void ClosePort();
    void SetRate();
    void GetRate();
    void Send();
    void ReceiveLong();
    void ReceiveDouble();
    void ReceiveString();
    void ReceiveBinary();
    void SetMode();
    void GetMode();
    void IsOpen();
    void GetPortName();
    void SetTimeOut();
    void GetTimeOut();

    void Close();
    // The device time-outs for the stored time-out: each byte may take that long.
    bool ApplyTimeOut();
    bool Write(const void* bytes, uint32_t count);
    bool WriteWord(uint32_t word);

    static const ScriptMethod<CISerial> kMethods[kMethodCount];

    uint32_t mode_ = 2;
    HANDLE port_ = INVALID_HANDLE_VALUE;
    std::string name_;
    uint32_t timeOut_ = 5000;
};

const ScriptClassInfo* GetSerialClassInfo();
