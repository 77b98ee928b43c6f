#include "classes/system/serial_class.h"

#include <cstring>
#include <new>

#include "classes/system/binary_class.h"
#include "classes/system/serial_frames.h"
#include "foundation/streams/byte_order.h"
#include "platform/files/files.h"
#include "platform/serial/serial.h"
#include "script/interpreter/interpretor.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CISerial::kClassId, "Serial", 0, 0},
    {CISerial::kOpenPort, "OpenPort", 0, 0},
    {CISerial::kClosePort, "ClosePort", 0, 0},
    {CISerial::kSetRate, "SetRate", 0, 0},
    {CISerial::kGetRate, "GetRate", 0, 0},
    {CISerial::kSend, "Send", 0, 0},
    {CISerial::kReceiveLong, "ReceiveLong", 0, 0},
    {CISerial::kReceiveDouble, "ReceiveDouble", 0, 0},
    {CISerial::kReceiveString, "ReceiveString", 0, 0},
    {CISerial::kReceiveBinary, "ReceiveBinary", 0, 0},
    {CISerial::kSetMode, "SetMode", 0, 0},
    {CISerial::kGetMode, "GetMode", 0, 0},
    {CISerial::kIsOpen, "IsOpen", 0, 0},
    {CISerial::kGetPortName, "GetPortName", 0, 0},
    {CISerial::kSetTimeOut, "SetTimeOut", 0, 0},
    {CISerial::kGetTimeOut, "GetTimeOut", 0, 0},
    {17, "TRANSFER_MODE_RAW", 0, kRowConstant},
    {18, "TRANSFER_MODE_ZORVANE", 0, kRowConstant},
    {19, "TRANSFER_MODE_UNKNOWN", 0, kRowConstant},
    {0, nullptr, 0, 0},
};

template <int32_t Mode> void ModeConstant(CInterpretor& interpreter) {
    interpreter.GetResultSlot()->SetInt(Mode);
}

const ClassLevelHandler kConstants[] = {
    &ModeConstant<1>,
    &ModeConstant<2>,
    &ModeConstant<0>,
};

const uint32_t kRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                           19200, 38400, 56000, 57600, 115200, 128000, 256000};

uint32_t receiveCap = CISerial::kDefaultReceiveCap;

bool IsRate(double value) {
    for (uint32_t rate : kRates) {
        if (value == rate) return true;
    }
    return false;
}

bool IsNumber(const CValue* value) {
    return value->GetType() == kValueInt || value->GetType() == kValueDouble;
}

CIBaseClassImpl* NewSerial(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CISerial(&interpreter, record);
}

// Received bytes from the port; a time-out gives fewer bytes and so a failed read.
class PortSource : public CSerialSource {
public:
    explicit PortSource(HANDLE port) : port_(port) {}
    bool Read(void* buffer, uint32_t count) override {
        DWORD done = 0;
        return ReadFile(port_, buffer, count, &done, nullptr) && done == count;
    }

private:
    HANDLE port_;
};

} // namespace

const ScriptMethod<CISerial> CISerial::kMethods[kMethodCount] = {
    nullptr,
    &CISerial::OpenPort,
    &CISerial::ClosePort,
    &CISerial::SetRate,
    &CISerial::GetRate,
    &CISerial::Send,
    &CISerial::ReceiveLong,
    &CISerial::ReceiveDouble,
    &CISerial::ReceiveString,
    &CISerial::ReceiveBinary,
    &CISerial::SetMode,
    &CISerial::GetMode,
    &CISerial::IsOpen,
    &CISerial::GetPortName,
    &CISerial::SetTimeOut,
    &CISerial::GetTimeOut,
};

CISerial::CISerial(CInterpretor* interpreter, const CClassRecord* record)
    : CIBaseClassImpl(interpreter, record, 1) {}

CISerial::~CISerial() {
    Close();
}

void CISerial::SetReceiveCap(uint32_t bytes) {
    receiveCap = bytes < 0xFFFFFFF0u ? bytes : 0xFFFFFFF0u;
}

