#include "automation/builtin/builtinapplication.h"
#include "automation/builtin/builtinobjects.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/document.h"
#include "automation/factory.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QKeyEvent>
#include <QTextEdit>
#include <gtest/gtest.h>

using word::AutomationError;

namespace {

std::shared_ptr<word::Table> tableOf(word::Application& app, int rows, int columns)
{
    app.documents()->add();
    return app.activeDocument()->tables()->add(app.selection()->range(), rows, columns, 1);
}

AutomationError::Kind kindOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const AutomationError& error) {
        EXPECT_FALSE(error.message().isEmpty());
        return error.kind();
    }
    ADD_FAILURE() << "no error raised";
    return AutomationError::Failed;
}

} // namespace

TEST(Factory, WordApplicationInAnyCaseGivesTheBuiltInEngine)
{
    for (const char* name : {"word.application", "Word.Application", "WORD.APPLICATION"}) {
        auto app = word::createObject(QString::fromLatin1(name));
        ASSERT_TRUE(app);
        EXPECT_TRUE(std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(app));
        EXPECT_TRUE(app->running());
    }
    EXPECT_EQ(kindOf([] { word::createObject(QStringLiteral("excel.application")); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([] { word::createObject(QStringLiteral("word.application2")); }), AutomationError::Failed);
}

TEST(BuiltinEngine, EachObjectIsItsOwnInstanceWithNumberedDocuments)
{
    auto first = word::createObject("word.application");
    auto second = word::createObject("word.application");
    EXPECT_EQ(first->documents()->add()->name(), QStringLiteral("文档1"));
    EXPECT_EQ(first->documents()->add()->name(), QStringLiteral("文档2"));
    EXPECT_EQ(second->documents()->add()->name(), QStringLiteral("文档1"));
    EXPECT_EQ(first->documents()->count(), 2);
    EXPECT_EQ(first->activeDocument()->name(), QStringLiteral("文档2"));
    first->documents()->item(QStringLiteral("文档1"))->activate();
    EXPECT_EQ(first->activeDocument()->name(), QStringLiteral("文档1"));
    EXPECT_EQ(kindOf([&] { first->documents()->item("nothing.doc"); }), AutomationError::Failed);
}

TEST(BuiltinEngine, MergedRowIsCountedByItsOwnCells)
{
    auto app = word::createObject("word.application");
    auto table = tableOf(*app, 4, 3);
    table->rows()->item(2)->cells()->merge();
    EXPECT_EQ(table->rows()->item(2)->cells()->count(), 1);
    EXPECT_EQ(table->rows()->item(3)->cells()->count(), 3);
    EXPECT_EQ(table->columns()->count(), 3);
    table->cell(2, 1)->range()->insertAfter(QStringLiteral("午"));
    table->cell(2, 1)->range()->insertAfter(QStringLiteral("休"));
    EXPECT_EQ(table->cell(2, 1)->range()->text(), QStringLiteral("午休"));
    EXPECT_EQ(kindOf([&] { table->cell(2, 2); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { table->cell(5, 1); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { table->cell(1, 0); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { table->rows()->item(0); }), AutomationError::Failed);
}

TEST(BuiltinEngine, SettingACellsTextReplacesItAndKeepsItsFont)
{
    auto app = word::createObject("word.application");
    app->documents()->add();
    app->selection()->font()->setName(QStringLiteral("宋体"));
    app->selection()->font()->setSize(9);
    auto table = app->activeDocument()->tables()->add(app->selection()->range(), 2, 2, 1);
    auto range = table->cell(2, 2)->range();
    range->insertAfter(QStringLiteral("语文"));
    range->setText(QStringLiteral("数学"));
    EXPECT_EQ(range->text(), QStringLiteral("数学"));
    range->setText(QString());
    EXPECT_EQ(range->text(), QString());
    range->setText(QStringLiteral("英语"));
    EXPECT_EQ(table->cell(2, 2)->range()->text(), QStringLiteral("英语"));
    EXPECT_EQ(app->activeDocument()->tables()->count(), 1);
    EXPECT_EQ(kindOf([&] { app->activeDocument()->tables()->item(2); }), AutomationError::Failed);
}

TEST(BuiltinEngine, RefusesWhatItCannotDoWithAClearError)
{
    auto app = word::createObject("word.application");
    EXPECT_EQ(kindOf([&] { app->activeDocument(); }), AutomationError::Failed); // no document yet
    auto table = tableOf(*app, 2, 2);
    EXPECT_EQ(kindOf([&] { app->printOut("0", true); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { app->printOut("2.5", true); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { app->printOut("1000", true); }), AutomationError::Failed);
    word::OpenArguments missing;
    missing.filename = QStringLiteral("/nonexistent/课程表.doc");
    EXPECT_EQ(kindOf([&] { app->documents()->open(missing); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { app->selection()->paragraphFormat()->setAlignment(7); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { app->selection()->font()->setSize(0); }), AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { app->activeDocument()->tables()->add(app->selection()->range(), 0, 2, 1); }),
              AutomationError::Failed);
    EXPECT_EQ(kindOf([&] { table->autoFitBehavior(9); }), AutomationError::Failed);
    // Outside a table there are no cells to align.
    app->documents()->add();
    EXPECT_EQ(kindOf([&] { app->selection()->cells(); }), AutomationError::Failed);
}

TEST(BuiltinEngine, QuitEndsTheInstanceAndEveryLaterCallFails)
{
    auto app = word::createObject("word.application");
    auto table = tableOf(*app, 2, 2);
    auto range = table->cell(1, 1)->range();
    app->setVisible(true);
    EXPECT_TRUE(app->quit(word::DoNotSaveChanges));
    testsupport::settle();
    EXPECT_FALSE(app->running());
    EXPECT_EQ(testsupport::topLevel("documentWindow"), nullptr);
    EXPECT_EQ(kindOf([&] { range->setText("x"); }), AutomationError::NotRunning);
    EXPECT_EQ(kindOf([&] { table->rows()->count(); }), AutomationError::NotRunning);
    EXPECT_EQ(kindOf([&] { app->documents(); }), AutomationError::NotRunning);
    EXPECT_EQ(kindOf([&] { app->quit(word::DoNotSaveChanges); }), AutomationError::NotRunning);
}

TEST(BuiltinEngine, ClosingTheWindowEndsTheInstance)
{
    testsupport::ScriptedDialogue dialogue; // answers No to saving the changes
    auto app = word::createObject("word.application");
    auto table = tableOf(*app, 3, 3);
    table->cell(1, 1)->range()->insertAfter(QStringLiteral("课程"));
    app->setVisible(true);
    auto* window = testsupport::topLevel<QMainWindow>("documentWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("文档1")));
    auto* editor = window->findChild<QTextEdit*>("documentText");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->toPlainText().contains(QStringLiteral("课程")));
    // The page is shown at its real width (an A4 page by default).
    EXPECT_NEAR(editor->lineWrapColumnOrWidth(), 595.3 * wordprocessor::unitsPerPoint(), 1.0);

    window->close();
    testsupport::settle();
    EXPECT_FALSE(app->running());
    EXPECT_EQ(kindOf([&] { table->cell(1, 1)->range()->setText("x"); }), AutomationError::NotRunning);
}

TEST(BuiltinEngine, UserEditsInTheWindowAreSeenThroughTheInterface)
{
    auto app = word::createObject("word.application");
    auto table = tableOf(*app, 2, 2);
    app->setVisible(true);
    // What the user types in the window is the document the interface sees.
    auto* editor = testsupport::topLevel("documentWindow")->findChild<QTextEdit*>("documentText");
    auto builtin = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(app);
    QCoreApplication::processEvents(); // the engine's edit of this turn ends, as before the user can type
    QTextTable* t = word::builtin::documentTables(builtin->state()->active->text.get()).at(0);
    ASSERT_EQ(editor->document(), t->document());
    editor->setTextCursor(t->cellAt(1, 1).firstCursorPosition());
    // Typed as an input method delivers it: one key event carrying the text.
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("自习"));
    QApplication::sendEvent(editor, &typed);
    EXPECT_EQ(table->cell(2, 2)->range()->text(), QStringLiteral("自习"));
    app->quit(word::DoNotSaveChanges);
}
