#include "script/values/value.h"

#include <charconv>
#include <cstring>
#include <new>

#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"
#include "script/values/number_text.h"
#include "script/values/script_array.h"
#include "script/values/text_block.h"

namespace {

constexpr int32_t kDefaultInt = INT32_MIN;
constexpr double kDefaultDouble = -9999999999.0;
// A single-precision constant in the original interface, kept bit for bit.
constexpr float kDefaultFloat = -99999.0f;
constexpr size_t kIntTextSize = 32;
constexpr size_t kDoubleTextSize = 48;

bool IsPlaceholder(uint32_t type) {
    return type >= kValueUnboundName && type <= kValueMissingElement;
}

} // namespace

CValue::CValue() : CValue(static_cast<CInterpretor*>(nullptr)) {}

CValue::CValue(CInterpretor*) : type_(kValueUnboundName), flags_(0) {
    payload_.placeholder = 0;
}

CValue::CValue(CInterpretor* interpreter, const CValue* sourceValue) : CValue(interpreter) {
    if (sourceValue != nullptr) Assign(*sourceValue);
}

CValue::CValue(CIBaseClassImpl* object) : CValue() {
    SetObject(object, 1);
}

CValue::CValue(CInterpretor* interpreter, const char* text, int borrow) : CValue(interpreter) {
    SetString(text, borrow);
}

CValue::CValue(CInterpretor* interpreter, int32_t value) : CValue(interpreter) {
    type_ = kValueInt;
    payload_.integer = value;
}

CValue::~CValue() {
    Release(true);
}

void CValue::Release(bool destroying) {
    switch (type_) {
    case kValueString:
        if ((flags_ & kBorrowedText) == 0 && payload_.text != nullptr)
            TextBlock::LetGo(payload_.text);
        break;
    case kValueObject: {
        ObjectLink* link = payload_.link;
        if (CIBaseClassImpl* object = link->object) {
            CInterpretor* interpreter = object->interpreter;
            if (!destroying || interpreter == nullptr || interpreter->shuttingDown == 0)
                --object->useCount;
        }
        CIBaseClassImpl::LetGo(link);
        break;
    }
    case kValueArray:
        if (!(destroying && payload_.array->interpreter->shuttingDown != 0))
            payload_.array->Release();
        break;
    default:
        break;
    }
    type_ = kValueInt;
    flags_ = 0;
    payload_.placeholder = 0;
}

void CValue::SettleObjectGone() const {
    CIBaseClassImpl::LetGo(payload_.link);
    type_ = kValueInt;
    flags_ = 0;
    payload_.placeholder = 0;
}

void CValue::Fail(int32_t code, uint32_t subCode) const {
    CInterpretor::RaiseErrorOn(CInterpretor::Current(), code, subCode);
}

void CValue::FailKind() const {
    SettleIfObjectGone();
    switch (type_) {
    case kValueObject:
    case kValueFunction:
        Fail(18);
    case kValueArray:
        Fail(130);
    default:
        Fail(41);
    }
}

void CValue::SetOwnedText(char* text) {
    Release(false);
    type_ = kValueString;
    payload_.text = text;
}

void CValue::SetCopiedText(const char* text, size_t length) {
    char* copy = TextBlock::Copy(text, length);
    if (copy == nullptr) Fail(15);
    SetOwnedText(copy);
}

void CValue::SetBorrowedBlock(const char* block) {
    SetOwnedText(const_cast<char*>(block));
    flags_ = kBorrowedText | kBorrowedBlock;
}

bool CValue::OwnsTextAlone() const {
    return type_ == kValueString && (flags_ & kBorrowedText) == 0 && payload_.text != nullptr &&
           TextBlock::Of(payload_.text)->holders == 1;
}

void CValue::SetString(const char* text, int borrow) {
    // The value's own text: copying or borrowing it changes nothing, and releasing it
    // first would free what is to be stored.
    if (type_ == kValueString && text != nullptr && text == payload_.text) return;
    if (text == nullptr) {
        SetOwnedText(nullptr);
    } else if (borrow != 0) {
        SetOwnedText(const_cast<char*>(text));
        flags_ = kBorrowedText;
    } else {
        SetCopiedText(text, std::strlen(text));
    }
}

