// The .docx reader and writer: what we write reads back as the model
// written; .doc and .docx are told apart by content whatever the name;
// both writers refuse the same models; and WordprocessingML as Word and
// other programs write it (styles, theme fonts, fields, revisions,
// content controls, merged cells) reads as Word shows it.
#include "docfile/formats.h"
#include "docfile/zip.h"
#include "docx.h"
#include "samples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using namespace docfile;
using docx::Package;
using samples::cell;
using samples::paragraph;
using samples::run;

namespace {

Document roundTrip(const Document& doc, ReadReport* report = nullptr)
{
    return readBytes(writeBytes(doc, Format::OfficeOpenXml), report);
}

Document read(const Package& package, ReadReport* report = nullptr) { return readBytes(package.zip(), report); }

const Paragraph& paragraphAt(const Document& doc, std::size_t i) { return std::get<Paragraph>(doc.blocks.at(i)); }

std::string member(const std::vector<unsigned char>& package, const std::string& name)
{
    zip::Reader zip(package.data(), package.size());
    const zip::Entry* entry = zip.find(name);
    if (!entry) return "";
    const std::vector<unsigned char> bytes = zip.read(*entry);
    return std::string(bytes.begin(), bytes.end());
}

bool has(const ReadReport& report, const std::string& what)
{
    return std::find(report.dropped.begin(), report.dropped.end(), what) != report.dropped.end();
}

} // namespace

TEST(Docx, RoundTripGivesTheSameModel)
{
    const std::pair<const char*, Document> documents[] = {
        {"default timetable", samples::defaultTimetable()},       {"empty title", samples::emptyTitle()},
        {"merged first and last rows", samples::mergedFirstAndLastRows()},
        {"ten periods by seven days", samples::tenPeriodsSevenDays()}, {"long cell texts", samples::longCellTexts()},
        {"mixed Chinese and Latin text", samples::mixedText()},   {"landscape page", samples::landscapePage()},
        {"a hundred lessons", samples::longTimetable(100)},       {"Word's cell margins", samples::withCellMargin(108)},
        {"no cell margins", samples::withCellMargin(0)},           {"the editor's formatting", samples::formattedTimetable()},
    };
    for (const auto& [name, doc] : documents) {
        SCOPED_TRACE(name);
        ReadReport report;
        const Document back = roundTrip(doc, &report);
        EXPECT_EQ(back.section, doc.section);
        ASSERT_EQ(back.blocks.size(), doc.blocks.size());
        for (std::size_t i = 0; i < back.blocks.size(); ++i) EXPECT_TRUE(back.blocks[i] == doc.blocks[i]) << "block " << i;
        EXPECT_FALSE(report.lossy()) << report.dropped.front();
    }
    // What a file cannot hold is normalised as the .doc writer does it.
    Document odd;
    odd.blocks.emplace_back(paragraph({run("a\rb\x07" "c", "", 9.3)}));
    const Document oddBack = roundTrip(odd);
    const docfile::Run& r = paragraphAt(oddBack, 0).runs.at(0);
    EXPECT_EQ(r.text, "abc");
    EXPECT_EQ(r.size, 9.5);
    EXPECT_EQ(r.font, "Times New Roman");
    EXPECT_EQ(roundTrip(Document{}).blocks.size(), 1u);
}

TEST(Docx, FormatIsToldByContentNotByName)
{
    const Document doc = samples::formattedTimetable();
    const std::string base = ::testing::TempDir() + "docfile-format-";
    // A .docx named .doc and a .doc named .docx open as what they are.
    writeFile(doc, base + "a.doc", Format::OfficeOpenXml);
    writeFile(doc, base + "b.docx", Format::Word97);
    EXPECT_TRUE(readFile(base + "a.doc") == doc);
    EXPECT_TRUE(readFile(base + "b.docx") == doc);
    const std::vector<unsigned char> docxBytes = writeBytes(doc, Format::OfficeOpenXml), docBytes = writeBytes(doc);
    EXPECT_EQ(detectFormat(docxBytes.data(), docxBytes.size()), Format::OfficeOpenXml);
    EXPECT_EQ(detectFormat(docBytes.data(), docBytes.size()), Format::Word97);
    EXPECT_EQ(docBytes, writeBytes(doc, Format::Word97));
    EXPECT_EQ(formatForExtension("/x/课程表.DOCX"), Format::OfficeOpenXml);
    EXPECT_EQ(formatForExtension("a.b/c"), std::nullopt);
    EXPECT_EQ(formatForExtension("t.odt"), Format::OpenDocument);
    EXPECT_STREQ(extensionOf(Format::Word97), ".doc");
    std::remove((base + "a.doc").c_str());
    std::remove((base + "b.docx").c_str());
}

