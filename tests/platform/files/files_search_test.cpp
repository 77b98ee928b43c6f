#include <set>
#include <vector>

#include "platform/files/files_fixture.h"
#include "platform/files/short_names.h"
#include "platform/files/wildcard.h"

namespace {

using FileSearchTest = FilesTest;

struct Found {
    std::string name;
    std::string shortName;
    DWORD attributes;
    DWORD size;
};

// Every entry a search reports, in order; the error when it finds nothing.
std::vector<Found> Search(const std::string& pattern, DWORD* error = nullptr) {
    std::vector<Found> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return found;
    }
    do {
        found.push_back(
            {data.cFileName, data.cAlternateFileName, data.dwFileAttributes, data.nFileSizeLow});
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::vector<std::string> Names(const std::vector<Found>& found) {
    std::vector<std::string> names;
    for (const Found& entry : found)
        names.push_back(entry.name);
    return names;
}

using Strings = std::vector<std::string>;

TEST(WindowsPattern, MatchesLikeWindowsSearches) {
    auto matches = [](const char* pattern, const char* name) {
        return platform::WindowsPattern(pattern).Matches(name);
    };
    EXPECT_TRUE(matches("*.*", "noext"));
    EXPECT_TRUE(matches("*.*", "a.b.c"));
    EXPECT_TRUE(matches("*.", "noext"));
    EXPECT_FALSE(matches("*.", "a.txt"));
    EXPECT_TRUE(matches("*.txt", "A.B.TXT"));
    EXPECT_TRUE(matches("*.txt", ".txt"));
    EXPECT_FALSE(matches("*.txt", "a.txt.bak"));
    EXPECT_FALSE(matches("*.txt", "a.txtx"));
    EXPECT_TRUE(matches("a??.txt", "a.txt"));
    EXPECT_TRUE(matches("a??.txt", "abc.txt"));
    EXPECT_FALSE(matches("a??.txt", "abcd.txt"));
    EXPECT_TRUE(matches("????????.???", "readme"));
    EXPECT_TRUE(matches("\xE9t*", "\xC9T\xE9")); // É and é fold together
    EXPECT_FALSE(matches("?", ".."));
}

TEST(ShortNames, AreGeneratedStablyAndNeverCollide) {
    Strings names = {"Program Files",     "PROGRA~1", "Programs Extra", "readme.txt",
                     "My.Long.Name.html", ".profile", "a+b=c.TXT",      "caf\xE9.txt"};
    Strings expected = {"PROGRA~2",     "",         "PROGRA~3",  "",
                        "MYLONG~1.HTM", "PROFIL~1", "ABC~1.TXT", "CAF~1.TXT"};
    EXPECT_EQ(platform::MakeShortNames(names), expected);
    Strings reordered(names.rbegin(), names.rend());
    Strings again(expected.rbegin(), expected.rend());
    EXPECT_EQ(platform::MakeShortNames(reordered), again);

    Strings many;
    for (int i = 0; i < 12; ++i)
        many.push_back("Long name " + std::to_string(100 + i));
    std::set<std::string> unique;
    for (const std::string& shortName : platform::MakeShortNames(many)) {
        EXPECT_TRUE(platform::IsShortName(shortName)) << shortName;
        unique.insert(shortName);
    }
    EXPECT_EQ(unique.size(), many.size());
    EXPECT_TRUE(unique.count("LONGNA~9") && unique.count("LONGN~10"));
}

TEST_F(FileSearchTest, ListsAFolderAsWindowsDoes) {
    dir.WriteFile("b.txt", "12345");
    dir.WriteFile("A.TXT", "1");
    dir.WriteFile("noext", "");
    dir.WriteFile(".hidden", "");
    dir.WriteFile("Sub Folder/inner.txt", "");
    ASSERT_TRUE(SetFileAttributesA(W("b.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    std::vector<Found> all = Search(W("*"));
    EXPECT_EQ(Names(all), (Strings{".", "..", ".hidden", "A.TXT", "b.txt", "noext", "Sub Folder"}));
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(all[2].attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(all[4].attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(all[4].size, 5u);
    EXPECT_EQ(all[4].shortName, "");
    EXPECT_EQ(all[6].attributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(all[6].shortName, "SUBFOL~1");
    EXPECT_EQ(Search(W("*.*")).size(), 7u);

    EXPECT_EQ(Names(Search(W("*."))), (Strings{".", "..", "noext", "Sub Folder"}));
    EXPECT_EQ(Names(Search(dir.WinPath() + "/*.TXT")), (Strings{"A.TXT", "b.txt"}));
    EXPECT_EQ(Names(Search(W("sub folder\\*"))), (Strings{".", "..", "inner.txt"}));
    // A path without wildcards finds its entry through any spelling, with its long name.
    EXPECT_EQ(Names(Search(W("SUBFOL~1"))), (Strings{"Sub Folder"}));
    EXPECT_EQ(Names(Search(W("subfol~1\\INNER.TXT"))), (Strings{"inner.txt"}));

    DWORD error = 0;
    EXPECT_TRUE(Search(W("*.none"), &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(Search(W("missing\\*"), &error).empty());
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(Search(W("missing.txt"), &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(Search(W("Sub Folder\\"), &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(Search(W("a|b*"), &error).empty());
    EXPECT_EQ(error, ERROR_INVALID_NAME);
    EXPECT_TRUE(Search("\\\\server\\share\\*", &error).empty());
    EXPECT_EQ(error, ERROR_BAD_NETPATH);

    platform::SetDriveRoot('R', dir.Linux("Sub Folder"));
    EXPECT_EQ(Names(Search("R:\\*")), (Strings{"inner.txt"})); // a root has no "." nor ".."

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(W("*").c_str(), &data);
    HANDLE file = CreateFileA(W("A.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
    EXPECT_EQ(ErrorOf(FindNextFileA(file, &data), FALSE), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ErrorOf(FindClose(file), FALSE), ERROR_INVALID_HANDLE);
    CloseHandle(file);
    FindClose(search);
}

TEST_F(FileSearchTest, NamesRoundTripThroughWindows1252AndTheirShortForms) {
    HANDLE file =
        CreateFileA(W("caf\xE9.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(dir.Exists("caf\xC3\xA9.txt"));
    std::vector<Found> found = Search(W("CAF*"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "caf\xE9.txt");
    EXPECT_EQ(found[0].shortName, "CAF~1.TXT");
    EXPECT_NE(GetFileAttributesA(W("CAF~1.TXT").c_str()), INVALID_FILE_ATTRIBUTES);

    // A name Windows-1252 cannot spell: '?' stands for each lost character, matches like
    // any character, and the alternate name reaches the file.
    dir.WriteFile("\xE6\x97\xA5\xE6\x9C\xAC.txt", "kanji");
    found = Search(W("??.txt"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "??.txt");
    EXPECT_EQ(found[0].shortName, "_~1.TXT");
    EXPECT_EQ(ErrorOf(GetFileAttributesA(W(found[0].name).c_str()), INVALID_FILE_ATTRIBUTES),
              ERROR_INVALID_NAME);
    file =
        CreateFileA(W(found[0].shortName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0);
    EXPECT_EQ(ReadAll(file), "kanji");
    CloseHandle(file);
    EXPECT_EQ(Search(W("*")).size(), 4u);
}

} // namespace
