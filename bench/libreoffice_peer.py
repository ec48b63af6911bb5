#!/usr/bin/python3
"""The LibreOffice engine's peer in the engines benchmark: a plain UNO script
that makes the default timetable as the engine does (the page, the title,
the table with its labels, the merged lunch row, centred cells, the columns
shared out by their texts) and fills its 48 subject cells, with the calls a
script writer would make and nothing else. It starts a LibreOffice of its
own as the engine does (no windows, a private profile) and prints the
median build and fill times of its runs, in milliseconds, as JSON.

    libreoffice_peer.py [RUNS]
"""

import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.lang import Locale
from com.sun.star.text import TableColumnSeparator
from com.sun.star.text.ControlCharacter import PARAGRAPH_BREAK

DAYS = ["星期一", "星期二", "星期三", "星期四", "星期五", "星期六"]
LABELS = ["第一节(07:50-08:35)", "第二节(08:45-09:30)", "第三节(10:00-10:45)", "第四节(10:55-11:40)",
          "第五节(14:00-14:45)", "第六节(14:55-15:40)", "第七节(15:50-16:35)", "第八节(16:50-17:50)"]
ROWS, COLUMNS, MORNING = 10, 7, 5  # MORNING: the last morning row


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def hundredth_mm(cm):
    return int(round(cm * 1000))


def build(desktop):
    doc = desktop.loadComponentFromURL("private:factory/swriter", "_blank", 0, (prop("Hidden", True),))
    defaults = doc.createInstance("com.sun.star.text.Defaults")
    defaults.CharLocaleAsian = Locale("zh", "CN", "")
    style = doc.StyleFamilies.getByName("PageStyles").getByName("Standard")
    style.setPropertyValues(("TopMargin", "BottomMargin", "LeftMargin", "RightMargin", "Width", "Height"),
                            (hundredth_mm(2.54), hundredth_mm(2.54), hundredth_mm(3.17), hundredth_mm(3.17),
                             hundredth_mm(18.2), hundredth_mm(25.7)))
    text = doc.Text
    cursor = text.createTextCursor()
    cursor.setPropertyValues(("CharFontName", "CharFontNameAsian", "ParaAdjust"), ("黑体", "黑体", 3))
    text.insertString(cursor, "课程表", False)
    text.insertControlCharacter(cursor, PARAGRAPH_BREAK, False)
    cursor.setPropertyValues(("CharFontName", "CharFontNameAsian", "CharHeight", "CharHeightAsian"),
                             ("宋体", "宋体", 9.0, 9.0))
    table = doc.createInstance("com.sun.star.text.TextTable")
    table.initialize(ROWS, COLUMNS)
    text.insertTextContent(cursor, table, False)
    for c, day in enumerate(DAYS):
        table.getCellByName("%s1" % chr(ord("B") + c)).setString(day)
    for r, label in enumerate(LABELS):
        row = r + 2 if r < MORNING - 1 else r + 3
        table.getCellByName("A%d" % row).setString(label)
    lunch = table.createCursorByCellName("A%d" % (MORNING + 1))
    lunch.gotoCellByName("G%d" % (MORNING + 1), True)
    lunch.mergeRange()
    table.getCellByName("A%d" % (MORNING + 1)).setString("午　休")
    whole = table.createCursorByCellName("A1")
    whole.gotoEnd(True)
    whole.ParaAdjust = 3
    whole.CharWeight = 100.0
    whole.CharWeightAsian = 100.0
    for name in table.getCellNames():
        table.getCellByName(name).VertOrient = 2
    # The label column as wide as its longest text, the days sharing the rest.
    total = table.TableColumnRelativeSum
    first = total * 0.25
    step = (total - first) / (COLUMNS - 1)
    separators = []
    for c in range(COLUMNS - 1):
        separator = TableColumnSeparator()
        separator.Position = int(first + c * step)
        separator.IsVisible = True
        separators.append(separator)
    rows = table.Rows
    for r in range(ROWS):
        if r != MORNING:
            rows.getByIndex(r).TableColumnSeparators = tuple(separators)
    return doc, table


def fill(table):
    for day in range(6):
        for period in range(8):
            row = period + 2 if period < MORNING - 1 else period + 3
            table.getCellByName("%s%d" % (chr(ord("B") + day), row)).setString("语文")


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    program = os.environ.get("LUMETRA_LIBREOFFICE_PROGRAM", "/usr/lib/libreoffice/program")
    profile = tempfile.mkdtemp(prefix="lumetra-peer-")
    pipe = "lumetra-peer-%d" % os.getpid()
    office = subprocess.Popen([os.path.join(program, "soffice"), "--headless", "--norestore", "--nologo",
                               "--nodefault", "-env:UserInstallation=file://" + profile,
                               "--accept=pipe,name=%s;urp;" % pipe], start_new_session=True)
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(600):
            try:
                context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.1)
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        builds, fills = [], []
        for _ in range(runs + 1):  # the first run warms the office up, as the engine's benchmark does
            start = time.perf_counter()
            doc, table = build(desktop)
            built = time.perf_counter()
            fill(table)
            filled = time.perf_counter()
            doc.close(True)
            builds.append((built - start) * 1000)
            fills.append((filled - built) * 1000)
        print(json.dumps({"build_ms": statistics.median(builds[1:]), "fill_ms": statistics.median(fills[1:])}))
        try:
            desktop.terminate()
        except Exception:
            pass
    finally:
        try:
            office.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(office.pid, 9)
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
