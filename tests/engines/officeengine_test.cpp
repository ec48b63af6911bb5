// What only the LibreOffice engine does: its own process per instance, the
// question when it cannot start, and the end of an instance whose windows
// the user closed in Writer.

#include "automation/factory.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/enginestate.h"
#include "automation/libreoffice/officeapplication.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#endif

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

using namespace testsupport;

namespace {

// The engine chosen for one test, the built-in one again after it.
struct ChosenEngine {
    explicit ChosenEngine(word::Engine engine) { word::setPreferredEngine(engine); }
    ~ChosenEngine() { word::setPreferredEngine(word::Engine::Builtin); }
};

} // namespace

TEST(EngineChoice, ALibreOfficeThatCannotStartOffersTheBuiltInWordProcessor)
{
    ScriptedDialogue dialogue;
    ChosenEngine chosen(word::Engine::LibreOffice);
    qputenv("LUMETRA_LIBREOFFICE_PROGRAM", "/nonexistent/libreoffice/program");

    // No: nothing starts, and the reason is the error.
    dialogue.answers.push_back(QMessageBox::No);
    try {
        word::createObject(QStringLiteral("Word.Application"));
        ADD_FAILURE() << "no error";
    } catch (const word::AutomationError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("LibreOffice"))) << error.message().toStdString();
    }
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("要改用 Lumetra 自带的文字处理程序吗？")));
    EXPECT_EQ(dialogue.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(dialogue.messages[0].icon, QMessageBox::Question);
    EXPECT_EQ(word::preferredEngine(), word::Engine::LibreOffice);

    // Yes: the built-in one, and it stays chosen; nothing more is asked.
    dialogue.answers.push_back(QMessageBox::Yes);
    auto wd = word::createObject(QStringLiteral("word.application"));
    ASSERT_NE(wd, nullptr);
    EXPECT_TRUE(wd->running());
    EXPECT_EQ(word::preferredEngine(), word::Engine::Builtin);
    auto again = word::createObject(QStringLiteral("word.application"));
    EXPECT_EQ(dialogue.messages.size(), 2u);
    wd->quit(word::DoNotSaveChanges);
    again->quit(word::DoNotSaveChanges);
    qunsetenv("LUMETRA_LIBREOFFICE_PROGRAM");
}

TEST(EngineChoice, EngineNames)
{
    EXPECT_EQ(word::engineFromName("LibreOffice"), word::Engine::LibreOffice);
    EXPECT_EQ(word::engineFromName("builtin"), word::Engine::Builtin);
    EXPECT_FALSE(word::engineFromName("word").has_value());
    EXPECT_TRUE(word::engineAvailable(word::Engine::Builtin));
#ifndef LUMETRA_HAVE_LIBREOFFICE
    EXPECT_FALSE(word::engineAvailable(word::Engine::LibreOffice));
#endif
}

#ifdef LUMETRA_HAVE_LIBREOFFICE

namespace {

class OfficeEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(word::Engine::LibreOffice))
            GTEST_SKIP() << "LibreOffice is not installed";
    }
    std::shared_ptr<word::libreoffice::OfficeApplication> start()
    {
        return word::libreoffice::OfficeApplication::create();
    }
    // Waits for queued work (the office's calls back) to be done.
    static void waitFor(const std::function<bool()>& done)
    {
        for (int i = 0; i < 100 && !done(); ++i) {
            QTest::qWait(50);
            settle();
        }
    }
    ScriptedDialogue dialogue;
};

} // namespace

TEST_F(OfficeEngine, TwoInstancesAreTwoOfficesAndQuitEndsOnlyItsOwn)
{
    auto first = start();
    auto second = start();
    ASSERT_GT(first->processId(), 0);
    EXPECT_NE(first->processId(), second->processId());
    first->documents()->add();
    second->documents()->add();
    second->selection()->typeText(QStringLiteral("第二个"));

    const qint64 firstProcess = first->processId();
    EXPECT_TRUE(first->quit(word::DoNotSaveChanges));
    EXPECT_FALSE(first->running());
    EXPECT_NE(::kill(pid_t(firstProcess), 0), 0) << "the first office still runs";
    EXPECT_THROW(first->documents(), word::AutomationError);

    ASSERT_TRUE(second->running());
    second->selection()->typeText(QStringLiteral("实例"));
    auto table = second->activeDocument()->tables();
    EXPECT_EQ(table->count(), 0);
    // An invisible instance has no changes the user saw: nothing is asked.
    EXPECT_TRUE(second->quit());
    EXPECT_TRUE(dialogue.messages.empty());
}

