#include "foundation/streams/in_stream.h"
#include "script/project/bank.h"
#include "script/project/element.h"

CInStream* CStringElement::OpenStream(int) {
    if (!HasData()) {
        SetLastBankCode(kResultReadError);
        return nullptr;
    }
    return OpenDataStream(size_ + 1);
}
