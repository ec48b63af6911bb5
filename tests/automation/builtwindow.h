#pragma once
// A fixture for tests of the built-in word processor's window: the default
// timetable built and shown, the insertion point in its text.

#include "automation/builtin/builtinapplication.h"
#include "automation/builtin/documentwindow.h"
#include "automation/builtin/enginestate.h"
#include "automation/builtin/pageeditor.h"
#include "create/builder.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QTemporaryDir>

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
        editor = window->findChild<word::builtin::PageEditor*>("documentText");
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

    QTemporaryDir folder;
    ScriptedDialogue dialogue;
    create::Timetable timetable;
    word::builtin::DocumentWindow* window = nullptr;
    word::builtin::PageEditor* editor = nullptr;
};

} // namespace testsupport
