// The document window's page view: pages shown as the printout cuts them,
// a zoom that changes what is seen and nothing else, and table rows drawn
// at the heights the document gives them, on screen and in print, while the
// file keeps the heights as they were set.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/document.h"
#include "wordprocessor/pageeditor.h"
#include "create/builder.h"
#include "docfile/document.h"
#include "support/scripteddialogue.h"
#include "support/programs.h"
#include "builtwindow.h"
#include "support/windowtest.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextTable>

using namespace testsupport;
using namespace wordprocessor;
using word::builtin::BuiltinApplication;

namespace {

constexpr double kPointsPerCentimetre = 72 / 2.54;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The top of the first word of the printout that starts with `prefix`, in
// points; -1 when there is none.
double wordTop(const QString& pdf, const QString& prefix)
{
    static const QRegularExpression word(QStringLiteral("<word xMin=\"[0-9.]+\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    const QString boxes = run("pdftotext", {"-bbox", pdf, "-"});
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(2).startsWith(prefix))
            return match.captured(1).toDouble();
    }
    return -1;
}

class PageViewTest : public BuiltWindowTest {
protected:
    QTextDocument* document() { return editor->document(); }
    QTextTable* table() { return qobject_cast<QTextTable*>(document()->rootFrame()->childFrames().value(0)); }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QRectF blockRect(const QTextBlock& block) { return document()->documentLayout()->blockBoundingRect(block); }
    QRectF cellRect(int row, int column) { return blockRect(table()->cellAt(row, column).firstCursorPosition().block()); }
    void exportPdf(const QString& path)
    {
        dialogue.files.push_back(path);
        action("documentExportPdf")->trigger();
        settle();
    }
    void saveAs(const QString& path)
    {
        dialogue.files.push_back(path);
        action("documentSaveAs")->trigger();
        settle();
    }
    // Rows `first` to `last` of the timetable given a height typed in the
    // 行高 box.
    void setRowHeights(int first, int last, const QString& centimetres)
    {
        QTextCursor rows = table()->cellAt(first, 0).firstCursorPosition();
        rows.setPosition(table()->cellAt(last, 0).firstCursorPosition().position(), QTextCursor::KeepAnchor);
        editor->setTextCursor(rows);
        dialogue.inputs.push_back(centimetres);
        action("documentRowHeight")->trigger();
        settle();
    }
};

} // namespace

TEST(PageLayout, PointsGoToTheirSheetAndBack)
{
    PageLayout layout;
    layout.page = QSizeF(600, 800);
    layout.pages = 3;
    layout.zoom = 0.5;
    layout.viewWidth = 1000;
    // Sheets are centred across a wide view, one under the other.
    EXPECT_DOUBLE_EQ(layout.sheet(0).left(), (1000 - 300) / 2.0);
    EXPECT_DOUBLE_EQ(layout.sheet(2).top(), PageLayout::kGap + 2 * (400 + PageLayout::kGap));
    for (const QPointF document : {QPointF(10, 5), QPointF(599, 799), QPointF(300, 800), QPointF(20, 2399)}) {
        const QPointF back = layout.toDocument(layout.toView(document));
        EXPECT_NEAR(back.x(), document.x(), 1e-6);
        EXPECT_NEAR(back.y(), document.y(), 0.02);
    }
    // A click in the gap goes to the nearer sheet, on its side of the break.
    const double gapTop = layout.sheet(0).bottom();
    EXPECT_LT(layout.toDocument({500, gapTop + 2}).y(), 800);
    EXPECT_GE(layout.toDocument({500, gapTop + PageLayout::kGap - 2}).y(), 800);
    // A rectangle across a break covers the bottom of one sheet and the top
    // of the next.
    const QRectF across = layout.toView(QRectF(0, 780, 100, 40));
    EXPECT_LE(across.top(), layout.sheet(0).bottom() - 5);
    EXPECT_GE(across.bottom(), layout.sheet(1).top() + 5);
    EXPECT_DOUBLE_EQ(layout.zoomToFit(600 + 2 * PageLayout::kGap), 1.0);
}

