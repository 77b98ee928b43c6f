// The rich edit on the headless display: a megabyte of RTF read and written (reading timed
// beside unrtf(1) turning the same file into text), bold set over a megabyte selection, a
// full page rendered by EM_FORMATRANGE, and URL detection when 100 kB are pasted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/controls/clipboard_text.h"
#include "platform/controls/rich_edit/rich_edit.h"
#include "platform/controls/rich_edit/rtf_reader.h"
#include "platform/controls/rich_edit/rtf_writer.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/bitmaps/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/screen_dc.h"
#include "platform/user/windows.h"

namespace {

HWND Parent() {
    static HWND parent = [] {
        platform::SetActiveDisplay(platform::MakeHeadlessDisplay());
        WNDCLASSA parentClass{};
        parentClass.lpfnWndProc = DefWindowProcA;
        parentClass.lpszClassName = "BenchRichParent";
        RegisterClassA(&parentClass);
        return CreateWindowExA(0, "BenchRichParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, 0,
                               0, 0, nullptr);
    }();
    return parent;
}

// About a megabyte of paragraphs with bold, italic and coloured words.
const std::string& MegabyteOfRtf() {
    static const std::string rtf = [] {
        std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
                           "{\\colortbl ;\\red200\\green0\\blue0;}\n";
        for (int paragraph = 0; text.size() < (1 << 20); ++paragraph)
            text += "\\pard paragraph " + std::to_string(paragraph) +
                    " with \\b bold\\b0 , \\i italic\\i0 and \\cf1\\f1 red serif\\cf0\\f0 "
                    "words, caf\\'e9 \\u8364? and a tab\\tab here\\par\n";
        return text + "}";
    }();
    return rtf;
}

HWND BigRichEdit() {
    HWND edit = CreateWindowExA(0, kRichEditClass, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0,
                                600, 400, Parent(), 0, 0, nullptr);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    return edit;
}

DWORD ReadString(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* done) {
    auto* text = reinterpret_cast<std::string_view*>(cookie);
    size_t n = std::min(text->size(), static_cast<size_t>(count));
    std::copy_n(text->data(), n, buffer);
    text->remove_prefix(n);
    *done = static_cast<LONG>(n);
    return 0;
}

void StreamIn(HWND edit, std::string_view data, WPARAM format) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&data), 0, ReadString};
    SendMessageA(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

void BM_ReadRtfBesideUnrtf(benchmark::State& state) {
    std::filesystem::path file = std::filesystem::temp_directory_path() / "zorv_bench_rich.rtf";
    std::ofstream(file, std::ios::binary) << MegabyteOfRtf();
    std::string command = "unrtf --text '" + file.string() + "' > /dev/null 2>&1";
    if (std::system("command -v unrtf > /dev/null 2>&1") != 0) {
        state.SkipWithError("unrtf is not installed (tools/deps bench)");
        return;
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, theirs{};
    size_t length = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        std::optional<platform::RichText> document =
            platform::ReadRtf(MegabyteOfRtf(), platform::RichFormat{});
        auto middle = Clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("unrtf failed");
        auto end = Clock::now();
        length = document ? document->Text().size() : 0;
        ours += middle - start;
        theirs += end - middle;
    }
    std::filesystem::remove(file);
    auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    double megabytes = double(state.iterations()) * double(MegabyteOfRtf().size()) / 1e6;
    state.counters["ours_MB/s"] = megabytes / seconds(ours);
    state.counters["unrtf_MB/s"] = megabytes / seconds(theirs);
    state.counters["ratio"] = seconds(ours) / seconds(theirs);
    state.counters["text_bytes"] = double(length);
}
BENCHMARK(BM_ReadRtfBesideUnrtf)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteRtfOfAMegabyte(benchmark::State& state) {
    platform::RichText document =
        platform::ReadRtf(MegabyteOfRtf(), platform::RichFormat{}).value();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::WriteRtf(document));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(MegabyteOfRtf().size()));
}
BENCHMARK(BM_WriteRtfOfAMegabyte)->Unit(benchmark::kMillisecond);

void BM_BoldOverAMegabyteSelection(benchmark::State& state) {
    HWND edit = BigRichEdit();
    StreamIn(edit, MegabyteOfRtf(), SF_RTF);
    CHARFORMATA format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_BOLD;
    bool bold = true;
    for (auto _ : state) {
        CHARRANGE all{0, -1};
        SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        format.dwEffects = bold ? CFE_BOLD : 0;
        SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        bold = !bold;
    }
    DestroyWindow(edit);
}
BENCHMARK(BM_BoldOverAMegabyteSelection)->Unit(benchmark::kMillisecond);

void BM_FormatRangeOfAFullPage(benchmark::State& state) {
    HWND edit = BigRichEdit();
    StreamIn(edit, MegabyteOfRtf(), SF_RTF);
    HDC screen = GetDC(0);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP page = CreateCompatibleBitmap(screen, 794, 1123); // A4 at 96 dots an inch
    ReleaseDC(0, screen);
    HGDIOBJ old = SelectObject(memory, page);
    LONG from = 0;
    for (auto _ : state) {
        FORMATRANGE range{memory, memory, {720, 720, 11906 - 720, 16838 - 720}, {}, {from, -1}};
        LRESULT next = SendMessageA(edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        from = next < 1000000 ? static_cast<LONG>(next) : 0;
    }
    SendMessageA(edit, EM_FORMATRANGE, FALSE, 0);
    SelectObject(memory, old);
    DeleteObject(page);
    DeleteDC(memory);
    DestroyWindow(edit);
}
BENCHMARK(BM_FormatRangeOfAFullPage)->Unit(benchmark::kMillisecond);

void BM_UrlDetectionOnA100kPaste(benchmark::State& state) {
    std::string text;
    for (int i = 0; text.size() < 100 * 1024; ++i)
        text += "see http://example.com/page" + std::to_string(i) + " or www.example.org now\r\n";
    for (auto _ : state) {
        HWND edit = BigRichEdit();
        SendMessageA(edit, EM_AUTOURLDETECT, TRUE, 0);
        platform::PutClipboardText(text);
        SendMessageA(edit, WM_PASTE, 0, 0);
        DestroyWindow(edit);
    }
}
BENCHMARK(BM_UrlDetectionOnA100kPaste)->Unit(benchmark::kMillisecond);

} // namespace
