#include "platform/process/ffi_call.h"

#include <ffi.h>

#include <vector>

#include "platform/libraries/lazy_library.h"

namespace {

// libffi's descriptions of the argument types are variables of the library, which the
// trampolines cannot serve: they are looked up once, in the loaded library.
struct FfiTypes {
    ffi_type* sint32;
    ffi_type* single;
    ffi_type* real;
    ffi_type* pointer;
};

const FfiTypes* LoadedTypes() {
    static const FfiTypes types = [] {
        auto find = [](const char* name) {
            return static_cast<ffi_type*>(
                platform::LazyLibraryData(platform::LazyLibrary::Ffi, name));
        };
        return FfiTypes{find("ffi_type_sint32"), find("ffi_type_float"), find("ffi_type_double"),
                        find("ffi_type_pointer")};
    }();
    if (types.sint32 == nullptr || types.single == nullptr || types.real == nullptr ||
        types.pointer == nullptr)
        return nullptr;
    return &types;
}

} // namespace

bool CallExport(FARPROC function, const FfiArgument* arguments, size_t count, int32_t& result) {
    const FfiTypes* described = LoadedTypes();
    if (described == nullptr) return false;
    std::vector<ffi_type*> types(count);
    std::vector<void*> values(count);
    for (size_t i = 0; i < count; ++i) {
        const FfiArgument& argument = arguments[i];
        switch (argument.kind) {
        case FfiKind::Int32:
            types[i] = described->sint32;
            values[i] = const_cast<int32_t*>(&argument.int32);
            break;
        case FfiKind::Float:
            types[i] = described->single;
            values[i] = const_cast<float*>(&argument.single);
            break;
        case FfiKind::Double:
            types[i] = described->real;
            values[i] = const_cast<double*>(&argument.real);
            break;
        case FfiKind::Pointer:
            types[i] = described->pointer;
            values[i] = const_cast<void**>(&argument.pointer);
            break;
        }
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, unsigned(count), described->sint32, types.data()) !=
        FFI_OK)
        return false;
    // libffi widens integer results to a full register.
    ffi_arg returned = 0;
    ffi_call(&cif, function, &returned, values.data());
    result = int32_t(returned);
    return true;
}
