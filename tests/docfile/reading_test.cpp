// Reading what other programs write and our writer does not: symbol
// characters, streams named in other letter cases, paragraphs ended by a
// page break.
#include "docfile/symbols.h"
#include "streams.h"

#include <gtest/gtest.h>

using namespace docfile;
using namespace streams;
using samples::paragraph;
using samples::run;

namespace {

std::vector<unsigned char> bytes(std::initializer_list<unsigned> values)
{
    return std::vector<unsigned char>(values.begin(), values.end());
}

bool dropped(const ReadReport& report, const std::string& what)
{
    return std::find(report.dropped.begin(), report.dropped.end(), what) != report.dropped.end();
}

} // namespace

TEST(Reading, SymbolFontCharacters)
{
    // Two stand-ins "(" as Word writes symbols: the formatting names the
    // symbol font and the character, here the degree sign of Symbol and
    // a tick of Wingdings. Fonts: 0 Times New Roman, 1 宋体, 2 Symbol, 3 Wingdings.
    Document doc;
    doc.blocks.emplace_back(paragraph({run("温度 25", "宋体", 10.5), run("(", "Symbol", 11.5), run("C，完成", "宋体", 10.5),
                                       run("", "Wingdings", 10.5), run("(", "Times New Roman", 12.5), run("。", "宋体", 10.5)},
                                      0));
    Streams s(doc);
    // Each run's own formatting: its three fonts, then its size (half points).
    const auto fonts = [](unsigned f) { return bytes({0x4F, 0x4A, f, 0, 0x50, 0x4A, f, 0, 0x51, 0x4A, f, 0}); };
    auto degree = fonts(2), tick = fonts(0);
    degree.insert(degree.end(), {0x43, 0x4A, 23, 0});
    tick.insert(tick.end(), {0x43, 0x4A, 25, 0});
    // The same length again: the text's font 宋体, the symbol (font, code),
    // and bold and italic off, the size left to the style.
    ASSERT_TRUE(replaceOnce(s.wordDocument, degree,
                            bytes({0x4F, 0x4A, 1, 0, 0x09, 0x6A, 2, 0, 0xB0, 0xF0, 0x35, 0x08, 0, 0x36, 0x08, 0})));
    ASSERT_TRUE(replaceOnce(s.wordDocument, tick,
                            bytes({0x4F, 0x4A, 1, 0, 0x09, 0x6A, 3, 0, 0xFC, 0x00, 0x35, 0x08, 0, 0x36, 0x08, 0})));

    const Document back = readBytes(s.file());
    const auto& runs = std::get<Paragraph>(back.blocks.at(0)).runs;
    ASSERT_EQ(runs.size(), 3u);
    // Symbol's degree sign is the Unicode one, in the text's font.
    EXPECT_EQ(runs[0], run("温度 25°C，完成", "宋体", 10.5));
    // Wingdings has no Unicode equal: its code stays in the private-use
    // block, in a run of the symbol font.
    EXPECT_EQ(runs[1], run("\uF0FC", "Wingdings", 10.5));
    EXPECT_EQ(runs[2], run("。", "宋体", 10.5));
}

TEST(Reading, SymbolFontCodesAsUnicode)
{
    struct Case {
        const char* font;
        std::uint16_t code;
        char16_t unit;
        bool mapped;
    };
    for (const Case& c : {Case{"Symbol", 0xB0, u'°', true}, Case{"SYMBOL", 0xF0B7, u'•', true},
                          Case{"symbol", 0x61, u'α', true}, Case{"Symbol", 0xD6, u'√', true},
                          Case{"Symbol", 0xA3, u'≤', true},
                          // Pieces of tall brackets and unused codes have no character of their own.
                          Case{"Symbol", 0xBD, char16_t(0xF0BD), false}, Case{"Symbol", 0x80, char16_t(0xF080), false},
                          Case{"Wingdings", 0xFC, char16_t(0xF0FC), false}, Case{"Webdings", 0xF061, char16_t(0xF061), false},
                          Case{"Symbol", 0x2022, u'•', false}}) {
        SCOPED_TRACE(std::string(c.font) + " " + std::to_string(c.code));
        const symbols::Character got = symbols::fromSymbolFont(c.font, c.code);
        EXPECT_EQ(static_cast<unsigned>(got.unit), static_cast<unsigned>(c.unit));
        EXPECT_EQ(got.mapped, c.mapped);
    }
}