TEST_F(PageViewTest, ZoomChangesTheViewButNotTheDocumentAndTheMouseStillHitsTheText)
{
    const QString before = folder.filePath("before.doc");
    saveAs(before);
    const QString html = document()->toHtml();
    const QFont defaultFont = document()->defaultFont();
    const QFont editorFont = editor->font();
    const double sheetWidth = editor->sheetRect(0).width();

    // 150 % typed into the zoom box, Enter: the sheet grows by half.
    auto* zoom = window->findChild<QComboBox*>("documentZoom");
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->accessibleName(), QStringLiteral("缩放"));
    zoom->setFocus();
    zoom->lineEdit()->setText(QStringLiteral("150%"));
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), editor) << "the keyboard did not go back to the text";
    EXPECT_DOUBLE_EQ(editor->zoom(), 1.5);
    EXPECT_NEAR(editor->sheetRect(0).width(), sheetWidth * 1.5, 0.01);
    // A zoom out of bounds is refused and the box shows the zoom in force.
    zoom->lineEdit()->setText(QStringLiteral("500%"));
    QTest::keyClick(zoom->lineEdit(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(editor->zoom(), 1.5);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("150%"));

    // At 200 % a click in a cell puts the insertion point in that cell.
    editor->setZoom(2.0);
    settle();
    const QRectF target = cellRect(3, 4);
    const QRectF sheet = editor->sheetRect(0);
    const QPoint click = (sheet.topLeft() + target.center() * 2.0).toPoint();
    ASSERT_TRUE(editor->viewport()->rect().contains(click)) << "the cell is not in sight";
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, click);
    QTextCursor cursor = editor->textCursor();
    ASSERT_NE(cursor.currentTable(), nullptr);
    EXPECT_EQ(cursor.currentTable()->cellAt(cursor).row(), 3);
    EXPECT_EQ(cursor.currentTable()->cellAt(cursor).column(), 4);
    // Dragging from there to the next column selects both cells.
    const QPoint next = (sheet.topLeft() + cellRect(3, 5).center() * 2.0).toPoint();
    QTest::mousePress(editor->viewport(), Qt::LeftButton, {}, click);
    QMouseEvent move(QEvent::MouseMove, next, editor->viewport()->mapToGlobal(next), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(editor->viewport(), &move);
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, next);
    int firstRow, rows, firstColumn, columns;
    editor->textCursor().selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
    EXPECT_EQ(firstColumn, 4);
    EXPECT_EQ(columns, 2);

    editor->fitWidth();
    settle();
    EXPECT_EQ(document()->toHtml(), html);
    EXPECT_EQ(document()->defaultFont(), defaultFont);
    EXPECT_EQ(editor->font(), editorFont);
    const QString after = folder.filePath("after.doc");
    saveAs(after);
    EXPECT_FALSE(bytesOf(before).isEmpty());
    EXPECT_EQ(bytesOf(after), bytesOf(before));
}