TEST(Docx, WritersRefuseTheSameModelsForTheSameReasons)
{
    auto changed = [](auto change) {
        Document doc = samples::formattedTimetable();
        change(doc);
        return doc;
    };
    auto table = [](Document& d) -> Table& { return std::get<Table>(d.blocks[2]); };
    const Document bad[] = {
        changed([&](Document& d) { table(d).rows[2].cells.clear(); }),
        changed([](Document& d) { d.section.pageWidth = 40000; }),
        changed([](Document& d) { d.section.verticalAlignment = 2; }),
        changed([](Document& d) { std::get<Paragraph>(d.blocks[0]).alignment = 7; }),
        changed([](Document& d) { std::get<Paragraph>(d.blocks[0]).firstLineIndent = -40000; }),
        changed([](Document& d) { std::get<Paragraph>(d.blocks[0]).runs[0].size = 2000; }),
        changed([&](Document& d) { table(d).rows[0].cells[0].paragraphs[0].runs[0].colour = 0x1000000; }),
        changed([&](Document& d) { table(d).rows[0].heightRule = 3; }),
        changed([&](Document& d) { table(d).rows[0].height = 0; }),
        changed([&](Document& d) { table(d).rows[1].cells[0].verticalMerge = 3; }),
        changed([&](Document& d) { table(d).rows[1].cells[0].verticalAlignment = -1; }),
        changed([&](Document& d) { table(d).cellMargin = 20000; }),
        changed([&](Document& d) { table(d).rows[1].cells[1].width = 2147483600; }),
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        SCOPED_TRACE(i);
        std::string doc, docx;
        try { writeBytes(bad[i], Format::Word97); } catch (const Error& e) { doc = e.what(); }
        try { writeBytes(bad[i], Format::OfficeOpenXml); } catch (const Error& e) { docx = e.what(); }
        EXPECT_FALSE(doc.empty());
        EXPECT_EQ(docx, doc);
    }
}

