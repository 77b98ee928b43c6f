#include "foundation/in_stream.h"
#include "script/bank.h"
#include "script/element.h"

CInStream* CStringElement::OpenStream(int) {
    if (!HasData()) {
        SetLastBankCode(kResultReadError);
        return nullptr;
    }
    return OpenDataStream(size_ + 1);
}