void CISerial::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CISerial::Destroy(int) {
    delete this;
}

void CISerial::Close() {
    if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    name_.clear();
}

bool CISerial::ApplyTimeOut() {
    COMMTIMEOUTS timeouts{0, timeOut_, 0, timeOut_, 0};
    return SetCommTimeouts(port_, &timeouts) != 0;
}

void CISerial::OpenPort() {
    CInterpretor& in = *interpreter;
    CValue* result = in.GetResultSlot();
    if (port_ != INVALID_HANDLE_VALUE) {
        result->SetInt(0);
        return;
    }
    std::string name = "COM1";
    if (!in.IsArgDefault(0)) {
        const CValue* port = in.GetArg(0);
        if (IsNumber(port))
            name = "COM" + std::to_string(port->GetInt());
        else if (port->GetType() == kValueString)
            name = port->GetString();
        else
            in.RaiseError(14);
    }
    port_ =
        CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0);
    if (port_ == INVALID_HANDLE_VALUE) {
        result->SetInt(0);
        return;
    }
    if (!ApplyTimeOut()) {
        Close();
        result->SetInt(0);
        return;
    }
    name_ = name;
    result->SetInt(1);
}

void CISerial::ClosePort() {
    Close();
}

void CISerial::SetRate() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    DCB state{};
    if (port_ == INVALID_HANDLE_VALUE || !GetCommState(port_, &state)) {
        in.GetResultSlot()->SetInt(0);
        return;
    }
    const CValue* rate = in.GetArg(0);
    if (in.IsArgDefault(0) || !IsNumber(rate) || !IsRate(rate->GetDouble())) in.RaiseError(14);
    state.BaudRate = DWORD(rate->GetDouble());
    in.GetResultSlot()->SetInt(SetCommState(port_, &state) ? 1 : 0);
}

void CISerial::GetRate() {
    DCB state{};
    int32_t rate = 0;
    if (port_ != INVALID_HANDLE_VALUE && GetCommState(port_, &state) && IsRate(state.BaudRate))
        rate = int32_t(state.BaudRate);
    interpreter->GetResultSlot()->SetInt(rate);
}

bool CISerial::Write(const void* bytes, uint32_t count) {
    DWORD done = 0;
    return WriteFile(port_, bytes, count, &done, nullptr) && done == count;
}

bool CISerial::WriteWord(uint32_t word) {
    uint8_t bytes[4] = {uint8_t(word >> 24), uint8_t(word >> 16), uint8_t(word >> 8),
                        uint8_t(word)};
    return Write(bytes, 4);
}

void CISerial::Send() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    if (in.IsArgDefault(0)) in.RaiseError(14);
    CValue* result = in.GetResultSlot();
    if (port_ == INVALID_HANDLE_VALUE) {
        result->SetInt(0);
        return;
    }
    const CValue* value = in.GetArg(0);
    bool framed = mode_ == kSerialModeFramed;
    int ok = 0;
    if (IsNumber(value)) {
        // A double goes as the integer it truncates to: peers expect type 1 for both.
        int32_t number = value->GetInt();
        uint8_t payload[4];
        uint32_t bits = uint32_t(number);
        if (framed) bits = ConvertByteOrder32(bits, GetHostByteOrder(), kByteOrderBig);
        std::memcpy(payload, &bits, 4);
        ok = (!framed || (WriteWord(kFrameInteger) && WriteWord(4))) && Write(payload, 4);
    } else if (value->GetType() == kValueString) {
        const char* text = value->GetString();
        uint32_t length = uint32_t(std::strlen(text)) + 1;
        ok = (!framed || (WriteWord(kFrameText) && WriteWord(length))) && Write(text, length);
    } else if (value->IsObjectOfClass(CIBinary::kClassId)) {
        auto* binary = static_cast<CIBinary*>(value->GetObject());
        ok = (!framed || (WriteWord(kFrameBinary) && WriteWord(uint32_t(binary->GetOrder())) &&
                          WriteWord(binary->Size()))) &&
             Write(binary->Data(), binary->Size());
    } else {
        in.RaiseError(14);
    }
    result->SetInt(ok);
}

