// The system classes' readers beside the C library: File's line reader against getline(3)
// over a 10 MB file of 100,000 lines, Binary's Find against memmem in 10 MB, INI files:
// parsing 1 MB beside GLib's key-file parser, 10,000 cached reads and 1,000 writes on a file
// of 500 keys, and Disk.CopyFile of 1 GB on tmpfs beside cp(1).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classes/system/byte_block.h"
#include "classes/system/file_reader.h"
#include "classes_system_script.h"
#include "foundation/files/file_layer.h"
#include "platform/files/drives.h"
#include "platform/profile/ini_document.h"
#include "platform/profile/profile.h"

// Last: GLib defines TRUE and FALSE as macros, which our headers declare as constants.
#include <glib.h>

namespace {

constexpr int kLines = 100000;
constexpr size_t kLineLength = 100;

// A file written on first use; removed when the program ends.
struct BenchFile {
    explicit BenchFile(const std::string& name, const std::string& content)
        : linuxPath("/tmp/zorv_bench_" + std::to_string(getpid()) + "_" + name) {
        FILE* out = std::fopen(linuxPath.c_str(), "wb");
        if (out == nullptr || std::fwrite(content.data(), 1, content.size(), out) != content.size())
            std::abort();
        std::fclose(out);
        if (!platform::LinuxToWindowsPath(linuxPath, windowsPath)) std::abort();
    }
    ~BenchFile() { std::remove(linuxPath.c_str()); }
    std::string linuxPath;
    std::string windowsPath;
};

const BenchFile& LinesFile() {
    static const BenchFile file("lines.txt", [] {
        std::string text;
        for (int i = 0; i < kLines; ++i)
            text += std::string(kLineLength - 2, char('a' + i % 26)) + "\r\n";
        return text;
    }());
    return file;
}

void BM_FileReadLn(benchmark::State& state) {
    const BenchFile& file = LinesFile();
    HANDLE handle = FileOpen(file.windowsPath.c_str(), 0);
    int32_t length = int32_t(FileGetSize(handle));
    for (auto _ : state) {
        CFileReader reader;
        int32_t position = 0;
        int lines = 0;
        while (position < length) {
            benchmark::DoNotOptimize(reader.ReadLine(handle, length, position));
            ++lines;
        }
        if (lines != kLines) std::abort();
    }
    FileClose(handle);
    state.SetBytesProcessed(int64_t(state.iterations()) * length);
}
BENCHMARK(BM_FileReadLn)->Unit(benchmark::kMillisecond);

void BM_Getline(benchmark::State& state) {
    const BenchFile& file = LinesFile();
    char* line = nullptr;
    size_t capacity = 0;
    for (auto _ : state) {
        FILE* in = std::fopen(file.linuxPath.c_str(), "rb");
        int lines = 0;
        while (getline(&line, &capacity, in) > 0)
            ++lines;
        std::fclose(in);
        if (lines != kLines) std::abort();
    }
    std::free(line);
    state.SetBytesProcessed(int64_t(state.iterations()) * kLines * int64_t(kLineLength));
}
BENCHMARK(BM_Getline)->Unit(benchmark::kMillisecond);

// 10 MB of text with the pattern only at its end; the pattern's first byte is common.
struct FindData {
    FindData() {
        haystack.Allocate(10 << 20);
        for (uint32_t i = 0; i < haystack.Size(); ++i)
            haystack.Data()[i] = uint8_t('a' + i % 7);
        const char needle[] = "abcdefgXYZ";
        pattern.Allocate(sizeof needle - 1);
        std::memcpy(pattern.Data(), needle, pattern.Size());
        std::memcpy(haystack.Data() + haystack.Size() - pattern.Size(), needle, pattern.Size());
    }
    CByteBlock haystack;
    CByteBlock pattern;
};

void BM_BinaryFind(benchmark::State& state) {
    static FindData data;
    for (auto _ : state)
        benchmark::DoNotOptimize(data.haystack.Find(data.pattern, 0));
    state.SetBytesProcessed(int64_t(state.iterations()) * data.haystack.Size());
}
BENCHMARK(BM_BinaryFind)->Unit(benchmark::kMillisecond);

void BM_Memmem(benchmark::State& state) {
    static FindData data;
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(data.haystack.Data(), data.haystack.Size(),
                                        data.pattern.Data(), data.pattern.Size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * data.haystack.Size());
}
BENCHMARK(BM_Memmem)->Unit(benchmark::kMillisecond);

std::string IniText(int sections, int keys) {
    std::string text;
    for (int s = 0; s < sections; ++s) {
        text += "[section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < keys; ++k)
            text += "key" + std::to_string(k) + " = value number " + std::to_string(k) + "\r\n";
    }
    return text;
}

void BM_IniParse1MB(benchmark::State& state) {
    static const std::string text = IniText(400, 80);
    for (auto _ : state) {
        platform::IniDocument document;
        document.Parse(text);
        benchmark::DoNotOptimize(document.LineCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_IniParse1MB)->Unit(benchmark::kMillisecond);

void BM_GKeyFileParse1MB(benchmark::State& state) {
    static const std::string text = IniText(400, 80);
    for (auto _ : state) {
        GKeyFile* keys = g_key_file_new();
        benchmark::DoNotOptimize(
            g_key_file_load_from_data(keys, text.data(), text.size(), G_KEY_FILE_NONE, nullptr));
        g_key_file_free(keys);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_GKeyFileParse1MB)->Unit(benchmark::kMillisecond);

constexpr int64_t kCopyBytes = int64_t(1) << 30;

// A 1 GB file on tmpfs (/dev/shm), so that the copy, not the disk, is timed.
struct CopySource {
    CopySource() {
        FILE* out = std::fopen(linuxPath.c_str(), "wb");
        if (out == nullptr) std::abort();
        std::string block(1 << 20, 'z');
        for (int64_t written = 0; written < kCopyBytes; written += int64_t(block.size()))
            if (std::fwrite(block.data(), 1, block.size(), out) != block.size()) std::abort();
        std::fclose(out);
        if (!platform::LinuxToWindowsPath(linuxPath, windowsPath) ||
            !platform::LinuxToWindowsPath(linuxCopy, windowsCopy))
            std::abort();
    }
    ~CopySource() {
        std::remove(linuxPath.c_str());
        std::remove(linuxCopy.c_str());
    }
    std::string linuxPath = "/dev/shm/zorv_bench_" + std::to_string(getpid()) + "_copy.bin";
    std::string linuxCopy = linuxPath + ".out";
    std::string windowsPath;
    std::string windowsCopy;
};

const CopySource& CopyFiles() {
    static const CopySource files;
    return files;
}

void BM_DiskCopyFile1GB(benchmark::State& state) {
    const CopySource& files = CopyFiles();
    std::string script = "If (Disk.CopyFile(\"" + files.windowsPath + "\", \"" + files.windowsCopy +
                         "\") != 1) x = 1 / 0;";
    for (auto _ : state)
        if (RunSystemScript(script) != 0) state.SkipWithError("Disk.CopyFile failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * kCopyBytes);
}
BENCHMARK(BM_DiskCopyFile1GB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Cp1GB(benchmark::State& state) {
    const CopySource& files = CopyFiles();
    std::string command = "cp '" + files.linuxPath + "' '" + files.linuxCopy + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * kCopyBytes);
}
BENCHMARK(BM_Cp1GB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ProfileCachedReads(benchmark::State& state) {
    static const BenchFile file("reads.ini", IniText(5, 100));
    char value[64];
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            std::string key = "key" + std::to_string(i % 100);
            GetPrivateProfileStringA("section4", key.c_str(), "", value, sizeof value,
                                     file.windowsPath.c_str());
        }
    }
}
BENCHMARK(BM_ProfileCachedReads)->Unit(benchmark::kMillisecond);

void BM_ProfileWrites(benchmark::State& state) {
    static const BenchFile file("writes.ini", IniText(5, 100));
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            std::string key = "key" + std::to_string(i % 100);
            WritePrivateProfileStringA("section2", key.c_str(), "changed",
                                       file.windowsPath.c_str());
        }
    }
}
BENCHMARK(BM_ProfileWrites)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