char* CValue::SetStringBuffer(int32_t n) {
    char* buffer = nullptr;
    if (n >= 1 && (buffer = TextBlock::Make(size_t(n) - 1)) == nullptr) Fail(15);
    SetOwnedText(buffer);
    return buffer;
}

void CValue::SetDefault() {
    Release(false);
    type_ = kValueDefault;
    payload_.integer = kDefaultInt;
}

void CValue::SetObject(CIBaseClassImpl* object, int release) {
    // Held first, so that running out of memory leaves the value as it was.
    ObjectLink* link = nullptr;
    if (object != nullptr && (link = object->Hold()) == nullptr) Fail(15);
    if (release != 0) Release(false);
    type_ = kValueInt;
    flags_ = 0;
    payload_.placeholder = 0;
    if (object == nullptr) return;
    ++object->useCount;
    type_ = kValueObject;
    payload_.link = link;
}

void CValue::SetUnboundMember(uintptr_t token) {
    SetPlaceholder(kValueUnboundMember, token);
}

void CValue::SetUnboundArray(uintptr_t token) {
    SetPlaceholder(kValueUnboundArray, token);
}

void CValue::SetUnboundMemberArray(uintptr_t token) {
    SetPlaceholder(kValueUnboundMemberArray, token);
}

void CValue::SetMissingElement(uint32_t flatIndex) {
    SetPlaceholder(kValueMissingElement, flatIndex);
}

void CValue::MakeArray() {
    CInterpretor* interpreter = CInterpretor::Current();
    if (interpreter == nullptr) Fail(15);
    CScriptArray* array = new (std::nothrow) CScriptArray(interpreter);
    if (array == nullptr) Fail(15);
    uint32_t handle = interpreter->arrayList.AddTail(reinterpret_cast<uintptr_t>(array));
    if (handle == 0) {
        delete array;
        Fail(15);
    }
    array->handle = handle;
    array->useCount = 1;
    Release(false);
    type_ = kValueArray;
    payload_.array = array;
}

void CValue::AssignHeld(const CValue& from) {
    if (&from == this) return;
    from.SettleIfObjectGone();
    // The new content is taken before the old one is released: releasing may free the
    // source (an item of an array that only this value held).
    uint32_t type = from.type_;
    auto payload = from.payload_;
    switch (type) {
    case kValueInt:
    case kValueDouble:
    case kValueFunction:
    case kValueDefault:
        break;
    case kValueString:
        if (payload.text == nullptr) break;
        if ((from.flags_ & (kBorrowedText | kBorrowedBlock)) != kBorrowedText) {
            TextBlock::Share(payload.text);
        } else {
            payload.text = TextBlock::Copy(payload.text, std::strlen(payload.text));
            if (payload.text == nullptr) Fail(15);
        }
        break;
    case kValueObject:
        if (payload.link->object->Hold() == nullptr) Fail(15);
        ++payload.link->object->useCount;
        break;
    case kValueArray:
        ++payload.array->useCount;
        break;
    default:
        from.Fail(41);
    }
    Release(false);
    type_ = type;
    payload_ = payload;
}

int32_t CValue::ConvertToInt() const {
    SettleIfObjectGone();
    switch (type_) {
    case kValueDouble:
        return DoubleToInt(payload_.number);
    case kValueString:
        return payload_.text != nullptr ? TextToInt(payload_.text) : 0;
    case kValueObject:
    case kValueFunction:
        Fail(18);
    case kValueDefault:
        return kDefaultInt;
    default:
        if (IsPlaceholder(type_)) Fail(41);
        return 0;
    }
}

double CValue::GetDouble() const {
    SettleIfObjectGone();
    switch (type_) {
    case kValueInt:
        return payload_.integer;
    case kValueDouble:
        return payload_.number;
    case kValueString:
        return payload_.text != nullptr ? TextToDouble(payload_.text) : 0.0;
    case kValueObject:
        Fail(18);
    case kValueDefault:
        return kDefaultDouble;
    default:
        if (IsPlaceholder(type_)) Fail(41);
        return 0.0;
    }
}

double CValue::GetFloat() const {
    switch (type_) {
    case kValueFunction:
        Fail(18);
    case kValueDefault:
        return kDefaultFloat;
    default:
        return GetDouble();
    }
}

