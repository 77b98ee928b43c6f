#include "foundation/files/file_layer.h"
#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/project/project_format.h"

int CAnimElement::ReadHeader(HANDLE file) {
    if (!CElement::ReadHeader(file)) return 0;
    if (bank == nullptr || bank->GetVersion() < project_format::kBankVersion2) return 1;
    uint8_t words[4];
    if (ResultCode result = FileRead(file, words, sizeof words)) {
        SetLastBankCode(result);
        return 0;
    }
    animWord1 = uint16_t(words[0] | words[1] << 8);
    animWord2 = uint16_t(words[2] | words[3] << 8);
    return 1;
}
