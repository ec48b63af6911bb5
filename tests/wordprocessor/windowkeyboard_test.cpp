// The document window from the keyboard alone: menus by their access
// keys, the toolbar's font and size boxes by the menu's shortcuts, and Tab
// from cell to cell.

#include "builtwindow.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>

using namespace testsupport;

using WindowKeyboard = BuiltWindowTest;

// The toolbar's family and size boxes are reached from the menu's
// shortcuts, confirmed with Enter and left with Esc, all by keyboard.
TEST_F(WindowKeyboard, FamilyAndSizeFromTheKeyboardAlone)
{
    QApplication::setActiveWindow(window);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_End, Qt::ShiftModifier); // the title
    const auto titleFormat = [&] {
        QTextCursor title(editor->document());
        title.movePosition(QTextCursor::NextCharacter);
        return title.charFormat();
    };

    QTest::keyClick(editor, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QComboBox* size = window->findChild<QComboBox*>("documentFontSize");
    ASSERT_TRUE(size->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == size);
    commitText(QStringLiteral("小二"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(titleFormat().fontPointSize(), 18.0);

    QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QComboBox* family = window->findChild<QComboBox*>("documentFontFamily");
    ASSERT_TRUE(family->isAncestorOf(QApplication::focusWidget()));
    commitText(QStringLiteral("宋体"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(titleFormat().fontFamilies().toStringList(), QStringList{QStringLiteral("宋体")});

    // Esc leaves the box without applying what was typed.
    QTest::keyClick(editor, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("40"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(titleFormat().fontPointSize(), 18.0);
    EXPECT_EQ(sizeShown(), QStringLiteral("小二"));

    QTest::keyClick(editor, Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(titleFormat().fontPointSize(), 20.0);
    EXPECT_EQ(sizeShown(), QStringLiteral("20"));
    QTest::keyClick(editor, Qt::Key_BracketLeft, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_BracketLeft, Qt::ControlModifier);
    EXPECT_EQ(titleFormat().fontPointSize(), 16.0);
}

// Tab and Shift+Tab go from cell to cell, the merged lunch row once, the
// cell's text selected so that typing replaces it; Tab in the last cell
// adds a row like the last one.
TEST_F(WindowKeyboard, TabGoesFromCellToCell)
{
    table()->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("数学"));
    goToCell(1, 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).column(), 1);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("数学"));
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).column(), 0);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).row(), 1);

    goToCell(4, 6);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).row(), 5); // the lunch row
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).row(), 6);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).column(), 0);
    EXPECT_FALSE(editor->toPlainText().contains(u'\t'));

    const int rows = table()->rows();
    goToCell(rows - 1, table()->columns() - 1);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(table()->rows(), rows + 1);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).row(), rows);
    EXPECT_EQ(table()->cellAt(editor->textCursor()).column(), 0);
    action("documentUndo")->trigger();
    EXPECT_EQ(table()->rows(), rows);

    // Outside a table, Tab is a tab.
    QTextCursor end(editor->document());
    end.movePosition(QTextCursor::End);
    editor->setTextCursor(end);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_TRUE(editor->toPlainText().endsWith(u'\t'));
}

// Every menu can be worked from the keyboard: each caption has an access
// key of its own within its menu, and Alt+key opens a menu whose item key
// runs the command.
TEST_F(WindowKeyboard, MenusWorkFromTheKeyboardWithDistinctAccessKeys)
{
    const auto accessKey = [](const QString& caption) {
        const int at = caption.indexOf(u'&');
        return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toUpper() : QChar();
    };
    QList<QMenu*> menus;
    QSet<QChar> barKeys;
    for (QAction* top : window->menuBar()->actions()) {
        const QChar key = accessKey(top->text());
        EXPECT_FALSE(key.isNull()) << top->text().toStdString();
        EXPECT_FALSE(barKeys.contains(key)) << top->text().toStdString();
        barKeys << key;
        QSet<QChar> keys;
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator())
                continue;
            const QChar itemKey = accessKey(item->text());
            EXPECT_FALSE(itemKey.isNull()) << item->text().toStdString();
            EXPECT_FALSE(keys.contains(itemKey)) << item->text().toStdString();
            keys << itemKey;
            EXPECT_FALSE(item->objectName().isEmpty()) << item->text().toStdString();
        }
    }
    EXPECT_EQ(barKeys.size(), 5);

    // Two cells selected, then Alt+A (表格) and M (合并单元格).
    QTextCursor two = table()->cellAt(1, 1).firstCursorPosition();
    two.setPosition(table()->cellAt(1, 2).firstCursorPosition().position(), QTextCursor::KeepAnchor);
    editor->setTextCursor(two);
    QApplication::setActiveWindow(window);
    editor->setFocus();
    QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
    settle();
    QMenu* tableMenu = window->findChild<QMenu*>("documentTable");
    ASSERT_NE(tableMenu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tableMenu->isVisible(); }, 2000)) << "Alt+A did not open 表格";
    QTest::keyClick(tableMenu, Qt::Key_M);
    settle();
    EXPECT_EQ(table()->cellAt(1, 1).columnSpan(), 2);
}
