// What the keyboard and a screen reader get from the document window: the
// find bar closed by Esc, the font boxes announced by what they are, and
// characters placed where the zoomed page view shows them.

#include "builtwindow.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QLineEdit>
#include <QTest>

using namespace testsupport;

namespace {

class WindowAccess : public BuiltWindowTest {};

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

TEST_F(WindowAccess, EscClosesTheFindBarAndTheKeysGoBackToTheText)
{
    window->show();
    QWidget* bar = window->findChild<QWidget*>("documentFindBar");
    auto* text = window->findChild<QLineEdit*>("documentFindText");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(text, nullptr);
    action("documentFind")->trigger();
    settle();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(text->hasFocus());
    commitText(QStringLiteral("星期"));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(editor->textCursor().selectedText(), QStringLiteral("星期"));

    QTest::keyClick(text, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(editor->hasFocus());
    // The next key goes into the document, over the word found.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    EXPECT_EQ(text->text(), QStringLiteral("星期"));
    EXPECT_TRUE(editor->document()->toPlainText().contains(QStringLiteral("x一"))) << "the key did not reach the text";
}

TEST_F(WindowAccess, TheFontBoxesAreAnnouncedByWhatTheyAreNotByTheirValue)
{
    for (const auto& [name, spoken] : {std::pair{"documentFontFamily", QStringLiteral("字体")},
                                       std::pair{"documentFontSize", QStringLiteral("字号")}}) {
        auto* box = window->findChild<QComboBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        ASSERT_NE(box->currentText(), spoken);
        // Qt names an editable box after its text on Linux; the box's
        // description and its text field (where the keys go) carry the name.
        QAccessibleInterface* boxInterface = accessible(box);
        ASSERT_NE(boxInterface, nullptr);
        EXPECT_EQ(boxInterface->text(QAccessible::Description), spoken) << name;
        QAccessibleInterface* field = accessible(box->lineEdit());
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(QAccessible::Name), spoken) << name;
    }
}

TEST_F(WindowAccess, ScreenReadersFindEachCharacterWhereTheZoomedPageShowsIt)
{
    window->resize(900, 700);
    window->show();
    settle();
    QAccessibleInterface* page = accessible(editor);
    ASSERT_NE(page, nullptr);
    QAccessibleTextInterface* text = page->textInterface();
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->text(0, 3), QStringLiteral("课程表"));

    for (const double zoom : {1.0, 2.0, 0.5}) {
        SCOPED_TRACE(zoom);
        editor->setZoom(zoom);
        settle();
        // The title's second character, as the view paints it.
        QTextCursor at(editor->document());
        at.setPosition(1);
        const QRectF caret = editor->viewRect(editor->cursorRect(at));
        const QRect rect = text->characterRect(1);
        const QRect inViewport(editor->viewport()->mapFromGlobal(rect.topLeft()), rect.size());
        EXPECT_NEAR(inViewport.left(), caret.left(), 2.0);
        EXPECT_NEAR(inViewport.top(), caret.top(), 2.0);
        EXPECT_NEAR(inViewport.height(), caret.height(), 2.0);
        // A CJK character is about as wide as it is tall, at every zoom.
        EXPECT_GT(inViewport.width(), inViewport.height() / 2);
        // And the point in its middle is that character again.
        EXPECT_EQ(text->offsetAtPoint(rect.center()), 1);
    }
    // Twice the zoom, twice the size.
    editor->setZoom(1.0);
    settle();
    const QRect single = text->characterRect(1);
    editor->setZoom(2.0);
    settle();
    const QRect doubled = text->characterRect(1);
    EXPECT_NEAR(doubled.width(), 2 * single.width(), 3);
    EXPECT_NEAR(doubled.height(), 2 * single.height(), 3);
}