const char* CValue::GetString() const {
    SettleIfObjectGone();
    switch (type_) {
    case kValueInt: {
        CInterpretor* interpreter = CInterpretor::Current();
        if (interpreter == nullptr) Fail(15);
        char* text = interpreter->AllocBuffer(kIntTextSize);
        *std::to_chars(text, text + kIntTextSize - 1, payload_.integer).ptr = '\0';
        return text;
    }
    case kValueDouble: {
        CInterpretor* interpreter = CInterpretor::Current();
        if (interpreter == nullptr) Fail(15);
        char* text = interpreter->AllocBuffer(kDoubleTextSize);
        FormatDouble(payload_.number, text, kDoubleTextSize);
        return text;
    }
    case kValueString:
        return payload_.text != nullptr ? payload_.text : "";
    case kValueObject:
    case kValueFunction:
        Fail(18);
    case kValueDefault:
        return kDefaultString;
    default:
        if (IsPlaceholder(type_)) Fail(41);
        return "";
    }
}

size_t CValue::GetStringLength() const {
    if (type_ != kValueString) return std::strlen(GetString());
    if (payload_.text == nullptr) return 0;
    if ((flags_ & (kBorrowedText | kBorrowedBlock)) == kBorrowedText)
        return std::strlen(payload_.text);
    return TextBlock::Length(payload_.text);
}

const char* CValue::GetStringSafe() const {
    const char* text = GetString();
    return text != nullptr ? text : "";
}

CIBaseClassImpl* CValue::GetObject() const {
    SettleIfObjectGone();
    if (type_ == kValueObject) return payload_.link->object;
    Fail(IsPlaceholder(type_) || type_ == kValueDefault ? 41 : 18);
}

CIBaseClassImpl* CValue::GetObjectNonNull() const {
    CIBaseClassImpl* object = GetObject();
    if (object == nullptr) Fail(32);
    return object;
}

void CValue::FailFunction() const {
    SettleIfObjectGone();
    Fail(IsPlaceholder(type_) ? 41 : 40);
}

uintptr_t CValue::GetPlaceholder() const {
    if (type_ >= kValueUnboundName && type_ <= kValueUnboundMemberArray &&
        payload_.placeholder != 0) {
        return payload_.placeholder;
    }
    Fail(41);
}

uint32_t CValue::GetMissingElementIndex() const {
    if (type_ == kValueMissingElement) return uint32_t(payload_.placeholder);
    Fail(41);
}

int CValue::IsObjectOfClass(uint32_t classId) const {
    int32_t id = GetObjectClassId();
    return id >= 0 && uint32_t(id) == classId;
}

int32_t CValue::GetObjectClassId() const {
    if (GetType() != kValueObject) return -1;
    const CClassRecord* record = payload_.link->object->classRecord;
    return record != nullptr ? int32_t(record->classIndex) : 0;
}

void CValue::ReleaseReferencesTo(CIBaseClassImpl* object) {
    if (object == nullptr) return;
    if (GetType() == kValueObject && payload_.link->object == object) {
        SetInt(0);
    } else if (CScriptArray* array = GetArray()) {
        array->ReleaseReferencesTo(object);
    }
}

CScriptArray* CValue::RequireArray() const {
    CScriptArray* array = GetArray();
    if (array == nullptr) Fail(44);
    return array;
}

CValue* CValue::GetArrayItemPtr(const int32_t* indices, int n) {
    CScriptArray* array = GetArray();
    if (array == nullptr) {
        MakeArray();
        array = GetArray();
    }
    return array->GetItem(array->GetFlatIndex(indices, n));
}

uint32_t CValue::GetArrayFlatIndex(const int32_t* indices, int n) {
    CScriptArray* array = GetArray();
    return array != nullptr ? array->GetFlatIndex(indices, n) : 0;
}

void CValue::SetArrayItem(int32_t index, const CValue* value) {
    RequireArray()->SetItem(&index, 1, value);
}

void CValue::SetArrayItemString(int32_t index, const char* text) {
    RequireArray()->SetItemString(&index, 1, text);
}

void CValue::SetArrayItemAt(const int32_t* indices, int n, const CValue* value) {
    RequireArray()->SetItem(indices, n, value);
}

void CValue::SetArrayItemFlat(uint32_t flatIndex, const CValue* value) {
    RequireArray()->SetItemFlat(flatIndex, value);
}
