#include "script/string_bank_text.h"

int LoadStringBankText(CInterpretor&, const CValue&, CValue&) {
    return 0;
}
