// Files a script reads come from anywhere: ReadLn and Read with any options over any
// bytes end, and the position never passes the length.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "classes/system/file_reader.h"
#include "foundation/files/file_layer.h"
#include "platform/files/drives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static std::string path;
    if (path.empty()) {
        std::string linuxPath = "/tmp/zorv_fuzz_file_read_" + std::to_string(getpid());
        if (!platform::LinuxToWindowsPath(linuxPath, path)) std::abort();
    }
    // The first byte picks the options and the buffer size, the second a separator.
    uint8_t options = data[0];
    std::string separators(1, char(data[1]));
    HANDLE file = FileCreate(path.c_str());
    if (file == INVALID_HANDLE_VALUE) return 0;
    FileWrite(file, data + 2, uint32_t(size - 2));
    int32_t length = int32_t(size - 2);
    CFileReader::SetBufferSizeForTests(1 + (options >> 4));
    CFileReader reader;
    int32_t position = 0;
    for (int call = 0; call < 4 * int(size) + 4; ++call) {
        int32_t before = position;
        if ((call + options) % 3 == 0)
            reader.ReadLine(file, length, position);
        else
            reader.ReadToken(file, length, position, separators, options & 1, options & 2,
                             options & 4);
        if (position > length || position < before) std::abort();
        if (position == length) break;
    }
    FileClose(file);
    return 0;
}
