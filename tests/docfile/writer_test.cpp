// What the writer puts in a file besides the model's text: the limits of
// the format, and the table marks other readers rely on.
#include "docfile/word97/container.h"
#include "docfile/word97/reader_records.h"
#include "samples.h"

#include <gtest/gtest.h>

#include <limits>

using namespace docfile;
using samples::cell;
using samples::paragraph;
using samples::run;

namespace {

// A document of one paragraph per font name F0, F1, ...
Document fontsDocument(int count)
{
    Document doc;
    for (int i = 0; i < count; ++i) doc.blocks.emplace_back(paragraph({run("x", "F" + std::to_string(i))}));
    return doc;
}

// The paragraph formatting our reader's own parts find for each paragraph
// or cell mark of a written file's text, in text order.
struct Mark {
    char16_t character;
    std::vector<std::pair<std::uint16_t, std::vector<unsigned char>>> sprms;  // code, operand

    const std::vector<unsigned char>* find(std::uint16_t code) const
    {
        for (const auto& [op, operand] : sprms)
            if (op == code) return &operand;
        return nullptr;
    }
};

std::vector<Mark> paragraphMarks(const std::vector<unsigned char>& file)
{
    const container::CompoundReader compound(file.data(), file.size());
    const auto wdBytes = compound.stream("WordDocument");
    const auto tableBytes = compound.stream("1Table");
    const View wd(wdBytes->data(), wdBytes->size(), "WordDocument");
    const View table(tableBytes->data(), tableBytes->size(), "1Table");
    const reader::Fib fib = reader::parseFib(wd);
    auto part = [&](records::FcLcb which) { return table.sub(fib.at(which).first, fib.at(which).second, "part"); };
    const reader::PieceTable pieces = reader::parsePieceTable(part(records::Clx));
    const reader::FkpIndex papx(part(records::PlcfBtePapx), wd, reader::FkpIndex::Kind::Paragraph);
    std::vector<Mark> marks;
    for (const records::Piece& piece : pieces.pieces)
        for (std::uint32_t cp = piece.cpStart; cp < piece.cpEnd; ++cp) {
            const std::uint32_t fc = piece.fc + 2 * (cp - piece.cpStart);
            const char16_t c = wd.u16(fc);
            if (c != records::kParagraphMark && c != records::kCellMark) continue;
            Mark mark{c, {}};
            reader::forEachSprm(papx.find(fc).grpprl, [&](std::uint16_t op, View v) {
                mark.sprms.emplace_back(op, std::vector<unsigned char>(v.data(), v.data() + v.size()));
            });
            marks.push_back(std::move(mark));
        }
    return marks;
}

} // namespace

TEST(Writer, RefusesMoreFontsThanAFontTableHolds)
{
    // A font table lists at most 32752 fonts; the writer's own two
    // (Times New Roman, 宋体) leave room for 32750 more.
    const Document most = fontsDocument(32750);
    const Document back = readBytes(writeBytes(most));
    ASSERT_EQ(back.blocks.size(), most.blocks.size());
    EXPECT_EQ(std::get<Paragraph>(back.blocks.back()).runs.at(0).font, "F32749");
    EXPECT_EQ(std::get<Paragraph>(back.blocks[12345]).runs.at(0).font, "F12345");

    try {
        writeBytes(fontsDocument(32751));
        FAIL() << "a font more than the font table holds was written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("字体太多"), std::string::npos) << e.what();
    }
}

TEST(Writer, HoldsTheWidestRowItAllowsAndRefusesBadMargins)
{
    Document doc;
    docfile::Row row;
    for (int i = 0; i < 20; ++i) row.cells.push_back(cell("第" + std::to_string(i) + "列", 300 + i));
    doc.blocks.emplace_back(Table{{row, row}});
    EXPECT_TRUE(readBytes(writeBytes(doc)) == doc);

    for (std::int32_t margin : {-1, 20000}) {
        std::get<Table>(doc.blocks[0]).cellMargin = margin;
        EXPECT_THROW(writeBytes(doc), Error) << margin;
    }
}

TEST(Writer, RefusesLengthsFarPastTheLimit)
{
    // Lengths so large that adding or negating them would overflow are
    // refused like any other length past Word's 22 inches.
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
    for (std::int32_t width : {most, most - 50}) {
        Document doc;
        doc.blocks.emplace_back(Table{{docfile::Row{{cell("x", 100), cell("y", width)}}}});
        EXPECT_THROW(writeBytes(doc), Error) << width;
    }
    for (std::int32_t indent : {least, least + 1, most}) {
        Document doc;
        docfile::Paragraph p = paragraph({run("x")});
        p.firstLineIndent = indent;
        doc.blocks.emplace_back(p);
        EXPECT_THROW(writeBytes(doc), Error) << indent;
    }
}

TEST(Writer, MarksEveryTableParagraphWithItsDepth)
{
    // Word 2000 and later give each paragraph in a table, row ends
    // included, the table depth (1) besides the in-table mark.
    const Document doc = samples::longCellTexts();  // a cell of three paragraphs among them
    const std::vector<Mark> marks = paragraphMarks(writeBytes(doc));
    // The title, the table's paragraphs, the paragraph Word needs after a table.
    std::size_t tableParagraphs = 0;
    for (const Row& r : std::get<Table>(doc.blocks[1]).rows) {
        ++tableParagraphs;  // the row's end
        for (const Cell& c : r.cells) tableParagraphs += c.paragraphs.size();
    }
    ASSERT_EQ(marks.size(), tableParagraphs + 2);
    const std::vector<unsigned char> one{1}, depthOne{1, 0, 0, 0};
    for (std::size_t i = 0; i < marks.size(); ++i) {
        SCOPED_TRACE(i);
        const bool inTable = i > 0 && i + 1 < marks.size();
        const auto* fInTable = marks[i].find(records::sprm::PFInTable);
        const auto* itap = marks[i].find(records::sprm::PItap);
        if (!inTable) {
            EXPECT_EQ(fInTable, nullptr);
            EXPECT_EQ(itap, nullptr);
            continue;
        }
        ASSERT_NE(fInTable, nullptr);
        EXPECT_EQ(*fInTable, one);
        ASSERT_NE(itap, nullptr);
        EXPECT_EQ(*itap, depthOne);
        // Row ends carry the row: its end mark, definition and cell margins.
        if (marks[i].find(records::sprm::PFTtp)) {
            EXPECT_EQ(marks[i].character, records::kCellMark);
            EXPECT_NE(marks[i].find(records::sprm::TDefTable), nullptr);
            const auto* gap = marks[i].find(records::sprm::TDxaGapHalf);
            ASSERT_NE(gap, nullptr);
            EXPECT_EQ((*gap)[0] | ((*gap)[1] << 8), kDefaultCellMargin);
        }
    }
}
