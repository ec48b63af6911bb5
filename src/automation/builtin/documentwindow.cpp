#include "automation/builtin/documentwindow.h"

#include "automation/builtin/enginestate.h"

#include <QCloseEvent>
#include <QScrollBar>
#include <QTextEdit>

namespace word::builtin {

DocumentWindow::DocumentWindow(std::shared_ptr<EngineState> state)
    : m_state(state), m_editor(new QTextEdit(this))
{
    setObjectName(QStringLiteral("documentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_editor->setObjectName(QStringLiteral("documentText"));
    m_editor->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_editor->setAcceptRichText(true);
    setCentralWidget(m_editor);
}

void DocumentWindow::showDocument(const std::shared_ptr<DocumentData>& document)
{
    m_shown = document;
    m_editor->setDocument(document->text.get());
    m_editor->setAccessibleName(document->name);
    pageChanged(document);
    updateTitle();
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

void DocumentWindow::updateTitle()
{
    const auto document = m_shown.lock();
    setWindowTitle(document ? QStringLiteral("%1 - Lumetra 文字处理").arg(document->name)
                            : QStringLiteral("Lumetra 文字处理"));
}

void DocumentWindow::closeForQuit()
{
    m_quitting = true;
    m_editor->setDocument(nullptr);
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (!m_quitting) {
        // The user closed the window: the instance ends with it.
        m_quitting = true;
        m_editor->setDocument(nullptr);
        m_state->window = nullptr;
        m_state->end();
    }
    event->accept();
}

} // namespace word::builtin