TEST_F(PageViewTest, ZoomFromTheKeyboardInTenPerCentStepsWithinBounds)
{
    QApplication::setActiveWindow(window);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_NEAR(editor->zoom(), 1.1, 1e-9);
    QTest::keyClick(editor, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_NEAR(editor->zoom(), 1.2, 1e-9);
    QTest::keyClick(editor, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(editor->zoom(), 1.1, 1e-9);
    EXPECT_EQ(window->findChild<QComboBox*>("documentZoom")->currentText(), QStringLiteral("110%"));
    QTest::keyClick(editor, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(editor->zoom(), 1.0);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(editor, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(editor->zoom(), 0.5, 1e-9);
    EXPECT_FALSE(action("documentZoomOut")->isEnabled());
    // Ctrl+wheel zooms too, around the mouse.
    QWheelEvent wheel(QPointF(100, 100), editor->viewport()->mapToGlobal(QPointF(100, 100)), {}, {0, 120},
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor->viewport(), &wheel);
    EXPECT_NEAR(editor->zoom(), 0.6, 1e-9);
    EXPECT_TRUE(action("documentZoomOut")->isEnabled());
    // Page Down at 200 % turns a view's height of the zoomed page, the
    // insertion point going along in sight.
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    for (int n = 0; n < 60; ++n)
        end.insertText(QStringLiteral("一行字\n"));
    editor->setZoom(2.0);
    editor->setTextCursor(QTextCursor(document()));
    settle();
    QScrollBar* scroll = editor->pageScrollBar(Qt::Vertical);
    const int top = scroll->value();
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(scroll->value(), top + scroll->pageStep());
    EXPECT_GT(editor->textCursor().position(), 0);
    EXPECT_TRUE(editor->viewport()->rect().contains(editor->viewRect(editor->cursorRect()).center().toPoint()));
    // The text keeps the keyboard throughout.
    EXPECT_EQ(QApplication::focusWidget(), editor);
}

TEST_F(PageViewTest, FitWidthFollowsTheWindowUntilAnotherZoomIsChosen)
{
    window->resize(1000, 700);
    settle();
    action("documentZoomFitWidth")->trigger();
    settle();
    const auto fits = [&] {
        return std::abs(editor->sheetRect(0).width() + 2 * PageLayout::kGap - editor->viewport()->width()) <= 1;
    };
    EXPECT_TRUE(fits()) << editor->sheetRect(0).width() << " in " << editor->viewport()->width();
    const double first = editor->zoom();
    window->resize(1200, 700);
    settle();
    EXPECT_GT(editor->zoom(), first);
    EXPECT_TRUE(fits());
    action("documentZoomReset")->trigger();
    window->resize(1000, 700);
    settle();
    EXPECT_DOUBLE_EQ(editor->zoom(), 1.0);
}

TEST_F(PageViewTest, PagesAreShownWhereThePrintoutBreaks)
{
    if (!havePdfTools())
        GTEST_SKIP() << "poppler-utils are not installed";
    // Thirty more rows and a long note after the table.
    table()->insertRows(10, 30);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    for (int n = 1; n <= 90; ++n) {
        end.insertBlock();
        end.insertText(QStringLiteral("段落%1：").arg(n) + QString(n % 7 * 9, u'注'));
    }
    settle();
    editor->setZoom(0.5);
    settle();
    const int pages = editor->pageCount();
    ASSERT_GE(pages, 3);
    // Separate sheets: the desk shows between them, paper on them.
    editor->pageScrollBar(Qt::Vertical)->setValue(int(editor->sheetRect(1).top()) - 100);
    settle();
    const QImage shot = editor->viewport()->grab().toImage();
    const QRectF upper = editor->sheetRect(0);
    const QRectF lower = editor->sheetRect(1);
    const int x = int(upper.left() + 10);
    EXPECT_NE(shot.pixelColor(x, int((upper.bottom() + lower.top()) / 2)), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(x, int(lower.top() + 5)), QColor(Qt::white));

    const QString pdf = folder.filePath("long.pdf");
    exportPdf(pdf);
    const QString info = run("pdfinfo", {pdf});
    const QRegularExpressionMatch count = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    ASSERT_TRUE(count.hasMatch()) << info.toStdString();
    EXPECT_EQ(pages, count.captured(1).toInt());
    // Each paragraph is on the same page on screen as on paper.
    std::vector<QString> printed;
    for (int page = 1; page <= pages; ++page)
        printed.push_back(run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"}));
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString label = block.text().section(u'：', 0, 0);
        if (!label.startsWith(QStringLiteral("段落")))
            continue;
        // Where its first line is (the layout may move lines of a paragraph
        // to the next page, the paragraph's own place staying behind).
        const QPointF start = editor->viewRect(QRectF(editor->cursorRect(QTextCursor(block)))).center();
        int shown = -1;
        for (int page = 0; page < pages; ++page)
            if (editor->sheetRect(page).contains(start))
                shown = page;
        ASSERT_GE(shown, 0) << label.toStdString() << " is on no sheet";
        EXPECT_TRUE(printed[size_t(shown)].contains(label + u'：')) << label.toStdString() << " not printed on page "
                                                                   << shown + 1;
    }
}

TEST_F(PageViewTest, ARowHeightIsDrawnOnScreenAndInPrintAndTheFileKeepsOnlyTheHeight)
{
    const QString plainFile = folder.filePath("plain.doc");
    saveAs(plainFile);
    const double natural = cellRect(3, 0).top() - cellRect(2, 0).top();
    setRowHeights(2, 4, QStringLiteral("2"));
    // Qt lays rows out in whole pixels: each row is within half a pixel of
    // its height, and so is the sum of rows one under the other.
    const double units = 2 * kPointsPerCentimetre * unitsPerPoint();
    EXPECT_NEAR(cellRect(3, 0).top() - cellRect(2, 0).top(), units, 0.5);
    EXPECT_NEAR(cellRect(4, 0).top() - cellRect(2, 0).top(), 2 * units, 0.5);
    // "At least": text taller than the height makes the row taller, and
    // taking it out brings the height back.
    QTextCursor cell = table()->cellAt(2, 3).firstCursorPosition();
    cell.insertText(QStringLiteral("一\n二\n三\n四\n五\n六\n七\n八"));
    settle();
    EXPECT_GT(cellRect(3, 0).top() - cellRect(2, 0).top(), units + 10);
    action("documentUndo")->trigger();
    EXPECT_NEAR(cellRect(4, 0).top() - cellRect(2, 0).top(), 2 * units, 0.5);
    // Undo takes the height back with the padding; redo brings both.
    action("documentUndo")->trigger();
    EXPECT_NEAR(cellRect(3, 0).top() - cellRect(2, 0).top(), natural, 0.05);
    action("documentRedo")->trigger();
    EXPECT_NEAR(cellRect(4, 0).top() - cellRect(2, 0).top(), 2 * units, 0.5);
    EXPECT_TRUE(document()->isRedoAvailable()) << "drawing the height cut the redo history";

    const QString file = folder.filePath("tall.doc");
    saveAs(file);
    const docfile::Document saved = docfile::readFile(QFile::encodeName(file).toStdString());
    const docfile::Document plain = docfile::readFile(QFile::encodeName(plainFile).toStdString());
    const auto& rows = std::get<docfile::Table>(saved.blocks.at(1)).rows;
    const auto& plainRows = std::get<docfile::Table>(plain.blocks.at(1)).rows;
    EXPECT_EQ(rows.at(2).heightRule, 1);
    EXPECT_EQ(rows.at(2).height, 1134); // 2 cm in twips
    EXPECT_EQ(rows.at(4).height, 1134);
    EXPECT_EQ(rows.at(1).heightRule, 0);
    EXPECT_EQ(rows.at(6).heightRule, 0);
    EXPECT_EQ(std::get<docfile::Table>(saved.blocks[1]).cellMargin, std::get<docfile::Table>(plain.blocks[1]).cellMargin);
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].cells.size(); ++c)
            EXPECT_EQ(rows[r].cells[c].width, plainRows.at(r).cells.at(c).width) << r << "," << c;

    if (!havePdfTools())
        GTEST_SKIP() << "poppler-utils are not installed";
    const QString pdf = folder.filePath("tall.pdf");
    exportPdf(pdf);
    const double second = wordTop(pdf, QStringLiteral("第二节"));
    ASSERT_GT(second, 0);
    EXPECT_NEAR(wordTop(pdf, QStringLiteral("第三节")) - second, 2 * kPointsPerCentimetre, 0.4);
    EXPECT_NEAR(wordTop(pdf, QStringLiteral("第四节")) - second, 4 * kPointsPerCentimetre, 0.4);

    // Opened again, the rows are as tall in print, and showing the file
    // does not count as a change.
    word::OpenArguments open;
    open.filename = file;
    timetable.application->documents()->open(open);
    settle();
    EXPECT_NE(editor->document(), nullptr);
    EXPECT_FALSE(editor->document()->isModified());
    const QString again = folder.filePath("again.pdf");
    exportPdf(again);
    EXPECT_NEAR(wordTop(again, QStringLiteral("第四节")) - wordTop(again, QStringLiteral("第二节")),
                4 * kPointsPerCentimetre, 0.4);
}
