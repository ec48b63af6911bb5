// Model -> writer -> reader gives back the same model, for the default
// timetable and awkward documents; and the file is the Word 97 kind.
#include "docfile/word97/container.h"
#include "docfile/text.h"
#include "samples.h"

#include <gtest/gtest.h>

using namespace docfile;
using samples::cell;
using samples::paragraph;
using samples::run;

namespace {

Document roundTrip(const Document& doc, ReadReport* report = nullptr)
{
    return readBytes(writeBytes(doc), report);
}

struct Named {
    const char* name;
    Document doc;
};

std::vector<Named> documents()
{
    return {
        {"default timetable", samples::defaultTimetable()},
        {"empty title", samples::emptyTitle()},
        {"merged first and last rows", samples::mergedFirstAndLastRows()},
        {"ten periods by seven days", samples::tenPeriodsSevenDays()},
        {"long cell texts", samples::longCellTexts()},
        {"mixed Chinese and Latin text", samples::mixedText()},
        {"landscape page", samples::landscapePage()},
        {"a hundred lessons", samples::longTimetable(100)},
        {"Word's cell margins", samples::withCellMargin(108)},
        {"no cell margins", samples::withCellMargin(0)},
        {"the editor's formatting", samples::formattedTimetable()},
    };
}

} // namespace

TEST(RoundTrip, GivesTheSameModel)
{
    for (const Named& n : documents()) {
        SCOPED_TRACE(n.name);
        ReadReport report;
        const Document back = roundTrip(n.doc, &report);
        EXPECT_EQ(back.section, n.doc.section);
        ASSERT_EQ(back.blocks.size(), n.doc.blocks.size());
        for (std::size_t i = 0; i < back.blocks.size(); ++i) EXPECT_TRUE(back.blocks[i] == n.doc.blocks[i]) << "block " << i;
        EXPECT_FALSE(report.lossy()) << report.dropped.front();
    }
}

TEST(RoundTrip, KeepsTheMergedLunchRowAsOneFullWidthCell)
{
    const Document doc = roundTrip(samples::defaultTimetable());
    const Table& table = std::get<Table>(doc.blocks.at(1));
    ASSERT_EQ(table.rows.size(), 10u);
    const Row& lunch = table.rows[5];
    ASSERT_EQ(lunch.cells.size(), 1u);
    EXPECT_EQ(lunch.cells[0].paragraphs.at(0).runs.at(0).text, "午　休");
    std::int32_t rowWidth = 0;
    for (const Cell& c : table.rows[4].cells) rowWidth += c.width;
    EXPECT_EQ(lunch.cells[0].width, rowWidth);
}

TEST(RoundTrip, KeepsTheEditorsFormatting)
{
    // Each property on its own, so that a fault names the one lost.
    const Document doc = samples::formattedTimetable();
    const Document back = roundTrip(doc);
    const Paragraph& title = std::get<Paragraph>(back.blocks.at(0));
    ASSERT_EQ(title.runs.size(), 2u);
    EXPECT_EQ(title.runs[0].colour, 0xC00000u);
    EXPECT_FALSE(title.runs[0].italic);
    EXPECT_TRUE(title.runs[1].italic);
    EXPECT_TRUE(title.runs[1].underline);
    EXPECT_EQ(title.runs[1].colour, 0x0070C0u);
    const Paragraph& note = std::get<Paragraph>(back.blocks.at(1));
    EXPECT_TRUE(note.runs.empty());
    EXPECT_TRUE(note.mark.italic);
    EXPECT_TRUE(note.mark.underline);
    EXPECT_EQ(note.mark.colour, 0x00B050u);

    const Table& table = std::get<Table>(back.blocks.at(2));
    EXPECT_EQ(table.rows.at(0).heightRule, 2);
    EXPECT_EQ(table.rows.at(0).height, 567);
    EXPECT_EQ(table.rows.at(1).heightRule, 1);
    EXPECT_EQ(table.rows.at(1).height, 454);
    // Black is a colour of its own, not the automatic one.
    EXPECT_EQ(table.rows.at(2).cells.at(4).paragraphs.at(0).runs.at(0).colour, 0x000000u);
    EXPECT_EQ(table.rows.at(2).cells.at(5).paragraphs.at(0).runs.at(0).colour, kAutomaticColour);
    EXPECT_EQ(table.rows.at(1).cells.at(1).verticalMerge, 1);
    EXPECT_EQ(table.rows.at(2).cells.at(1).verticalMerge, 2);
    EXPECT_EQ(table.rows.at(3).cells.at(1).verticalMerge, 0);
    EXPECT_EQ(table.rows.at(9).cells.at(6).verticalMerge, 2);
}

TEST(RoundTrip, DocumentEndingInAParagraphOrEmpty)
{
    Document doc = samples::defaultTimetable();
    doc.blocks.emplace_back(paragraph({run("备注：单周", "宋体", 10.5)}, 0));
    EXPECT_TRUE(roundTrip(doc) == doc);

    // Word needs at least one paragraph: an empty document comes back with one.
    const Document empty = roundTrip(Document{});
    ASSERT_EQ(empty.blocks.size(), 1u);
    EXPECT_TRUE(std::get<Paragraph>(empty.blocks[0]).runs.empty());
}

