#include "wordprocessor/findbar.h"

#include "wordprocessor/pageeditor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

namespace wordprocessor {

FindBar::FindBar(PageEditor* editor, QStatusBar* status, QWidget* parent)
    : QToolBar(QStringLiteral("查找"), parent), m_editor(editor), m_status(status)
{
    setObjectName(QStringLiteral("documentFindBar"));
    setAccessibleName(QStringLiteral("查找"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("documentFindText"));
    m_text->setAccessibleName(QStringLiteral("查找内容"));
    m_text->setPlaceholderText(QStringLiteral("查找内容"));
    addWidget(m_text);
    auto* next = new QPushButton(QStringLiteral("下一个(&N)"), this);
    next->setObjectName(QStringLiteral("documentFindNext"));
    next->setAccessibleName(QStringLiteral("下一个"));
    auto* previous = new QPushButton(QStringLiteral("上一个(&V)"), this);
    previous->setObjectName(QStringLiteral("documentFindPrevious"));
    previous->setAccessibleName(QStringLiteral("上一个"));
    m_matchCase = new QCheckBox(QStringLiteral("区分大小写(&M)"), this);
    m_matchCase->setObjectName(QStringLiteral("documentMatchCase"));
    m_matchCase->setAccessibleName(QStringLiteral("区分大小写"));
    auto* done = new QPushButton(QStringLiteral("关闭"), this);
    done->setObjectName(QStringLiteral("documentFindClose"));
    done->setAccessibleName(QStringLiteral("关闭查找栏"));
    addWidget(next);
    addWidget(previous);
    addWidget(m_matchCase);
    addWidget(done);
    hide();
    connect(m_text, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    connect(next, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(done, &QPushButton::clicked, this, &FindBar::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::close);
}

void FindBar::open()
{
    show();
    m_text->selectAll();
    m_text->setFocus(Qt::ShortcutFocusReason);
}

void FindBar::close()
{
    hide();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void FindBar::findNext(bool backward)
{
    const QString text = m_text->text();
    if (text.isEmpty())
        return;
    QTextDocument::FindFlags flags;
    if (backward)
        flags |= QTextDocument::FindBackward;
    if (m_matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (m_editor->find(text, flags)) {
        m_status->clearMessage();
        return;
    }
    // Once past the end (or the start), go round once.
    QTextCursor cursor = m_editor->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    const QTextCursor keep = m_editor->textCursor();
    m_editor->setTextCursor(cursor);
    if (!m_editor->find(text, flags)) {
        m_editor->setTextCursor(keep);
        m_status->showMessage(QStringLiteral("找不到“%1”。").arg(text), 5000);
    }
}

} // namespace wordprocessor
