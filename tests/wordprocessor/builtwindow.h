#pragma once
// A fixture for tests of the built-in word processor's window: the default
// timetable built and shown, the insertion point in its text.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/document.h"
#include "wordprocessor/pageeditor.h"
#include "create/builder.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextTable>

namespace testsupport {

class BuiltWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
        settle(); // windows of earlier tests are gone
        timetable = create::build(request, {4, 4, 6});
        settle(); // the build's edit ends with the turn, as before a user sees it
        window = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(timetable.application)->state()->window;
        ASSERT_NE(window, nullptr);
        editor = window->findChild<wordprocessor::PageEditor*>("documentText");
        ASSERT_NE(editor, nullptr);
        window->activateWindow();
        editor->setFocus();
    }
    void TearDown() override
    {
        if (timetable.application->running())
            timetable.application->quit(word::DoNotSaveChanges);
        settle();
    }

    // The timetable's table in the window.
    QTextTable* table()
    {
        const QList<QTextFrame*> frames = editor->document()->rootFrame()->childFrames();
        return frames.isEmpty() ? nullptr : qobject_cast<QTextTable*>(frames.first());
    }
    // Puts the insertion point in a cell (0-based row and column).
    void goToCell(int row, int column)
    {
        editor->setTextCursor(table()->cellAt(row, column).firstCursorPosition());
        settle();
    }
    // Selects the cells from one to another.
    void selectCells(int row, int column, int lastRow, int lastColumn)
    {
        QTextCursor cursor = table()->cellAt(row, column).firstCursorPosition();
        cursor.setPosition(table()->cellAt(lastRow, lastColumn).lastCursorPosition().position(), QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QString sizeShown() { return window->findChild<QComboBox*>("documentFontSize")->currentText(); }
    QString familyShown() { return window->findChild<QComboBox*>("documentFontFamily")->currentText(); }
    // Chinese text as an input method gives it to the focused control.
    static void commitText(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }

    QTemporaryDir folder;
    ScriptedDialogue dialogue;
    create::Timetable timetable;
    wordprocessor::DocumentWindow* window = nullptr;
    wordprocessor::PageEditor* editor = nullptr;
};

} // namespace testsupport
