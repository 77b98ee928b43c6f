// SharedLibrary.CallFunction with the signature "IDS" (a script loop of 10,000 calls, each
// converting its arguments and copying its text) beside 10,000 direct ffi_calls of the same
// export with a prepared interface and a copied text.
#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <ffi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classes_system_script.h"
#include "side_by_side.h"

namespace {

constexpr int kCalls = 10000;

void DirectCalls(void* function) {
    ffi_cif cif;
    ffi_type* types[] = {&ffi_type_sint32, &ffi_type_double, &ffi_type_pointer};
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, 3, &ffi_type_sint32, types) != FFI_OK) std::abort();
    for (int i = 0; i < kCalls; ++i) {
        int32_t a = 1;
        double b = 2.5;
        std::string text = "text";
        char* c = text.data();
        void* values[] = {&a, &b, &c};
        ffi_arg result = 0;
        ffi_call(&cif, FFI_FN(function), &result, values);
        benchmark::DoNotOptimize(result);
    }
}

void BM_CallFunctionIDS(benchmark::State& state) {
    void* library = dlopen(ZORV_BENCH_CALL_TARGET, RTLD_NOW | RTLD_LOCAL);
    void* function = library != nullptr ? dlsym(library, "take_ids") : nullptr;
    if (function == nullptr) {
        state.SkipWithError("the call target cannot be loaded");
        return;
    }
    const std::string script =
        std::string("lib = New SharedLibrary(\"") + ZORV_BENCH_CALL_TARGET +
        "\");\nFor (i = 0; i < " + std::to_string(kCalls) +
        "; i++) lib.CallFunction(\"take_ids\", \"IDS\", 1, 2.5, \"text\");\n";
    bench::SideBySide(
        state, kCalls, "ffi_call",
        [&] {
            if (RunSystemScript(script) != 0) std::abort();
        },
        [&] { DirectCalls(function); });
    dlclose(library);
}
BENCHMARK(BM_CallFunctionIDS)->Unit(benchmark::kMillisecond);

} // namespace
