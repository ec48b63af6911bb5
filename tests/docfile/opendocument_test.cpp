// The OpenDocument text written from the model: the package as ODF
// readers require it, its numbers whatever the locale. (LibreOffice's
// reading of the files is checked with the .doc files in readers_test.cpp.)
#include "docfile/opendocument/opendocument.h"
#include "odf.h"
#include "samples.h"

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <map>
#include <string>

using namespace docfile;

namespace {

std::string text(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t size)
{
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
}

// A file of the package, read back with libgsf's zip reader.
std::string member(const std::vector<unsigned char>& package, const char* name)
{
    gsf_init();
    GsfInput* input = gsf_input_memory_new(package.data(), static_cast<gsf_off_t>(package.size()), FALSE);
    GsfInfile* zip = gsf_infile_zip_new(input, nullptr);
    std::string text;
    if (GsfInput* file = zip ? gsf_infile_child_by_name(zip, name) : nullptr) {
        const auto size = static_cast<std::size_t>(gsf_input_size(file));
        text.resize(size);
        if (size > 0 && !gsf_input_read(file, size, reinterpret_cast<guint8*>(text.data()))) text.clear();
        g_object_unref(file);
    }
    if (zip) g_object_unref(zip);
    g_object_unref(input);
    return text;
}

} // namespace

// Lengths are written with a full stop whatever the locale's decimal mark
// (a German desktop once gave "515,9pt", which LibreOffice ignores).
TEST(OpenDocument, NumbersDoNotFollowTheLocale)
{
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale here";
    const std::vector<unsigned char> bytes = writeOpenDocumentBytes(samples::defaultTimetable());
    std::setlocale(LC_NUMERIC, saved.c_str());
    const std::string styles = member(bytes, "styles.xml");
    ASSERT_FALSE(styles.empty());
    EXPECT_NE(styles.find("fo:page-width=\"515.9pt\""), std::string::npos) << styles;
    const std::string content = member(bytes, "content.xml");
    EXPECT_EQ(content.find(",5pt"), std::string::npos);
    EXPECT_NE(styles.find("fo:font-size=\"10.5pt\""), std::string::npos);
}

// ODF readers find the package's kind in a first entry named "mimetype",
// stored uncompressed, right after its 30-byte zip header.
TEST(OpenDocument, TheMimetypeComesFirstAndStored)
{
    const std::vector<unsigned char> bytes = writeOpenDocumentBytes(samples::defaultTimetable());
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(text(bytes, 0, 4), std::string("PK\3\4"));
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 0) << "compression method";
    const std::size_t nameSize = bytes[26] | bytes[27] << 8, extraSize = bytes[28] | bytes[29] << 8;
    EXPECT_EQ(text(bytes, 30, nameSize), "mimetype");
    EXPECT_EQ(text(bytes, 30 + nameSize + extraSize, 39), "application/vnd.oasis.opendocument.text");
    // An empty document is still a document.
    EXPECT_GT(writeOpenDocumentBytes(Document{}).size(), 100u);
}

namespace {

// A strict reader of a CSS font-family list, as svg:font-family holds one:
// names separated by commas, each a quoted string or a run of identifiers
// separated by spaces. Anything else (a ';', an empty name, a stray
// character) makes it fail: an empty result.
std::vector<std::string> parseFontFamilies(const std::string& list)
{
    std::vector<std::string> names;
    std::size_t i = 0;
    auto space = [&] { while (i < list.size() && (list[i] == ' ' || list[i] == '\t')) ++i; };
    auto identifierChar = [](unsigned char c, bool first) {
        return c >= 0x80 || std::isalpha(c) || c == '_' || c == '-' || (!first && std::isdigit(c));
    };
    for (;;) {
        space();
        if (i == list.size()) return {};
        std::string name;
        if (list[i] == '\'' || list[i] == '"') {
            const char quote = list[i++];
            while (i < list.size() && list[i] != quote) {
                if (list[i] == '\\' && i + 1 < list.size()) ++i;
                name += list[i++];
            }
            if (i++ == list.size()) return {};
        } else {
            while (i < list.size() && identifierChar(static_cast<unsigned char>(list[i]), true)) {
                if (list[i] == '-' && i + 1 < list.size() && std::isdigit(static_cast<unsigned char>(list[i + 1]))) return {};
                if (!name.empty()) name += ' ';
                while (i < list.size() && identifierChar(static_cast<unsigned char>(list[i]), false)) name += list[i++];
                space();
            }
            if (name.empty()) return {};
        }
        names.push_back(name);
        space();
        if (i == list.size()) return names;
        if (list[i++] != ',') return {};
    }
}

} // namespace

TEST(OpenDocument, FontFamiliesAreCssLists)
{
    EXPECT_TRUE(parseFontFamilies("黑体;SimHei").empty()) << "the parser is strict";
    EXPECT_EQ(parseFontFamilies("a, 'b c'"), (std::vector<std::string>{"a", "b c"}));
    Document doc = samples::mixedText();
    std::get<Paragraph>(doc.blocks[0]).runs.push_back(samples::run("x", "Bob's Font"));
    std::get<Paragraph>(doc.blocks[0]).runs.push_back(samples::run("y", "serif"));
    const std::vector<unsigned char> bytes = writeOpenDocumentBytes(doc);
    std::map<std::string, std::vector<std::string>> faces;
    for (const std::string& part : {member(bytes, "content.xml"), member(bytes, "styles.xml")})
        for (const std::string& face : odf::elements(part, "<style:font-face ", ">"))
            faces[odf::unescapeXml(odf::attribute(face, "style:name"))] = parseFontFamilies(odf::unescapeXml(odf::attribute(face, "svg:font-family")));
    EXPECT_EQ(faces["宋体"], (std::vector<std::string>{"宋体", "SimSun"}));
    EXPECT_EQ(faces["黑体"], (std::vector<std::string>{"黑体", "SimHei"}));
    EXPECT_EQ(faces["楷体"], (std::vector<std::string>{"楷体", "KaiTi"}));
    EXPECT_EQ(faces["Times New Roman"], (std::vector<std::string>{"Times New Roman"}));
    EXPECT_EQ(faces["Bob's Font"], (std::vector<std::string>{"Bob's Font"}));
    EXPECT_EQ(faces["serif"], (std::vector<std::string>{"serif"}));
    EXPECT_EQ(fontFamilyList({"serif", "Times New Roman", "楷体_GB2312", "Bob's"}), "'serif', 'Times New Roman', 楷体_GB2312, 'Bob\\'s'");
}
