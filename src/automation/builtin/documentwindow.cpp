#include "automation/builtin/documentwindow.h"

#include "automation/automationerror.h"
#include "automation/builtin/docfiles.h"
#include "automation/builtin/enginestate.h"
#include "automation/word.h"
#include "common/dialogue.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextEdit>

namespace word::builtin {

DocumentWindow::DocumentWindow(std::shared_ptr<EngineState> state)
    : m_state(std::move(state)), m_editor(new QTextEdit(this))
{
    setObjectName(QStringLiteral("documentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_editor->setObjectName(QStringLiteral("documentText"));
    m_editor->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_editor->setAcceptRichText(true);
    setCentralWidget(m_editor);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("documentFile"));
    QAction* save = file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, [this] { this->save(false); });
    save->setObjectName(QStringLiteral("documentSave"));
    QAction* saveAs = file->addAction(QStringLiteral("另存为(&A)..."), this, [this] { this->save(true); });
    saveAs->setObjectName(QStringLiteral("documentSaveAs"));
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("关闭(&C)"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("documentClose"));
}

void DocumentWindow::showDocument(const std::shared_ptr<DocumentData>& document)
{
    if (m_shown.lock() != document) {
        m_shown = document;
        m_editor->setDocument(document->text.get());
        connect(document->text.get(), &QTextDocument::modificationChanged, this, &QWidget::setWindowModified,
                Qt::UniqueConnection);
    }
    setWindowModified(document->text->isModified());
    pageChanged(document);
    refresh();
}

void DocumentWindow::pageChanged(const std::shared_ptr<DocumentData>& document)
{
    if (m_shown.lock() != document)
        return;
    // The text area is exactly as wide as the page; the page height is only
    // a starting size for the window.
    const double k = unitsPerPoint();
    const int width = qRound(document->page.pageWidth * k);
    m_editor->setLineWrapColumnOrWidth(width);
    const int frame = 2 * m_editor->frameWidth() + m_editor->verticalScrollBar()->sizeHint().width() + 4;
    resize(width + frame, qMin(qRound(document->page.pageHeight * k), 800));
}

void DocumentWindow::refresh()
{
    const auto document = m_shown.lock();
    const QString name = document ? document->name : QString();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Lumetra 文字处理")
                                  : QStringLiteral("%1[*] - Lumetra 文字处理").arg(name));
    m_editor->setAccessibleName(name);
    if (document && document->text)
        setWindowModified(document->text->isModified());
}

void DocumentWindow::save(bool saveAs)
{
    const auto document = m_shown.lock();
    if (!document)
        return;
    try {
        saveDocument(*document, this, saveAs);
    } catch (const AutomationError& error) {
        dialogue::warn(this, error.message());
    }
    refresh();
}

void DocumentWindow::closeForQuit()
{
    m_quitting = true;
    m_editor->setDocument(nullptr);
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    // The user closed the window: the instance ends with it, once unsaved
    // changes are settled.
    try {
        if (!settleUnsavedChanges(*m_state, PromptToSaveChanges)) {
            event->ignore();
            refresh();
            return;
        }
    } catch (const AutomationError& error) {
        dialogue::warn(this, error.message());
        event->ignore();
        refresh();
        return;
    }
    m_quitting = true;
    m_editor->setDocument(nullptr);
    m_state->window = nullptr;
    m_state->end();
    event->accept();
}

} // namespace word::builtin