TEST(Reading, StreamNamesInAnyLetterCase)
{
    // The compound file's directory compares names without regard to case.
    const Streams s;
    for (const auto& [wd, table] : {std::pair{"worddocument", "1TABLE"}, std::pair{"WORDDOCUMENT", "1table"}}) {
        SCOPED_TRACE(wd);
        Document doc;
        ASSERT_NO_THROW(doc = readBytes(s.named(wd, table)));
        EXPECT_TRUE(doc == samples::defaultTimetable());
    }

    Streams table0;
    table0.put16(kFlags, (table0.wordDocument[kFlags] | (table0.wordDocument[kFlags + 1] << 8)) & ~0x0200u);
    EXPECT_TRUE(readBytes(table0.named("WordDocument", "0table")) == samples::defaultTimetable());

    // The Data stream too; a name spelt exactly as asked wins over another spelling.
    const std::array<std::uint8_t, 16> noClass{};
    const auto file = container::writeCompound({{"DATA", {1, 2}}, {"Data", {3}}, {"data", {4}}}, noClass, "test");
    const container::CompoundReader compound(file.data(), file.size());
    EXPECT_EQ(compound.stream("Data"), std::vector<unsigned char>{3});
    EXPECT_TRUE(compound.stream("dAtA"));
    EXPECT_FALSE(compound.stream("Dat"));
    EXPECT_FALSE(compound.stream("Data1"));
}

TEST(Reading, PageBreakEndsAParagraphWhereTheFormattingDoes)
{
    Document doc;
    for (const char* text : {"第一段", "第二段", "甲乙丙"}) doc.blocks.emplace_back(paragraph({run(text)}, 0));
    Streams s(doc);
    // A page break in place of the first paragraph's mark: the paragraph
    // formatting still ends there, so the paragraph does too.
    ASSERT_TRUE(replaceOnce(s.wordDocument, utf16(u"段\r第"), utf16(u"段\f第")));
    // A page break inside a paragraph ends nothing.
    ASSERT_TRUE(replaceOnce(s.wordDocument, utf16(u"甲乙丙"), utf16(u"甲\f丙")));

    ReadReport report;
    const Document back = readBytes(s.file(), &report);
    ASSERT_EQ(back.blocks.size(), 3u);
    EXPECT_EQ(std::get<Paragraph>(back.blocks[0]), paragraph({run("第一段")}, 0));
    EXPECT_EQ(std::get<Paragraph>(back.blocks[1]), paragraph({run("第二段")}, 0));
    EXPECT_EQ(std::get<Paragraph>(back.blocks[2]), paragraph({run("甲丙")}, 0));
    EXPECT_TRUE(dropped(report, "分页符"));
}