TEST(Docx, ThePackageIsMadeAsWordMakesIt)
{
    const std::vector<unsigned char> bytes = writeBytes(samples::formattedTimetable(), Format::OfficeOpenXml);
    for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/_rels/document.xml.rels", "word/styles.xml",
                             "word/settings.xml", "word/fontTable.xml", "docProps/core.xml", "docProps/app.xml"})
        EXPECT_FALSE(member(bytes, part).empty()) << part;
    const std::string document = member(bytes, "word/document.xml");
    // Fixed widths in twips on the grid and the cells, CJK fonts in the
    // East Asian slot with the hint, the page in the section.
    EXPECT_NE(document.find("<w:tblLayout w:type=\"fixed\"/>"), std::string::npos);
    EXPECT_NE(document.find("<w:gridCol w:w=\"960\"/>"), std::string::npos) << document.substr(0, 3000);
    EXPECT_NE(document.find("<w:tcW w:w=\"960\" w:type=\"dxa\"/>"), std::string::npos);
    EXPECT_NE(document.find("<w:gridSpan w:val=\"7\"/>"), std::string::npos);
    EXPECT_NE(document.find("<w:vMerge w:val=\"restart\"/>"), std::string::npos);
    // The look of a paragraph's mark is its style; runs that look like it
    // need no properties of their own, others say all of theirs.
    const std::string styles = member(bytes, "word/styles.xml");
    EXPECT_NE(styles.find("<w:rFonts w:ascii=\"楷体\" w:hAnsi=\"楷体\" w:eastAsia=\"楷体\" w:cs=\"楷体\"/><w:i/><w:color w:val=\"0070C0\"/>"),
              std::string::npos) << styles;
    EXPECT_NE(document.find("<w:rFonts w:ascii=\"黑体\" w:hAnsi=\"黑体\" w:eastAsia=\"黑体\" w:cs=\"黑体\"/><w:b/><w:i w:val=\"0\"/>"
                            "<w:color w:val=\"C00000\"/><w:sz w:val=\"32\"/><w:szCs w:val=\"32\"/><w:u w:val=\"none\"/>"),
              std::string::npos);
    EXPECT_NE(document.find("<w:r><w:t xml:space=\"preserve\">星期一</w:t></w:r>"), std::string::npos);
    EXPECT_NE(document.find("<w:pgSz w:w=\"10318\" w:h=\"14570\"/>"), std::string::npos);
    EXPECT_NE(document.find("<w:trHeight w:val=\"567\" w:hRule=\"exact\"/>"), std::string::npos);
    EXPECT_NE(styles.find("w:eastAsia=\"宋体\""), std::string::npos);
    // Chinese text in the default fonts has the hint for its punctuation.
    Document plain;
    plain.blocks.emplace_back(paragraph({run("“课程表”", ""), run("x", "Arial")}));
    const std::string hinted = member(writeBytes(plain, Format::OfficeOpenXml), "word/document.xml");
    EXPECT_NE(hinted.find("<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" w:eastAsia=\"宋体\" w:cs=\"Times New Roman\" w:hint=\"eastAsia\"/>"),
              std::string::npos) << hinted;
    EXPECT_NE(member(bytes, "word/settings.xml").find("<w:defaultTabStop w:val=\"420\"/>"), std::string::npos);
    EXPECT_NE(member(bytes, "word/fontTable.xml").find("<w:font w:name=\"黑体\"><w:altName w:val=\"SimHei\"/>"), std::string::npos);
}

