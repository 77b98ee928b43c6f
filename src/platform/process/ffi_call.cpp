#include "platform/process/ffi_call.h"

#include <ffi.h>

#include <vector>

bool CallExport(FARPROC function, const FfiArgument* arguments, size_t count, int32_t& result) {
    std::vector<ffi_type*> types(count);
    std::vector<void*> values(count);
    for (size_t i = 0; i < count; ++i) {
        const FfiArgument& argument = arguments[i];
        switch (argument.kind) {
        case FfiKind::Int32:
            types[i] = &ffi_type_sint32;
            values[i] = const_cast<int32_t*>(&argument.int32);
            break;
        case FfiKind::Float:
            types[i] = &ffi_type_float;
            values[i] = const_cast<float*>(&argument.single);
            break;
        case FfiKind::Double:
            types[i] = &ffi_type_double;
            values[i] = const_cast<double*>(&argument.real);
            break;
        case FfiKind::Pointer:
            types[i] = &ffi_type_pointer;
            values[i] = const_cast<void**>(&argument.pointer);
            break;
        }
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, unsigned(count), &ffi_type_sint32, types.data()) !=
        FFI_OK)
        return false;
    // libffi widens integer results to a full register.
    ffi_arg returned = 0;
    ffi_call(&cif, function, &returned, values.data());
    result = int32_t(returned);
    return true;
}
