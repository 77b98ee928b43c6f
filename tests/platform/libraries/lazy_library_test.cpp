#include "platform/libraries/lazy_library.h"

#include <dlfcn.h>
#include <ffi.h>
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>
#include <zlib.h>

#include <string>

#include "platform/libraries/lazy_table.h"

namespace platform {
namespace {

void Unloaded() {}

struct Slots {
    void* slots[2] = {reinterpret_cast<void*>(&Unloaded), reinterpret_cast<void*>(&Unloaded)};
    bool Untouched() const {
        return slots[0] == reinterpret_cast<void*>(&Unloaded) &&
               slots[1] == reinterpret_cast<void*>(&Unloaded);
    }
};

TEST(LazyLibrary, AMissingLibraryOrFunctionNamesThePackageAndLeavesTheSlots) {
    Slots missing;
    const char* const symbols[] = {"zlibVersion", "crc32"};
    const LazyTable absent{"libzorv-absent.so.7", "libzorv-absent7", symbols, missing.slots, 2};
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenLazyTable(absent), nullptr);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("libzorv-absent.so.7"), std::string::npos) << said;
    EXPECT_NE(said.find("install the package libzorv-absent7"), std::string::npos) << said;
    EXPECT_TRUE(missing.Untouched());

    // An older library without one of the functions is refused whole.
    Slots older;
    const char* const newer[] = {"zlibVersion", "zorv_function_of_a_later_version"};
    const LazyTable old{"libz.so.1", "zlib1g", newer, older.slots, 2};
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenLazyTable(old), nullptr);
    said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("lacks zorv_function_of_a_later_version"), std::string::npos) << said;
    EXPECT_NE(said.find("zlib1g"), std::string::npos) << said;
    EXPECT_TRUE(older.Untouched());
}

TEST(LazyLibrary, ALoadedTablePointsEverySlotAtTheLibrarysFunction) {
    Slots loaded;
    const char* const symbols[] = {"zlibVersion", "crc32"};
    const LazyTable zlib{"libz.so.1", "zlib1g", symbols, loaded.slots, 2};
    void* handle = OpenLazyTable(zlib);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(loaded.slots[0], dlsym(handle, "zlibVersion"));
    EXPECT_EQ(loaded.slots[1], dlsym(handle, "crc32"));
    auto version = reinterpret_cast<const char* (*)()>(loaded.slots[0]);
    EXPECT_STREQ(version(), zlibVersion());
    dlclose(handle);
}

// Every table against the libraries installed here: a name that the installed version
// lacks, or a misspelt one, fails here rather than on a user's first movie.
TEST(LazyLibrary, EveryTableLoadsAgainstTheInstalledLibraries) {
    for (LazyLibrary library :
         {LazyLibrary::Sdl2,       LazyLibrary::Curl,       LazyLibrary::X11,
          LazyLibrary::Freetype,   LazyLibrary::Fontconfig, LazyLibrary::Systemd,
          LazyLibrary::Cairo,      LazyLibrary::Cups,       LazyLibrary::AvFormat,
          LazyLibrary::AvCodec,    LazyLibrary::AvUtil,     LazyLibrary::SwScale,
          LazyLibrary::SwResample, LazyLibrary::FluidSynth, LazyLibrary::OpenMpt,
          LazyLibrary::EspeakNg,   LazyLibrary::Alsa,       LazyLibrary::Png,
          LazyLibrary::Jpeg,       LazyLibrary::Ffi})
        EXPECT_TRUE(Require(library)) << int(library);
    // The one variable we use, from the library's own copy: sd-bus compares its address.
    EXPECT_EQ(LazyLibraryData(LazyLibrary::Systemd, "sd_bus_object_vtable_format"),
              &sd_bus_object_vtable_format);
    EXPECT_EQ(LazyLibraryData(LazyLibrary::Systemd, "zorv_no_such_variable"), nullptr);
    // libffi's type descriptions, which calls into a shared library's exports are built on.
    const struct {
        const char* name;
        size_t size;
        unsigned short type;
    } described[] = {{"ffi_type_sint32", 4, FFI_TYPE_SINT32},
                     {"ffi_type_float", 4, FFI_TYPE_FLOAT},
                     {"ffi_type_double", 8, FFI_TYPE_DOUBLE},
                     {"ffi_type_pointer", sizeof(void*), FFI_TYPE_POINTER}};
    for (const auto& expected : described) {
        const auto* type =
            static_cast<const ffi_type*>(LazyLibraryData(LazyLibrary::Ffi, expected.name));
        ASSERT_NE(type, nullptr) << expected.name;
        EXPECT_EQ(type->size, expected.size) << expected.name;
        EXPECT_EQ(type->type, expected.type) << expected.name;
    }
}

} // namespace
} // namespace platform