TEST(RoundTrip, NormalisesWhatAFileCannotHold)
{
    Document doc;
    Paragraph p = paragraph({run("a\rb\x07" "c\x13" "d", "", 9.3)});
    Cell noParagraphs;
    noParagraphs.width = 0;
    doc.blocks.emplace_back(p);
    doc.blocks.emplace_back(Table{{Row{{noParagraphs, cell("x", 0)}, 0, 300}}});
    const Document back = roundTrip(doc);
    const docfile::Run& r = std::get<Paragraph>(back.blocks.at(0)).runs.at(0);
    EXPECT_EQ(r.text, "abcd");       // control characters with a meaning of their own are left out
    EXPECT_EQ(r.size, 9.5);          // sizes are kept in half points
    EXPECT_EQ(r.font, "Times New Roman");  // no font: the document's default for Latin text
    const Row& row = std::get<Table>(back.blocks.at(1)).rows.at(0);
    EXPECT_EQ(row.heightRule, 0);
    EXPECT_EQ(row.height, 0);  // an automatic row's height is not kept
    ASSERT_EQ(row.cells.size(), 2u);
    EXPECT_EQ(row.cells[0].paragraphs.size(), 1u);
    const std::int32_t share = samples::textWidth(Section{}) / 2;
    EXPECT_EQ(row.cells[0].width, share);
    EXPECT_EQ(row.cells[1].width, share);
}

TEST(Writer, RefusesWhatWordCannotRecord)
{
    Document tooWide = samples::defaultTimetable();
    std::get<Table>(tooWide.blocks[1]).rows[0].cells.resize(21, cell("x", 100));
    EXPECT_THROW(writeBytes(tooWide), Error);

    Document emptyRow = samples::defaultTimetable();
    std::get<Table>(emptyRow.blocks[1]).rows[2].cells.clear();
    EXPECT_THROW(writeBytes(emptyRow), Error);

    Document hugePage = samples::defaultTimetable();
    hugePage.section.pageWidth = 40000;
    EXPECT_THROW(writeBytes(hugePage), Error);

    Document badAlignment = samples::defaultTimetable();
    std::get<Paragraph>(badAlignment.blocks[0]).alignment = 7;
    EXPECT_THROW(writeBytes(badAlignment), Error);

    auto refused = [](auto change) {
        Document doc = samples::formattedTimetable();
        change(std::get<Table>(doc.blocks[2]));
        EXPECT_THROW(writeBytes(doc), Error);
    };
    refused([](Table& t) { t.rows[0].cells[0].paragraphs[0].runs[0].colour = 0x1000000; });
    refused([](Table& t) { t.rows[0].cells[0].paragraphs[0].runs[0].colour = 0xFFFFFFFF; });
    refused([](Table& t) { t.rows[0].heightRule = 3; });
    refused([](Table& t) { t.rows[0].height = 0; });  // exactly nothing
    refused([](Table& t) { t.rows[1].height = 40000; });
    refused([](Table& t) { t.rows[1].cells[0].verticalMerge = 3; });
    refused([](Table& t) { t.rows[1].cells[0].verticalMerge = -1; });

    try {
        writeFile(samples::defaultTimetable(), "/nonexistent-folder/timetable.doc");
        FAIL() << "writing into a missing folder succeeded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("无法创建文件"), std::string::npos);
    }
}

TEST(Writer, WritesAWord97FileWithATableStream)
{
    const std::vector<unsigned char> bytes = writeBytes(samples::defaultTimetable());
    const container::CompoundReader compound(bytes.data(), bytes.size());
    const auto wd = compound.stream("WordDocument");
    ASSERT_TRUE(wd && wd->size() >= 0x20);
    EXPECT_EQ((*wd)[0] | ((*wd)[1] << 8), 0xA5EC);
    EXPECT_EQ((*wd)[2] | ((*wd)[3] << 8), 0x00C1);
    EXPECT_TRUE((*wd)[11] & 0x02) << "the table stream must be 1Table";
    EXPECT_TRUE(compound.stream("1Table"));
    for (const char* name : {"\005SummaryInformation", "\005DocumentSummaryInformation", "\001CompObj"}) {
        const auto s = compound.stream(name);
        EXPECT_TRUE(s && !s->empty()) << name + 1;
    }
}

TEST(WriteFile, WritesWhatReadFileReads)
{
    const std::string path = ::testing::TempDir() + "docfile-roundtrip.doc";
    const Document doc = samples::defaultTimetable();
    writeFile(doc, path);
    EXPECT_TRUE(readFile(path) == doc);
    std::remove(path.c_str());
    EXPECT_THROW(readFile(path), Error);
}

TEST(Text, ConvertsBetweenUtf8AndUtf16)
{
    EXPECT_EQ(text::utf8ToUtf16("午　休 a😀"), u"午　休 a😀");
    EXPECT_EQ(text::utf16ToUtf8(u"午　休 a😀"), "午　休 a😀");
    // Broken input becomes replacement characters, not lost text.
    EXPECT_EQ(text::utf8ToUtf16("a\xE5\x8D" "b"), u"a\uFFFDb");
    EXPECT_EQ(text::utf8ToUtf16("\xC0\xAF"), u"\uFFFD");  // overlong '/'
    EXPECT_EQ(text::utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(text::fromCp1252(0x80), u'€');
    EXPECT_EQ(text::fromCp1252(0xE9), u'é');
    EXPECT_TRUE(text::isEastAsian(u'午'));
    EXPECT_TRUE(text::isEastAsian(u'　'));
    EXPECT_FALSE(text::isEastAsian(u'A'));
    // Text from a file, fit for a message: valid, no control characters, short.
    EXPECT_EQ(text::forMessage("word/\n文档\xFF.xml"), "word/?文档\xEF\xBF\xBD.xml");
    EXPECT_EQ(text::forMessage("课程表😀课程表", 4), "课程表😀…");
}