TEST(Docx, ReadsTheLookFromDefaultsStylesAndTheTheme)
{
    Package package;
    package.mainPart = "content/main.xml";  // not where Word puts it: found through the relationships
    package.mainRels = {{"rId1", "styles", "style-sheet.xml"}, {"rId2", "theme", "../theme/colours.xml"}, {"rId3", "settings", "settings.xml"}};
    package.parts["content/style-sheet.xml"] = docx::kHeader + "<w:styles xmlns:w=\"" + docx::kW + "\">"
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:asciiTheme=\"minorHAnsi\" w:hAnsiTheme=\"minorHAnsi\" w:eastAsiaTheme=\"minorEastAsia\"/>"
        "<w:sz w:val=\"21\"/></w:rPr></w:rPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:pPr><w:jc w:val=\"both\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:basedOn w:val=\"Normal\"/><w:pPr><w:jc w:val=\"center\"/></w:pPr>"
        "<w:rPr><w:rFonts w:eastAsia=\"黑体\"/><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Subtitle\"><w:basedOn w:val=\"Title\"/><w:rPr><w:sz w:val=\"24\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Loop\"><w:basedOn w:val=\"Loop2\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Loop2\"><w:basedOn w:val=\"Loop\"/><w:rPr><w:i/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"ListBullet\"><w:pPr><w:numPr><w:numId w:val=\"3\"/></w:numPr></w:pPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Strong\"><w:rPr><w:b/><w:color w:val=\"C00000\"/><w:u w:val=\"double\"/></w:rPr></w:style>"
        "</w:styles>";
    package.parts["theme/colours.xml"] = docx::kHeader + "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><a:themeElements>"
        "<a:fontScheme><a:majorFont><a:latin typeface=\"Calibri Light\"/><a:ea typeface=\"\"/></a:majorFont>"
        "<a:minorFont><a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:font script=\"Jpan\" typeface=\"MS Mincho\"/>"
        "<a:font script=\"Hans\" typeface=\"等线\"/></a:minorFont></a:fontScheme></a:themeElements></a:theme>";
    package.parts["content/settings.xml"] = docx::kHeader + "<w:settings xmlns:w=\"" + docx::kW + "\"><w:themeFontLang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/></w:settings>";
    package.body =
        "<w:p><w:pPr><w:pStyle w:val=\"Subtitle\"/></w:pPr><w:r><w:t>课程 Plan</w:t></w:r></w:p>"
        "<w:p><w:r><w:t xml:space=\"preserve\"> 正文 </w:t></w:r><w:r><w:t> trimmed </w:t></w:r>"
        "<w:r><w:rPr><w:rStyle w:val=\"Strong\"/><w:sz w:val=\"18\"/></w:rPr><w:t>重点</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:pStyle w:val=\"Loop\"/><w:ind w:hanging=\"210\"/></w:pPr><w:r><w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:eastAsia=\"楷体\" w:hint=\"eastAsia\"/></w:rPr>"
        "<w:t>“引号”</w:t><w:tab/><w:t>x</w:t><w:br/><w:t>y</w:t></w:r></w:p>"
        "<w:p><w:pPr><w:rPr><w:rFonts w:eastAsia=\"仿宋\"/><w:sz w:val=\"28\"/></w:rPr></w:pPr></w:p>";
    ReadReport report;
    const Document doc = read(package, &report);
    ASSERT_EQ(doc.blocks.size(), 4u);
    // The subtitle: its base's alignment, weight and font, its own size;
    // Latin text in the theme's minor Latin face.
    const Paragraph& subtitle = paragraphAt(doc, 0);
    EXPECT_EQ(subtitle.alignment, 1);
    ASSERT_EQ(subtitle.runs.size(), 2u);
    EXPECT_EQ(subtitle.runs[0], (docfile::Run{"课程", "黑体", 12, true}));
    EXPECT_EQ(subtitle.runs[1], (docfile::Run{" Plan", "Calibri", 12, true}));
    // The default paragraph style, spaces kept only where preserved, a
    // character style under direct formatting; East Asian text in the
    // theme's face for Simplified Chinese.
    const Paragraph& body = paragraphAt(doc, 1);
    EXPECT_EQ(body.alignment, 3);
    ASSERT_EQ(body.runs.size(), 4u);
    EXPECT_EQ(body.runs[0], (docfile::Run{" ", "Calibri", 10.5}));
    EXPECT_EQ(body.runs[1].text, "正文");
    EXPECT_EQ(body.runs[1].font, "等线");
    EXPECT_EQ(body.runs[2].text, " trimmed");
    docfile::Run strong{"重点", "等线", 9, true};
    strong.underline = true;
    strong.colour = 0xC00000;
    EXPECT_EQ(body.runs[3], strong);
    EXPECT_TRUE(has(report, "双线、点线等下划线（已读作单下划线）"));
    // A numbered style that no paragraph uses loses nothing.
    EXPECT_FALSE(has(report, "项目符号或编号"));
    // Styles based on each other in a circle end where they would loop;
    // the hint draws shared punctuation in the East Asian font.
    const Paragraph& hint = paragraphAt(doc, 2);
    EXPECT_EQ(hint.firstLineIndent, -210);
    ASSERT_EQ(hint.runs.size(), 2u);
    EXPECT_EQ(hint.runs[0].text, "“引号”");
    EXPECT_EQ(hint.runs[0].font, "楷体");
    EXPECT_TRUE(hint.runs[0].italic);
    EXPECT_EQ(hint.runs[1].text, "\tx\ny");
    EXPECT_EQ(hint.runs[1].font, "Arial");
    // An empty paragraph has its mark's look.
    const Paragraph& empty = paragraphAt(doc, 3);
    EXPECT_TRUE(empty.runs.empty());
    EXPECT_EQ(empty.mark, (docfile::Run{"", "仿宋", 14}));
}

