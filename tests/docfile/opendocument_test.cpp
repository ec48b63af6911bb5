// The OpenDocument text written from the model: the package as ODF
// readers require it, its numbers whatever the locale. (LibreOffice's
// reading of the files is checked with the .doc files in readers_test.cpp.)
#include "docfile/opendocument/opendocument.h"
#include "samples.h"

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <clocale>
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
