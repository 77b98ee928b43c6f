#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/dialogs/scripted_dialogs.h"
#include "script/script_runner.h"
#include "support/command_output.h"
#include "support/temp_dir.h"

namespace {

using test_support::CommandOutput;

namespace fs = std::filesystem;

// A field of pdfinfo's report ("Pages", "Page size").
std::string PdfInfo(const std::string& path, const std::string& field) {
    std::string report = CommandOutput("pdfinfo '" + path + "' 2>/dev/null");
    size_t at = report.find(field + ":");
    if (at == std::string::npos) return "";
    size_t start = report.find_first_not_of(' ', at + field.size() + 1);
    return report.substr(start, report.find('\n', start) - start);
}

// Prints go to numbered files in a folder of the test's own, on A4 paper.
class PrinterClass : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "poppler-utils is not installed";
        dir.WriteFile("out/.keep", "");
        folder = dir.Linux("out");
        setenv("ZORV_PRINTER", ("file:" + folder).c_str(), 1);
        unsetenv("LC_ALL");
        setenv("LC_PAPER", "C", 1);
        platform::SetCommonDialogProvider(dialogs);
    }
    void TearDown() override {
        unsetenv("ZORV_PRINTER");
        platform::SetCommonDialogProvider(nullptr);
    }
    std::string Run(const std::string& source) {
        script_test::ScriptRunner runner;
        script_test::ScriptResult result = runner.Run(source);
        EXPECT_EQ(result.ok, 1) << "error " << result.code << " line " << result.line + 1;
        return result.output;
    }
    std::vector<std::string> Documents() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".pdf") names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test_support::TempDir dir;
    std::string folder;
    std::shared_ptr<platform::test::ScriptedDialogs> dialogs =
        std::make_shared<platform::test::ScriptedDialogs>();
};

TEST_F(PrinterClass, NestedDocumentsAreSentByTheOutermostSendAndAnOpenPageKeepsThem) {
    std::string output = Run("p = New Printer();\n"
                             "Print(p.GetPrinterSurface(), p.GetPrinterWidth());\n"
                             "p.InitDocument(\"outer\"); p.InitDocument();\n"
                             "Print(p.GetPrinterDotPerInchX(), p.GetPrinterWidth(), "
                             "p.GetPrinterHeight());\n"
                             "p.NewPage(); p.EndPage();\n"
                             "p.SendDocument(); Program.Wait(1);\n"
                             "p.NewPage(); p.SendDocument(); p.SendDocument();\n"
                             "Print(p.GetPrinterWidth() > 0);\n"
                             "p.EndPage(); p.SendDocument();\n"
                             "Print(p.GetPrinterWidth());\n"
                             "p.SendDocument(); p.AbortDocument();\n");
    // A4 at 300 dots an inch less a quarter inch on each side.
    EXPECT_EQ(output, "0 0\n300 2330 3358\n1\n0\n");
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(PdfInfo(documents[0], "Pages"), "2");
    EXPECT_EQ(PdfInfo(documents[0], "Page size").substr(0, 19), "595.276 x 841.89 pt");
}

TEST_F(PrinterClass, AnAbortedDocumentLeavesNoFileAndEndPageWithoutSurfaceIsBlank) {
    Run("p = New Printer();\n"
        "p.InitDocument(); p.NewPage(); p.AbortDocument();\n"
        "p.InitDocument(\"blank\"); p.NewPage(); p.EndPage(); p.SendDocument();\n");
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(PdfInfo(documents[0], "Pages"), "1");
    EXPECT_EQ(
        CommandOutput("pdftotext '" + documents[0] + "' - 2>/dev/null").find_first_not_of("\n\f "),
        std::string::npos);
}

TEST_F(PrinterClass, ALongTextGoesOnAsManyPagesAsItNeedsAndStaysText) {
    Run("t = \"First words of the text.\";\n"
        "For (i = 0; i < 400; i++) t = t + \" line \" + i + \" of a long text that wraps.\\n\";\n"
        "t = t + \"Closing sentence.\";\n"
        "p = New Printer();\np.Print(\"Long\", t);\n");
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_GT(std::stoi(PdfInfo(documents[0], "Pages")), 2);
    std::string text = CommandOutput("pdftotext '" + documents[0] + "' - 2>/dev/null");
    EXPECT_NE(text.find("First words of the text."), std::string::npos) << text.substr(0, 400);
    EXPECT_NE(text.find("line 250 of a long text that wraps."), std::string::npos);
    EXPECT_NE(text.find("Closing sentence."), std::string::npos);
}

TEST_F(PrinterClass, ARichEditPrintsItsWholeTextPageAfterPageWithItsFormats) {
    Run("w = New Window(300, 200, 0, 0);\n"
        "t = \"Opening words.\"; n = Program.GetChar(10);\n"
        "For (i = 0; i < 150; i++) t = t + n + \"Paragraph \" + i + \" of the rich text.\";\n"
        "t = t + n + \"Final words.\";\n"
        "r = New RichEdit(t, 10, 10, 200, 100);\n"
        "r.SetSelection(0, 7); r.SetCharHeight(40); r.SetCharBold(1);\n"
        "p = New Printer();\np.Print(\"Rich\", r);\n"
        "r2 = New RichEdit(\"\", 10, 10, 200, 100);\np.Print(\"Empty\", r2);\n");
    // Documents are numbered in the order they were printed.
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 2u);
    const std::string& path = documents[0];
    std::string text = CommandOutput("pdftotext '" + path + "' - 2>/dev/null");
    int pages = std::stoi(PdfInfo(path, "Pages"));
    EXPECT_GE(pages, 3);
    // Each page goes on where the one before stopped: nothing lost, nothing printed twice.
    std::string last = CommandOutput("pdftotext -f " + std::to_string(pages) + " -l " +
                                     std::to_string(pages) + " '" + path + "' - 2>/dev/null");
    EXPECT_NE(last.find("Final words."), std::string::npos);
    EXPECT_EQ(last.find("Paragraph 5 "), std::string::npos);
    EXPECT_NE(text.find("Opening"), std::string::npos) << text.substr(0, 400);
    for (int i = 0; i < 150; i += 7) {
        std::string line = "Paragraph " + std::to_string(i) + " of the rich text.";
        size_t at = text.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        if (at != std::string::npos) {
            EXPECT_EQ(text.find(line, at + 1), std::string::npos) << line;
        }
    }
    EXPECT_NE(text.find("Final words."), std::string::npos);
    // An empty rich edit still gives its one, blank, page.
    EXPECT_EQ(PdfInfo(documents[1], "Pages"), "1");
    EXPECT_EQ(
        CommandOutput("pdftotext '" + documents[1] + "' - 2>/dev/null").find_first_not_of("\n\f "),
        std::string::npos);
}