TEST(Docx, KeepsTheTextWordShowsAndReportsTheRest)
{
    Package package;
    package.mainRels = {{"rIdH", "header", "header1.xml"}, {"rIdF", "footer", "footer1.xml"}};
    package.parts["word/header1.xml"] = docx::kHeader + "<w:hdr xmlns:w=\"" + docx::kW + "\">" + docx::p("页眉文字") + "</w:hdr>";
    package.parts["word/footer1.xml"] = docx::kHeader + "<w:ftr xmlns:w=\"" + docx::kW + "\"><w:p/></w:ftr>";
    package.body =
        "<w:p><w:hyperlink r:id=\"x\"><w:r><w:t>链接</w:t></w:r></w:hyperlink><w:sdt><w:sdtContent><w:r><w:t>控件</w:t></w:r></w:sdtContent></w:sdt>"
        "<w:ins><w:r><w:t>插入</w:t></w:r></w:ins><w:del><w:r><w:delText>删除</w:delText></w:r></w:del>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r><w:r><w:t>code</w:t></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>3</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
        "<mc:AlternateContent><mc:Choice Requires=\"w14\"><w:r><w:t>新</w:t></w:r></mc:Choice><mc:Fallback><w:r><w:t>旧</w:t></w:r></mc:Fallback></mc:AlternateContent>"
        "<w:r><w:sym w:font=\"Symbol\" w:char=\"F0B0\"/><w:sym w:font=\"Wingdings\" w:char=\"F0FC\"/><w:drawing/><w:br w:type=\"page\"/></w:r></w:p>"
        "<w:sdt><w:sdtContent>" + docx::p("块级控件") + "</w:sdtContent></w:sdt>"
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>"
        "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
        "<w:pgMar w:top=\"-1440\" w:right=\"1800\" w:bottom=\"1440\" w:left=\"1800\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/>"
        "<w:vAlign w:val=\"center\"/></w:sectPr></w:pPr><w:r><w:t>第一节</w:t></w:r></w:p>"
        "<w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\"/></w:sectPr>";
    ReadReport report;
    const Document doc = read(package, &report);
    ASSERT_EQ(doc.blocks.size(), 3u);
    std::string text;
    for (const docfile::Run& r : paragraphAt(doc, 0).runs) text += r.text;
    EXPECT_EQ(text, "链接控件插入3旧°\uF0FC");
    EXPECT_EQ(paragraphAt(doc, 0).runs.back().font, "Wingdings");
    EXPECT_EQ(paragraphAt(doc, 1).runs.at(0).text, "块级控件");
    // The first section's page, from the paragraph that ends it.
    EXPECT_EQ(doc.section.pageWidth, 11906);
    EXPECT_EQ(doc.section.pageHeight, 16838);
    EXPECT_EQ(doc.section.marginTop, 1440);
    EXPECT_EQ(doc.section.headerDistance, 851);
    EXPECT_EQ(doc.section.verticalAlignment, 1);
    for (const char* what : {"超链接（只保留了文字）", "修订记录（按接受修订后的样子读出）", "域（只保留了显示的结果）", "图片或图形", "分页符",
                             "项目符号或编号", "多个分节（只保留了第一节的页面设置）", "页眉或页脚"})
        EXPECT_TRUE(has(report, what)) << what;
}