void CISerial::ReceiveLong() {
    int32_t value = 0;
    if (port_ != INVALID_HANDLE_VALUE) {
        PortSource source(port_);
        value = ReceiveSerialLong(source, mode_);
    }
    interpreter->GetResultSlot()->SetInt(value);
}

void CISerial::ReceiveDouble() {
    double value = 0;
    PortSource source(port_);
    if (port_ != INVALID_HANDLE_VALUE && ReceiveSerialDouble(source, mode_, value))
        interpreter->GetResultSlot()->SetFloat(value);
    else
        interpreter->GetResultSlot()->SetInt(0);
}

void CISerial::ReceiveString() {
    std::string text;
    if (port_ != INVALID_HANDLE_VALUE) {
        PortSource source(port_);
        text = ReceiveSerialString(source, mode_, receiveCap);
    }
    char* buffer = interpreter->GetResultSlot()->SetStringBuffer(int32_t(text.size() + 1));
    if (buffer != nullptr) std::memcpy(buffer, text.c_str(), text.size() + 1);
}

void CISerial::ReceiveBinary() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() > 2) in.RaiseError(21);
    CIBinary* binary = nullptr;
    if (!in.IsArgDefault(0)) {
        if (!in.GetArg(0)->IsObjectOfClass(CIBinary::kClassId)) in.RaiseError(14);
        binary = static_cast<CIBinary*>(in.GetArg(0)->GetObject());
    }
    int64_t length = -1;
    if (!in.IsArgDefault(1)) {
        if (!IsNumber(in.GetArg(1))) in.RaiseError(14);
        length = in.GetArg(1)->GetInt();
        if (length < 0) length = 0;
    }
    CValue* result = in.GetResultSlot();
    if (binary == nullptr) {
        binary = MakeBinary(in);
        if (binary == nullptr) in.RaiseError(15);
    }
    result->SetObject(binary, 1);
    binary->Bytes().Free();
    if (port_ == INVALID_HANDLE_VALUE) return;
    PortSource source(port_);
    int32_t order = binary->GetOrder();
    ReceiveSerialBinary(source, mode_, receiveCap, mode_ == kSerialModeRaw ? length : -1,
                        binary->Bytes(), order);
    binary->SetOrder(order);
}

void CISerial::SetMode() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    uint32_t mode = kSerialModeFramed;
    if (!in.IsArgDefault(0)) {
        if (!IsNumber(in.GetArg(0))) in.RaiseError(14);
        int32_t given = in.GetArgInt(0);
        if (given != 1 && given != 2) in.RaiseError(14);
        mode = uint32_t(given);
    }
    mode_ = mode;
    in.GetResultSlot()->SetInt(1);
}

void CISerial::GetMode() {
    interpreter->GetResultSlot()->SetInt(int32_t(mode_));
}

void CISerial::IsOpen() {
    interpreter->GetResultSlot()->SetInt(port_ != INVALID_HANDLE_VALUE ? 1 : 0);
}

void CISerial::GetPortName() {
    interpreter->GetResultSlot()->SetString(name_.c_str(), 0);
}

void CISerial::SetTimeOut() {
    CInterpretor& in = *interpreter;
    if (in.GetArgCount() != 1) in.RaiseError(21);
    if (!IsNumber(in.GetArg(0))) in.RaiseError(14);
    if (port_ == INVALID_HANDLE_VALUE) {
        in.GetResultSlot()->SetInt(0);
        return;
    }
    timeOut_ = uint32_t(in.GetArgInt(0));
    in.GetResultSlot()->SetInt(ApplyTimeOut() ? 1 : 0);
}

void CISerial::GetTimeOut() {
    interpreter->GetResultSlot()->SetInt(int32_t(timeOut_));
}

const ScriptClassInfo* GetSerialClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewSerial, CISerial::kFirstClassLevelId, kConstants, 3, nullptr, nullptr,
    };
    return &info;
}