TEST_F(PrinterClass, ThePageSurfaceIsPrintedOverTheWholePage) {
    Run("p = New Printer();\np.InitDocument();\np.NewPage();\n"
        "s = p.GetPrinterSurface();\n"
        "Print(s.GetPixelWidth(), s.GetPixelHeight());\n"
        "s.SetPenColor(0xFF0000); s.SetFillColor(0xFF0000);\n"
        "s.Rectangle(0, 0, s.GetPixelWidth() / 2, s.GetPixelHeight());\n"
        "p.EndPage(); p.SendDocument();\n");
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 1u);
    // 10 dots an inch: the page is 83 by 117 pixels; the left half of the printable area red,
    // the rest white.
    std::string ppm =
        CommandOutput("pdftoppm -r 10 -singlefile '" + documents[0] + "' 2>/dev/null");
    ASSERT_GT(ppm.size(), 15u);
    ASSERT_EQ(ppm.substr(0, 2), "P6");
    size_t header = 0;
    for (int fields = 0; fields < 4; ++fields) {
        header = ppm.find_first_of(" \n", header) + 1;
    }
    int width = std::stoi(ppm.substr(3));
    // Whether the pixel is within 8 of the colour in each channel.
    auto near = [&](int x, int y, uint32_t color) {
        size_t at = header + (size_t(y) * width + x) * 3;
        for (int channel = 0; channel < 3; ++channel) {
            int want = int(color >> (16 - 8 * channel) & 0xFF);
            if (std::abs(int(uint8_t(ppm[at + channel])) - want) > 8) return false;
        }
        return true;
    };
    EXPECT_TRUE(near(20, 60, 0xFF0000));
    EXPECT_TRUE(near(60, 60, 0xFFFFFF));
    // The quarter-inch margin stays paper.
    EXPECT_TRUE(near(1, 60, 0xFFFFFF));
}

TEST_F(PrinterClass, WithoutAPrinterNothingOpensAndNothingPrints) {
    setenv("ZORV_PRINTER", "none", 1);
    EXPECT_EQ(Run("p = New Printer();\np.InitDocument();\n"
                  "Print(p.GetPrinterSurface(), p.GetPrinterWidth());\n"
                  "p.NewPage(); p.EndPage(); p.SendDocument(); p.Print(, \"text\"); "
                  "p.PrintScreen();\n"),
              "0 0\n");
    EXPECT_TRUE(Documents().empty());
}

TEST_F(PrinterClass, TheSelectorsPrinterOutlivesTheSelectorAndWindowsSurfacesAndTheScreenPrint) {
    platform::PrintDialogAnswer answer;
    answer.printer = "file:" + folder;
    dialogs->printers = {answer};
    Run("s = New Selector();\nPrint(s.PrintDialog());\n"
        "p = New Printer();\np.InitDocument(s, \"chosen\");\nDelete s;\n"
        "p.NewPage(); p.EndPage(); p.SendDocument();\n"
        "w = New Window(\"Shown\", 200, 100, 10, 10);\np.PrintScreen();\n"
        "p.Print(\"window\", w);\np.Print(, New Surface(100, 50, 16), 1);\n");
    std::vector<std::string> documents = Documents();
    ASSERT_EQ(documents.size(), 4u);
    for (const std::string& document : documents)
        EXPECT_EQ(PdfInfo(document, "Pages"), "1") << document;
    script_test::ScriptRunner runner;
    EXPECT_EQ(runner.Run("p = New Printer();\np.Print(, 7);\n").code, 14);
    EXPECT_EQ(runner.Run("p = New Printer();\np.InitDocument(\"a\", \"b\");\n").code, 14);
}

TEST_F(PrinterClass, ThePdfPrinterAsksForTheFileAndACancelOpensNoDocument) {
    setenv("ZORV_PRINTER", "PDF", 1);
    dialogs->files = {std::nullopt,
                      platform::FileDialogAnswer{dir.Win("chosen"), {"report.pdf"}, 1}};
    dir.WriteFile("chosen/.keep", "");
    EXPECT_EQ(Run("p = New Printer();\np.InitDocument(\"report\");\n"
                  "Print(p.GetPrinterSurface());\n"
                  "p.Print(\"report\", \"Hello paper\");\n"),
              "0\n");
    ASSERT_EQ(dialogs->fileRequests.size(), 2u);
    EXPECT_TRUE(dialogs->fileRequests[0].save);
    EXPECT_EQ(dialogs->fileRequests[1].initialName, "report.pdf");
    std::string text =
        CommandOutput("pdftotext '" + dir.Linux("chosen/report.pdf") + "' - 2>/dev/null");
    EXPECT_NE(text.find("Hello paper"), std::string::npos);
}

} // namespace