TEST(Reading, FormattingAsOtherProgramsWriteIt)
{
    // A colour between Word 97's sixteen, a double underline and a table
    // whose rows carry their heights and vertical merges as Word 2000 and
    // later write them: in modifiers of the row rather than in the cells'
    // flags.
    Document doc;
    docfile::Run red = run("红字", "宋体", 10.5);
    red.colour = 0x8A0000;
    docfile::Run underlined = run("下划线", "宋体", 10.5);
    underlined.underline = true;
    doc.blocks.emplace_back(paragraph({red, run("，"), underlined}, 0));
    // Rows of heights of their own, so that each has formatting of its own.
    doc.blocks.emplace_back(Table{{Row{{samples::cell("上", 2000), samples::cell("A", 2000)}, 1, 100},
                                   Row{{samples::cell("下", 2000), samples::cell("", 2000)}, 1, 200}}});
    Streams s(doc);

    // The colour's own value goes (its modifier becomes one we do not
    // read), leaving the nearest of the sixteen: dark red.
    ASSERT_TRUE(replaceOnce(s.wordDocument, bytes({0x70, 0x68, 0x8A, 0, 0, 0}), bytes({0x03, 0x6A, 0x8A, 0, 0, 0})));
    ASSERT_TRUE(replaceOnce(s.wordDocument, bytes({0x3E, 0x2A, 1}), bytes({0x3E, 0x2A, 3})));
    // Each row's cell margins give way to a vertical merge of its second
    // cell and a height that overrides the one before: exactly 300 twips,
    // then at least 300.
    auto withPadding = [](std::vector<unsigned char> height) {
        height.insert(height.end(), {0x34, 0xD6, 6, 0, 2, 0x0A, 3, 28, 0});
        return height;
    };
    ASSERT_TRUE(replaceOnce(s.wordDocument, withPadding({0x07, 0x94, 100, 0}),
                            bytes({0x07, 0x94, 100, 0, 0x2B, 0xD6, 2, 1, 3, 0x07, 0x94, 0xD4, 0xFE})));
    ASSERT_TRUE(replaceOnce(s.wordDocument, withPadding({0x07, 0x94, 200, 0}),
                            bytes({0x07, 0x94, 200, 0, 0x2B, 0xD6, 2, 1, 1, 0x07, 0x94, 0x2C, 0x01})));

    ReadReport report;
    const Document back = readBytes(s.file(), &report);
    const auto& runs = std::get<Paragraph>(back.blocks.at(0)).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].colour, 0x800000u);
    EXPECT_EQ(runs[1].colour, kAutomaticColour);
    EXPECT_TRUE(runs[2].underline);
    EXPECT_EQ(report.dropped, std::vector<std::string>{"双线、点线等下划线（已读作单下划线）"});

    const Table& table = std::get<Table>(back.blocks.at(1));
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0].heightRule, 2);
    EXPECT_EQ(table.rows[0].height, 300);
    EXPECT_EQ(table.rows[1].heightRule, 1);
    EXPECT_EQ(table.rows[1].height, 300);
    EXPECT_EQ(table.rows[0].cells.at(0).verticalMerge, 0);
    EXPECT_EQ(table.rows[0].cells.at(1).verticalMerge, 1);
    EXPECT_EQ(table.rows[1].cells.at(1).verticalMerge, 2);
    EXPECT_EQ(table.cellMargin, 28);  // from the gap between cells, which stays
}

TEST(Reading, SectionBreakEndsAParagraph)
{
    // "here." ends its paragraph with a section break, no paragraph mark
    // after it: the section table says a section ends there. The break
    // ends the paragraph even where the paragraph formatting runs on past
    // it (as after a fast save).
    for (const bool formattingRunsOn : {false, true}) {
        SCOPED_TRACE(formattingRunsOn);
        Document doc;
        for (const char* text : {"Insert Table III-3 here.", "Table III-3", "end"}) doc.blocks.emplace_back(paragraph({run(text)}, 0));
        Streams s(doc);
        ASSERT_TRUE(replaceOnce(s.wordDocument, utf16(u"here.\r"), utf16(u"here.\f")));
        // Two sections: the first ends after the break (character 24).
        const std::size_t sed = s.fc(kPlcfSed) + 8;
        const unsigned fcSepx = s.table[sed + 2] | s.table[sed + 3] << 8 | s.table[sed + 4] << 16 | unsigned(s.table[sed + 5]) << 24;
        std::vector<unsigned char> plc;
        auto u32 = [&](unsigned v) { for (int k = 0; k < 4; ++k) plc.push_back(static_cast<unsigned char>(v >> (8 * k))); };
        u32(0);
        u32(25);
        u32(s.get32(kCcpText));
        for (int i = 0; i < 2; ++i) {
            plc.insert(plc.end(), {0, 0});
            u32(fcSepx);
            plc.insert(plc.end(), {0, 0});
            u32(0xFFFFFFFF);
        }
        s.replace(kPlcfSed, plc);
        if (formattingRunsOn) {
            // The first paragraph's formatting ends a character later.
            const std::size_t page = 512u * (s.table[s.fc(kPlcfBtePapx) + 8] | s.table[s.fc(kPlcfBtePapx) + 9] << 8);
            s.put32(page + 4, s.get32(page + 4) + 2);
        }
        ReadReport report;
        const Document back = readBytes(s.file(), &report);
        ASSERT_EQ(back.blocks.size(), 3u);
        EXPECT_EQ(std::get<Paragraph>(back.blocks[0]), paragraph({run("Insert Table III-3 here.")}, 0));
        EXPECT_EQ(std::get<Paragraph>(back.blocks[1]), paragraph({run("Table III-3")}, 0));
        EXPECT_TRUE(dropped(report, "多个分节（只保留了第一节的页面设置）"));
    }
}
