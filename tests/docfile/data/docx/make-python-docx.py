"""A timetable as python-docx writes it: a style based on another, a
character style, East Asian fonts, a table with a cell merged across and
one merged down, a row of exact height, an A4 landscape page."""
import sys

from docx import Document
from docx.enum.section import WD_ORIENT
from docx.enum.style import WD_STYLE_TYPE
from docx.enum.table import WD_ROW_HEIGHT_RULE, WD_TABLE_ALIGNMENT
from docx.enum.text import WD_ALIGN_PARAGRAPH
from docx.oxml.ns import qn
from docx.shared import Pt, Twips, RGBColor

doc = Document()
section = doc.sections[0]
section.orientation = WD_ORIENT.LANDSCAPE
section.page_width, section.page_height = Twips(16838), Twips(11906)
section.left_margin = section.right_margin = Twips(1134)
section.top_margin = section.bottom_margin = Twips(1000)

title_style = doc.styles.add_style("TimetableTitle", WD_STYLE_TYPE.PARAGRAPH)
title_style.base_style = doc.styles["Normal"]
title_style.font.size = Pt(18)
title_style.font.bold = True
title_style.element.get_or_add_rPr().get_or_add_rFonts().set(qn("w:eastAsia"), "黑体")
title_style.paragraph_format.alignment = WD_ALIGN_PARAGRAPH.CENTER
subtitle_style = doc.styles.add_style("TimetableSubtitle", WD_STYLE_TYPE.PARAGRAPH)
subtitle_style.base_style = title_style
subtitle_style.font.size = Pt(12)
teacher = doc.styles.add_style("Teacher", WD_STYLE_TYPE.CHARACTER)
teacher.font.italic = True
teacher.font.color.rgb = RGBColor(0x00, 0x70, 0xC0)

doc.add_paragraph("初二（5）班课程表", style="TimetableTitle")
sub = doc.add_paragraph("第一学期 ", style="TimetableSubtitle")
sub.add_run("班主任 王老师", style="Teacher")

days = ["节次", "星期一", "星期二", "星期三", "星期四", "星期五"]
table = doc.add_table(rows=5, cols=6)
table.alignment = WD_TABLE_ALIGNMENT.LEFT
table.autofit = False
widths = [1200, 2400, 2400, 2400, 2400, 2400]
for row in table.rows:
    for cell, width in zip(row.cells, widths):
        cell.width = Twips(width)
for cell, day in zip(table.rows[0].cells, days):
    cell.text = day
subjects = [["第1节", "语文", "数学", "英语", "物理", "化学"],
            ["第2节", "数学", "语文", "历史", "地理", "生物"],
            ["午休", "", "", "", "", ""],
            ["第3节", "体育", "音乐", "美术", "信息", "班会"]]
for row, texts in zip(table.rows[1:], subjects):
    for cell, text in zip(row.cells, texts):
        cell.text = text
lunch = table.cell(3, 0).merge(table.cell(3, 5))
lunch.text = "午　休"
double = table.cell(1, 2).merge(table.cell(2, 2))
double.text = "数学（连堂）"
table.rows[0].height = Twips(567)
table.rows[0].height_rule = WD_ROW_HEIGHT_RULE.EXACTLY
doc.save(sys.argv[1])
