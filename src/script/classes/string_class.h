// The String class: the methods of every text in a script. A method called on a text
// value runs on a temporary String that borrows the text; New String(...) loads a text
// from the project's string bank. No method changes the object's own text: each one
// leaves a new text or a number in the result slot.
#pragma once

#include <cstdint>

#include "script/classes/base_class.h"
#include "script/values/value.h"

class CIString : public CIBaseClassImpl {
public:
    static constexpr uint32_t kClassId = 8;

    // Method ids of the name table.
    enum : uint16_t {
        kBig = 1,
        kBold,
        kFontColor,
        kFontSize,
        kItalics,
        kSmall,
        kStrike,
        kSub,
        kSup,
        kToLowerCase,
        kToUpperCase,
        kCharAt,
        kIndexOf,
        kLastIndexOf,
        kSubString,
        kLength,
        kGetFloat,
        kGetInt,
        kGetAscii,
        kCompareNoCase,
        kReplace,
        kMethodCount,
    };

    // Listed in the String object list. The text is copied, or borrowed when `borrow`
    // is set: a borrowed text must outlive the object and must not be the text of the
    // interpreter's result slot, which every method replaces. A null text reads as "".
    CIString(CInterpretor* interpreter, const CClassRecord* record, const char* text, int borrow);

    void CallMethod(uint16_t methodId) override;
    // The deleting destructor.
    void Destroy(int flag) override;
    // New String(selector) loads an element of the string bank (error 79 when there is
    // none); without a selector, or with more than one argument, the text is empty.
    void Create() override;

private:
    // The object's text, "" for none.
    const char* Text() const { return text_.GetStringSafe(); }

    // Big to Sup: the text between the opening and the closing tag of the method.
    template <uint16_t Id> void WrapInTags();
    void ToLowerCase();
    void ToUpperCase();
    void CharAt();
    void IndexOf();
    void LastIndexOf();
    void SubString();
    void Length();
    void GetFloat();
    void GetInt();
    void GetAscii();
    void CompareNoCase();
    void Replace();

    void StoreMapped(const unsigned char* map);

    static const ScriptMethod<CIString> kMethods[kMethodCount];

    // A string value; null text when empty.
    CValue text_;
};

// The description of the String class, for RegisterScriptClass.
const ScriptClassInfo* GetStringClassInfo();