TEST_F(OfficeEngine, WindowsClosedInWriterEndTheInstanceOnce)
{
    auto wd = start();
    int ended = 0;
    wd->setEndedHandler([&] { ++ended; });
    wd->documents()->add();
    wd->selection()->typeText(QStringLiteral("课程表"));
    const auto range = wd->selection()->range();
    auto table = wd->activeDocument()->tables()->add(range, 3, 3, word::Word9TableBehavior);

    // The user closes the document's window in Writer.
    const auto model = wd->state()->active->model;
    css::uno::Reference<css::util::XModifiable>(model, css::uno::UNO_QUERY_THROW)->setModified(false);
    css::uno::Reference<css::util::XCloseable>(model, css::uno::UNO_QUERY_THROW)->close(true);
    waitFor([&] { return ended > 0; });
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(wd->running());
    try {
        table->cell(1, 1)->range()->setText(QStringLiteral("语文"));
        ADD_FAILURE() << "a closed word processor took a write";
    } catch (const word::AutomationError& error) {
        EXPECT_EQ(error.kind(), word::AutomationError::NotRunning);
    }
    EXPECT_EQ(ended, 1);
}

TEST_F(OfficeEngine, CellsAndRangesAsCallersCountThem)
{
    auto wd = start();
    wd->documents()->add();
    wd->selection()->font()->setName(QStringLiteral("宋体"));
    wd->selection()->font()->setSize(9);
    auto table = wd->activeDocument()->tables()->add(wd->selection()->range(), 4, 3, word::Word9TableBehavior);
    EXPECT_EQ(table->rows()->count(), 4);
    EXPECT_EQ(table->columns()->count(), 3);
    table->rows()->item(3)->cells()->merge();
    EXPECT_EQ(table->rows()->item(3)->cells()->count(), 1);
    EXPECT_EQ(table->rows()->item(4)->cells()->count(), 3);
    EXPECT_EQ(table->columns()->count(), 3);
    EXPECT_THROW(table->cell(3, 2), word::AutomationError);
    EXPECT_THROW(table->cell(5, 1), word::AutomationError);

    table->cell(3, 1)->range()->insertAfter(QStringLiteral("午"));
    table->cell(3, 1)->range()->insertAfter(QStringLiteral("休"));
    EXPECT_EQ(table->cell(3, 1)->range()->text(), QStringLiteral("午休"));
    table->cell(4, 3)->range()->setText(QStringLiteral("数学"));
    table->cell(4, 3)->range()->setText(QStringLiteral("语文"));
    EXPECT_EQ(table->cell(4, 3)->range()->text(), QStringLiteral("语文"));
    wd->quit(word::DoNotSaveChanges);
}

TEST_F(OfficeEngine, WhatItWritesIsSimplifiedChinese)
{
    // Writer picks a CJK face's forms by the text's East Asian language;
    // text of none gets whatever the system prefers (often Japanese).
    auto wd = start();
    wd->documents()->add();
    wd->selection()->font()->setName(QStringLiteral("黑体"));
    wd->selection()->typeText(QStringLiteral("课程表"));
    auto table = wd->activeDocument()->tables()->add(wd->selection()->range(), 2, 2, word::Word9TableBehavior);
    table->cell(2, 2)->range()->setText(QStringLiteral("语文"));

    using namespace css;
    const auto model = wd->state()->active->model;
    const auto language = [](const uno::Reference<uno::XInterface>& text) {
        lang::Locale locale;
        uno::Reference<beans::XPropertySet>(text, uno::UNO_QUERY_THROW)->getPropertyValue("CharLocaleAsian") >>= locale;
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(locale.Language.getStr())) + u'-'
               + QString::fromUtf16(reinterpret_cast<const char16_t*>(locale.Country.getStr()));
    };
    const auto title = model->getText()->createTextCursor();
    title->gotoStart(false);
    title->goRight(3, true);
    EXPECT_EQ(language(title), QStringLiteral("zh-CN"));
    const auto tables = uno::Reference<container::XIndexAccess>(
        uno::Reference<text::XTextTablesSupplier>(model, uno::UNO_QUERY_THROW)->getTextTables(), uno::UNO_QUERY_THROW);
    const auto first = uno::Reference<text::XTextTable>(tables->getByIndex(0), uno::UNO_QUERY_THROW);
    const auto cell = uno::Reference<text::XText>(first->getCellByName("B2"), uno::UNO_QUERY_THROW)->createTextCursor();
    cell->gotoEnd(true);
    EXPECT_EQ(language(cell), QStringLiteral("zh-CN"));
    // Text typed later by hand too: the document's own default.
    EXPECT_EQ(language(uno::Reference<uno::XInterface>(
                  uno::Reference<text::XText>(first->getCellByName("A1"), uno::UNO_QUERY_THROW)->createTextCursor())),
              QStringLiteral("zh-CN"));
    wd->quit(word::DoNotSaveChanges);
}

#endif
