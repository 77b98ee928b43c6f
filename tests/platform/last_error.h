// A failing call and the error it left, checked in one expectation.
#pragma once

#include "platform/kernel/errors.h"

// The last error when `result` is the failure value; ERROR_SUCCESS when the call did not
// fail, so that a wrong success cannot pass for the expected error.
template <class Result, class Failure> DWORD ErrorOf(Result result, Failure failure) {
    return result == static_cast<Result>(failure) ? GetLastError() : DWORD{ERROR_SUCCESS};
}
