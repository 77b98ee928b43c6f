#include "foundation/memory/exception.h"

void CWXException::Delete() {
    delete this;
}

void CWXException::Delete(CWXException* exception) {
    if (exception != nullptr) exception->Delete();
}

int CWXException::IsException() const {
    return 1;
}
