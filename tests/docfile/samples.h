// Documents the tests and the benchmark write and read: the timetable the
// program makes by default and awkward variations of it.
#pragma once

#include "docfile/document.h"

#include <string>
#include <vector>

namespace samples {

inline docfile::Run run(std::string text, std::string font = "宋体", double size = 9, bool bold = false)
{
    return docfile::Run{std::move(text), std::move(font), size, bold};
}

inline docfile::Paragraph paragraph(std::vector<docfile::Run> runs, int alignment = 1)
{
    docfile::Paragraph p;
    p.alignment = alignment;
    p.runs = std::move(runs);
    return p;
}

// An empty paragraph as tall as text in that font and size.
inline docfile::Paragraph emptyParagraph(std::string font = "宋体", double size = 9, bool bold = false)
{
    docfile::Paragraph p = paragraph({});
    p.mark = run("", std::move(font), size, bold);
    return p;
}

inline docfile::Cell cell(std::string text, std::int32_t width, int verticalAlignment = 1)
{
    docfile::Cell c;
    c.width = width;
    c.verticalAlignment = verticalAlignment;
    if (text.empty()) c.paragraphs.push_back(emptyParagraph());
    else c.paragraphs.push_back(paragraph({run(std::move(text))}));
    return c;
}

// 18.2 x 25.7 cm, top and bottom margins 72 pt, left and right 89.86 pt,
// header 42.52 pt, footer 49.61 pt, all in twips.
inline docfile::Section timetablePage()
{
    docfile::Section s;
    s.pageWidth = 10318;
    s.pageHeight = 14570;
    s.marginTop = s.marginBottom = 1440;
    s.marginLeft = s.marginRight = 1797;
    s.headerDistance = 850;
    s.footerDistance = 992;
    return s;
}

inline const std::vector<std::string>& weekdays()
{
    static const std::vector<std::string> days{"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
    return days;
}

inline std::string subject(int period, int day)
{
    static const std::vector<std::string> names{"语文", "数学", "英语", "物理", "化学", "生物", "历史", "地理", "政治", "体育", "音乐"};
    return names[static_cast<std::size_t>(period * 3 + day) % names.size()];
}

// A timetable: a header row, `periods` lesson rows for `days` days after a
// first column naming the period, and a merged lunch row after `lunchAfter`
// lessons (none when lunchAfter is 0 or past the last period).
inline docfile::Table timetable(int periods, int days, int lunchAfter, std::int32_t textWidth)
{
    const int columns = days + 1;
    const std::int32_t width = textWidth / columns;
    const std::int32_t first = textWidth - width * days;
    docfile::Table t;
    docfile::Row header;
    header.cells.push_back(cell("节次", first));
    for (int d = 0; d < days; ++d) header.cells.push_back(cell(weekdays()[static_cast<std::size_t>(d % 7)], width));
    t.rows.push_back(header);
    for (int p = 1; p <= periods; ++p) {
        docfile::Row row;
        row.cells.push_back(cell("第" + std::to_string(p) + "节", first));
        for (int d = 0; d < days; ++d) row.cells.push_back(cell(subject(p, d), width));
        t.rows.push_back(row);
        if (p == lunchAfter && p < periods) t.rows.push_back(docfile::Row{{cell("午　休", textWidth)}});
    }
    return t;
}

inline std::int32_t textWidth(const docfile::Section& s) { return s.pageWidth - s.marginLeft - s.marginRight; }

inline docfile::Paragraph title(std::string text)
{
    if (text.empty()) return emptyParagraph("黑体", 16, true);
    return paragraph({run(std::move(text), "黑体", 16, true)});
}

// The program's default: a centred title in 黑体, then a 10 x 7 table in
// 宋体 9 pt whose sixth row is the merged lunch row.
inline docfile::Document defaultTimetable()
{
    docfile::Document doc;
    doc.section = timetablePage();
    doc.blocks.emplace_back(title("高一（3）班课程表"));
    doc.blocks.emplace_back(timetable(8, 6, 4, textWidth(doc.section)));
    return doc;
}

// The same shape grown to `periods` lesson rows, for timing how reading and
// writing grow with the document.
inline docfile::Document longTimetable(int periods)
{
    docfile::Document doc;
    doc.section = timetablePage();
    doc.blocks.emplace_back(title("课程表"));
    doc.blocks.emplace_back(timetable(periods, 6, 4, textWidth(doc.section)));
    return doc;
}

// Awkward variations.

inline docfile::Document emptyTitle()
{
    docfile::Document doc = defaultTimetable();
    doc.blocks[0] = title("");
    return doc;
}

inline docfile::Document mergedFirstAndLastRows()
{
    docfile::Document doc = defaultTimetable();
    auto& rows = std::get<docfile::Table>(doc.blocks[1]).rows;
    const std::int32_t width = textWidth(doc.section);
    rows.insert(rows.begin(), docfile::Row{{cell("上　午", width)}});
    rows.push_back(docfile::Row{{cell("放　学", width)}});
    return doc;
}

inline docfile::Document tenPeriodsSevenDays()
{
    docfile::Document doc;
    doc.section = timetablePage();
    doc.blocks.emplace_back(title("课程表（十节七天）"));
    doc.blocks.emplace_back(timetable(10, 7, 4, textWidth(doc.section)));
    return doc;
}

inline docfile::Document longCellTexts()
{
    docfile::Document doc = defaultTimetable();
    auto& rows = std::get<docfile::Table>(doc.blocks[1]).rows;
    std::string longText;
    for (int i = 0; i < 120; ++i) longText += "综合实践活动";
    rows[1].cells[1].paragraphs = {paragraph({run(longText)}), paragraph({run("第二段 second paragraph")}), emptyParagraph("仿宋", 12)};
    rows[2].cells[6].paragraphs[0].runs[0].text = std::string(3000, 'x');
    rows[3].cells[4].paragraphs[0].runs[0].text = "😀 emoji & 𠀀";  // beyond the 16-bit range
    return doc;
}

inline docfile::Document mixedText()
{
    docfile::Document doc = defaultTimetable();
    doc.section.verticalAlignment = 1;
    doc.blocks.insert(doc.blocks.begin() + 1,
                      paragraph({run("班主任：", "宋体", 10.5), run("Li Ming 李明", "Times New Roman", 10.5, true),
                                 run("\t(Tel. 123)\n第二行", "楷体", 12)},
                                0));
    docfile::Paragraph indented = paragraph({run("首行缩进两字 with Latin text, 标点。", "仿宋", 10.5)}, 3);
    indented.firstLineIndent = 420;
    docfile::Paragraph right = paragraph({run("2024年9月1日", "Arial", 9)}, 2);
    right.firstLineIndent = -210;
    doc.blocks.push_back(indented);
    doc.blocks.push_back(right);
    auto& rows = std::get<docfile::Table>(doc.blocks[2]).rows;
    rows[1].cells[2].verticalAlignment = 0;
    rows[1].cells[3].verticalAlignment = 2;
    rows[2].cells[1].paragraphs[0].runs = {run("数学", "宋体", 9, true), run(" (A)", "Times New Roman", 7.5)};
    rows[3].cells[4].paragraphs[0].runs[0].text = "A&B <组>";
    return doc;
}

inline docfile::Document landscapePage()
{
    docfile::Document doc = defaultTimetable();
    std::swap(doc.section.pageWidth, doc.section.pageHeight);
    doc.section.verticalAlignment = 3;
    return doc;
}

// The default timetable with other cell margins than the writer's own.
inline docfile::Document withCellMargin(std::int32_t margin)
{
    docfile::Document doc = defaultTimetable();
    std::get<docfile::Table>(doc.blocks[1]).cellMargin = margin;
    return doc;
}

// The default timetable with what the editor adds: slanted, underlined and
// coloured text (black given as a colour too), an empty paragraph whose mark
// has such a look, rows of set heights, a double lesson merged down two
// rows and a cell merged down three.
inline docfile::Document formattedTimetable()
{
    docfile::Document doc = defaultTimetable();
    auto& title = std::get<docfile::Paragraph>(doc.blocks[0]);
    title.runs[0].colour = 0xC00000;
    docfile::Run term = run("（下学期）", "楷体", 12);
    term.italic = term.underline = true;
    term.colour = 0x0070C0;
    title.runs.push_back(term);
    docfile::Paragraph note = emptyParagraph("楷体", 12);
    note.mark.italic = note.mark.underline = true;
    note.mark.colour = 0x00B050;
    doc.blocks.insert(doc.blocks.begin() + 1, note);

    auto& rows = std::get<docfile::Table>(doc.blocks[2]).rows;
    rows[0].heightRule = 2;  // exactly 1 cm
    rows[0].height = 567;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        rows[r].heightRule = 1;  // at least 0.8 cm
        rows[r].height = 454;
    }
    rows[2].cells[2].paragraphs[0].runs[0].italic = true;
    rows[2].cells[3].paragraphs[0].runs[0].underline = true;
    rows[2].cells[4].paragraphs[0].runs[0].colour = 0x000000;
    rows[3].cells[5].paragraphs[0].runs[0].colour = 0xFF0000;

    // Monday's first two lessons are one double lesson.
    rows[1].cells[1].verticalMerge = 1;
    rows[2].cells[1] = cell("", rows[2].cells[1].width);
    rows[2].cells[1].verticalMerge = 2;
    // Saturday afternoon: one activity for three periods.
    rows[7].cells[6].paragraphs[0].runs[0].text = "社团活动";
    rows[7].cells[6].verticalMerge = 1;
    for (std::size_t r = 8; r <= 9; ++r) {
        rows[r].cells[6] = cell("", rows[r].cells[6].width);
        rows[r].cells[6].verticalMerge = 2;
    }
    return doc;
}

} // namespace samples