TEST(Docx, ReadsTablesAsWordLaysThemOut)
{
    const std::string grid = "<w:tblGrid><w:gridCol w:w=\"1000\"/><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>";
    auto tc = [](const std::string& properties, const std::string& text) {
        return "<w:tc><w:tcPr>" + properties + "</w:tcPr>" + docx::p(text) + "</w:tc>";
    };
    Package package;
    package.mainRels = {{"rId1", "styles", "styles.xml"}};
    package.parts["word/styles.xml"] = docx::kHeader + "<w:styles xmlns:w=\"" + docx::kW + "\">"
        "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:tblPr><w:tblCellMar><w:left w:w=\"108\" w:type=\"dxa\"/>"
        "</w:tblCellMar></w:tblPr></w:style></w:styles>";
    package.body = "<w:tbl><w:tblPr><w:tblW w:w=\"6000\" w:type=\"dxa\"/></w:tblPr>" + grid +
        // A continuing cell with nothing above it is a cell of its own; widths from the grid, a share or the cell.
        "<w:tr><w:trPr><w:trHeight w:val=\"400\" w:hRule=\"exact\"/></w:trPr>" + tc("<w:vMerge/>", "a") + tc("<w:tcW w:w=\"50%\" w:type=\"pct\"/><w:vMerge w:val=\"restart\"/>", "b")
        + tc("<w:tcW w:w=\"2990\" w:type=\"dxa\"/><w:vAlign w:val=\"bottom\"/>", "c") + "</w:tr>"
        // Cells merged down; a row starting one column in.
        "<w:tr><w:trPr><w:gridBefore w:val=\"1\"/><w:trHeight w:val=\"300\"/></w:trPr>" + tc("<w:vMerge/>", "") + tc("<w:tcW w:w=\"0\" w:type=\"auto\"/>", "d") + "</w:tr>"
        // Spans across; a nested table flattened into its cell; a cell merged across as older files do.
        "<w:tr>" + tc("<w:gridSpan w:val=\"2\"/>", "e") + "<w:sdt><w:sdtContent><w:tc>" + docx::p("f")
        + "<w:tbl>" + grid + "<w:tr>" + tc("", "g") + tc("", "h") + "</w:tr></w:tbl></w:tc></w:sdtContent></w:sdt></w:tr>"
        "<w:tr>" + tc("", "i") + tc("<w:hMerge w:val=\"restart\"/>", "j") + tc("<w:hMerge/>", "k") + "</w:tr>"
        // A row spanning more columns than the grid has: past the grid a
        // cell has its own width, or none (an equal share when written).
        "<w:tr>" + tc("<w:gridSpan w:val=\"2\"/>", "l") + tc("<w:gridSpan w:val=\"2\"/><w:tcW w:w=\"1500\" w:type=\"dxa\"/>", "m") + tc("", "n") + "</w:tr>"
        "</w:tbl><w:p/>";
    ReadReport report;
    const Document doc = read(package, &report);
    ASSERT_EQ(doc.blocks.size(), 1u) << "the paragraph Word needs after a table is dropped";
    const Table& t = std::get<Table>(doc.blocks[0]);
    EXPECT_EQ(t.cellMargin, 108);
    ASSERT_EQ(t.rows.size(), 5u);
    const Row& first = t.rows[0];
    EXPECT_EQ(first.heightRule, 2);
    EXPECT_EQ(first.height, 400);
    ASSERT_EQ(first.cells.size(), 3u);
    EXPECT_EQ(first.cells[0].verticalMerge, 0);
    EXPECT_EQ(first.cells[0].width, 1000);
    EXPECT_EQ(first.cells[1].verticalMerge, 1);
    EXPECT_EQ(first.cells[1].width, 3000);
    EXPECT_EQ(first.cells[2].width, 2990);
    EXPECT_EQ(first.cells[2].verticalAlignment, 2);
    const Row& second = t.rows[1];
    EXPECT_EQ(second.heightRule, 1);
    ASSERT_EQ(second.cells.size(), 2u);
    EXPECT_EQ(second.cells[0].verticalMerge, 2);
    EXPECT_EQ(second.cells[1].width, 3000);
    const Row& third = t.rows[2];
    ASSERT_EQ(third.cells.size(), 2u);
    EXPECT_EQ(third.cells[0].width, 3000);
    ASSERT_EQ(third.cells[1].paragraphs.size(), 3u);
    EXPECT_EQ(third.cells[1].paragraphs[2].runs.at(0).text, "h");
    const Row& fourth = t.rows[3];
    ASSERT_EQ(fourth.cells.size(), 2u);
    EXPECT_EQ(fourth.cells[1].width, 5000);
    ASSERT_EQ(fourth.cells[1].paragraphs.size(), 2u);
    EXPECT_EQ(fourth.cells[1].paragraphs[1].runs.at(0).text, "k");
    const Row& fifth = t.rows[4];
    ASSERT_EQ(fifth.cells.size(), 3u);
    EXPECT_EQ(fifth.cells[0].width, 3000);
    EXPECT_EQ(fifth.cells[1].width, 1500);
    EXPECT_EQ(fifth.cells[2].width, 0);
    EXPECT_TRUE(has(report, "嵌套表格（已展开为所在单元格的文字）"));
    EXPECT_TRUE(has(report, "表格行首或行尾的空位（已去掉）"));
}
