#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/surface/styled_text_entities.h"
#include "classes/surface/styled_text_tags.h"

namespace {

std::vector<StyledToken> Tokens(const std::string& text, int32_t height = -16) {
    std::vector<StyledToken> tokens;
    size_t cursor = 0;
    while (cursor < text.size()) {
        const size_t before = cursor;
        tokens.push_back(ParseTextTags(text, cursor, height));
        EXPECT_GT(cursor, before) << "the reader must move on: " << text;
        if (cursor <= before) break;
    }
    return tokens;
}

std::string Kinds(const std::vector<StyledToken>& tokens) {
    std::string out;
    for (const StyledToken& token : tokens) {
        if (!out.empty()) out += ' ';
        if (token.kind == kStyledText)
            out += "'" + token.text + "'";
        else
            out += std::to_string(token.kind & kStyledKindMask);
    }
    return out;
}

TEST(StyledTextTags, NamesInAnyCaseAndClosingTags) {
    EXPECT_EQ(Kinds(Tokens("a<B>b</B>c")), "'a' 4 'b' 4100 'c'");
    EXPECT_EQ(Kinds(Tokens("<u><strong><em><i><strike><tt><small><big><sup><sub>")),
              "3 4 5 5 6 10 11 12 13 14");
    EXPECT_EQ(Kinds(Tokens("</U></STRONG></EM></STRIKE></FONT></TT></SMALL></BIG></SUP></SUB>")),
              "4099 4100 4101 4102 4105 4106 4107 4108 4109 4110");
    // Unknown tags are skipped whole; a blank before the name and a quoted name are read.
    EXPECT_EQ(Kinds(Tokens("x<P>y<blink>z</BLINK>")), "'x' 1 'y' 1 'z' 1");
    EXPECT_EQ(Kinds(Tokens("< b>x<\"I\">")), "4 'x' 5");
    EXPECT_EQ(Kinds(Tokens("")), "");
}

TEST(StyledTextTags, MalformedTagsAreText) {
    EXPECT_EQ(Kinds(Tokens("x < y")), "'x ' '< y'");
    EXPECT_EQ(Kinds(Tokens("<B x>bold?<B>")), "'<B x>bold?' 4");
    EXPECT_EQ(Kinds(Tokens("a<")), "'a' '<'");
    // The name runs up to '>', so "<<B>" names the unknown tag "<B".
    EXPECT_EQ(Kinds(Tokens("<<B>")), "1");
    EXPECT_EQ(Kinds(Tokens("<FONT COLOR=#ff0000")), "'<FONT COLOR=#ff0000'");
    EXPECT_EQ(Kinds(Tokens("<FONT =x>t")), "'<FONT =x>t'");
    EXPECT_EQ(Kinds(Tokens("<FONT FACE=\"a<b\">t")), "9 't'") << "quotes hold a '<'";
}

TEST(StyledTextTags, FontAttributes) {
    std::vector<StyledToken> tokens =
        Tokens("<font face=\"Times New Roman\" color=#FF8001 size=+2 align=left>", -16);
    ASSERT_EQ(tokens.size(), 1u);
    const StyledToken& font = tokens[0];
    EXPECT_EQ(font.kind, kStyledFont | kStyledFaceGiven | kStyledColourGiven | kStyledSizeGiven);
    EXPECT_EQ(font.text, "TIMES NEW ROMAN");
    EXPECT_EQ(font.colour, 0x0180FFu) << "red first, stored as a COLORREF";
    EXPECT_EQ(font.height, -18);

    // Sizes: relative to |height|, at least 0 (then not given); a plain number as it is.
    EXPECT_EQ(Tokens("<FONT SIZE=-3>", 10)[0].height, -7);
    EXPECT_EQ(Tokens("<FONT SIZE=-30>", 10)[0].kind, kStyledFont);
    EXPECT_EQ(Tokens("<FONT SIZE=24>", 10)[0].height, -24);
    EXPECT_EQ(Tokens("<FONT SIZE=+99999999999>", -10)[0].height, -kStyledMaxHeight);
    // Colours: fewer than three pairs are ignored; '#' is optional.
    EXPECT_EQ(Tokens("<FONT COLOR=#FFF>")[0].kind, kStyledFont);
    EXPECT_EQ(Tokens("<FONT COLOR=\"00ff00\">")[0].colour, 0x00FF00u);
    EXPECT_EQ(Tokens("<FONT COLOR=zz0000>")[0].kind, kStyledFont);
    // An empty value ends the attributes, so a tag going on after one is text.
    EXPECT_EQ(Tokens("<FONT FACE=\"\" COLOR=#0000FF>")[0].kind, kStyledText);
    EXPECT_EQ(Tokens("<FONT FACE=\"\">")[0].text, "");
    // A blank before '=' and an attribute without a value.
    EXPECT_EQ(Tokens("<FONT NOWRAP FACE = Arial>")[0].text, "ARIAL");
    // Accented letters are compared in upper case too.
    EXPECT_EQ(Tokens("<FONT FACE=\xe9t\xe9>")[0].text, "\xc9T\xc9");
}

TEST(StyledTextEntities, RowsInTableOrder) {
    EXPECT_EQ(ReplaceEntities("&lt;B&gt;"), "<B>");
    EXPECT_EQ(ReplaceEntities("&amp;lt;"), "<") << "a later row completes what &amp; made";
    EXPECT_EQ(ReplaceEntities("&#38;#65;"), "A");
    EXPECT_EQ(ReplaceEntities("&lt;&#38;"), "<&");
    EXPECT_EQ(ReplaceEntities("&#09;&#10;&#13;&#32;&#255;"), "\t\n\r \xff");
    EXPECT_EQ(ReplaceEntities("&#9;&#8;&#256;"), "&#9;&#8;&#256;");
    EXPECT_EQ(ReplaceEntities("&quot;&nbsp;&copy;&brkbar;&die;&hibar;&yuml;"),
              "\"\xa0\xa9\xa6\xa8\xaf\xff");
    EXPECT_EQ(ReplaceEntities("&notit; &not;"), "\xacit; \xac;") << "&not has no semicolon";
    EXPECT_EQ(ReplaceEntities("&AElig;&aelig;&ETH;&eth;&THORN;&thorn;&szlig;&times;&divide;"),
              "\xc6\xe6\xd0\xf0\xde\xfe\xdf\xd7\xf7");
    EXPECT_EQ(ReplaceEntities("&unknown; & &amp"), "&unknown; & &amp");
}

TEST(StyledTextEntities, OriginsPointIntoTheRun) {
    std::vector<uint32_t> origins;
    EXPECT_EQ(ReplaceEntities("a&amp;lt;b&#65;", &origins), "a<bA");
    EXPECT_EQ(origins, (std::vector<uint32_t>{0, 1, 9, 10}));
    EXPECT_EQ(ReplaceEntities("", &origins), "");
    EXPECT_TRUE(origins.empty());
}

} // namespace
