#include "wordprocessor/pageeditor.h"

#include "wordprocessor/pageaccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace wordprocessor {

namespace {

const QColor kDesk(0xA0, 0xA0, 0xA0);
const QColor kShadow(0x70, 0x70, 0x70);
constexpr int kShadowWidth = 3;

QScrollBar* makeScrollBar(Qt::Orientation orientation, const char* name, const QString& spoken, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setAccessibleName(spoken);
    bar->setFocusPolicy(Qt::NoFocus); // the keyboard scrolls by moving the cursor
    bar->setSingleStep(20);
    return bar;
}

} // namespace

PageEditor::PageEditor(QWidget* parent)
    : QTextEdit(parent),
      m_vertical(makeScrollBar(Qt::Vertical, "documentVerticalScroll", QStringLiteral("垂直滚动条"), this)),
      m_horizontal(makeScrollBar(Qt::Horizontal, "documentHorizontalScroll", QStringLiteral("水平滚动条"), this))
{
    PageAccessible::install();
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // QTextEdit's own bars stay at 0, so that its coordinates are the
    // document's (it moves them to show the cursor, and on Page Down).
    for (QScrollBar* own : {QTextEdit::verticalScrollBar(), QTextEdit::horizontalScrollBar()})
        connect(own, &QScrollBar::valueChanged, this, [own](int value) {
            if (value != 0)
                own->setValue(0);
        });
    for (QScrollBar* bar : {m_vertical, m_horizontal})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            viewport()->update();
            updateMicroFocus();
        });
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);

    // QTextEdit's text control asks for the cursor to be shown after keys,
    // typing and find; the view scrolls to it on its own bars.
    QObject* control = nullptr;
    for (QObject* child : children())
        if (child->inherits("QWidgetTextControl"))
            control = child;
    if (control)
        connect(control, SIGNAL(visibilityRequest(QRectF)), this, SLOT(showDocumentRect(QRectF)));
    else
        connect(this, &QTextEdit::cursorPositionChanged, this, [this] { showDocumentRect(cursorRect()); });
    connect(this, &QTextEdit::cursorPositionChanged, this, &PageEditor::restartBlink);
    connect(this, &QTextEdit::selectionChanged, viewport(), qOverload<>(&QWidget::update));
}

// ------------------------------------------------------------ pasting

bool PageEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void PageEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    textCursor().insertText(source->text());
    ensureCursorVisible();
    if (source->hasHtml() || source->hasImage())
        emit pastedPlainText();
}

// ------------------------------------------------------------ document and pages

void PageEditor::showDocument(QTextDocument* document, const QSizeF& page)
{
    for (const auto& connection : std::as_const(m_documentConnections))
        disconnect(connection);
    m_documentConnections.clear();
    m_document = document;
    setDocument(document); // (none: QTextEdit makes an empty one of its own)
    if (document) {
        QAbstractTextDocumentLayout* layout = document->documentLayout();
        m_documentConnections << connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged, this,
                                         &PageEditor::relayout)
                              << connect(layout, &QAbstractTextDocumentLayout::update, this,
                                         &PageEditor::updateDocumentRect);
    }
    setPageSize(page);
    m_vertical->setValue(0);
    m_horizontal->setValue(0);
}

void PageEditor::setPageSize(const QSizeF& page)
{
    m_layout.page = page;
    // QTextEdit lays the text out at the page width (and forgets the page
    // height when it does): the page height comes after.
    setLineWrapColumnOrWidth(qRound(page.width()));
    paginate();
    relayout();
}

void PageEditor::paginate()
{
    if (m_document && m_document == document() && m_document->pageSize() != m_layout.page)
        m_document->setPageSize(m_layout.page);
}

void PageEditor::relayout()
{
    if (m_placing)
        return;
    if (m_document && m_document->pageSize().height() <= 0) {
        // Laid out without pages by someone else (a new page width): cut
        // into pages again once the change is over.
        QTimer::singleShot(0, this, [this] {
            paginate();
            relayout();
        });
    }
    m_layout.pages = m_document && m_document == document() && m_layout.page.height() > 0
                         ? std::max(1, m_document->pageCount())
                         : 1;
    placeScrollBars();
    viewport()->update();
}

// ------------------------------------------------------------ painting

void PageEditor::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    painter.fillRect(exposed, kDesk);
    const QPointF offset = scrollOffset();
    const double zoom = m_layout.zoom;
    const double pageHeight = m_layout.page.height();

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.palette.setColor(QPalette::Text, Qt::black); // on white paper, whatever the desktop's colours
    context.palette.setColor(QPalette::Base, Qt::white);
    if (hasFocus() && m_cursorShown && !isReadOnly())
        context.cursorPosition = textCursor().position();
    for (const ExtraSelection& extra : extraSelections())
        context.selections.append({extra.cursor, extra.format});
    if (textCursor().hasSelection()) {
        const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = textCursor();
        selection.format.setBackground(palette().brush(group, QPalette::Highlight));
        selection.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        context.selections.append(selection);
    }

    const bool showText = m_document && m_document == document();
    for (int number = 0; number < m_layout.pages; ++number) {
        const QRectF sheet = m_layout.sheet(number).translated(-offset);
        if (!sheet.adjusted(0, 0, kShadowWidth, kShadowWidth).intersects(exposed))
            continue;
        painter.fillRect(sheet.translated(kShadowWidth, kShadowWidth), kShadow);
        painter.fillRect(sheet, Qt::white);
        if (!showText)
            continue;
        const QRectF visible = sheet.intersected(exposed);
        painter.save();
        painter.setClipRect(visible);
        painter.translate(sheet.topLeft());
        painter.scale(zoom, zoom);
        painter.translate(0, -number * pageHeight);
        context.clip = QRectF((visible.left() - sheet.left()) / zoom, number * pageHeight + (visible.top() - sheet.top()) / zoom,
                              visible.width() / zoom, visible.height() / zoom);
        m_document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

void PageEditor::restartBlink()
{
    m_cursorShown = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
    viewport()->update();
}

void PageEditor::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_cursorShown = !m_cursorShown;
        viewport()->update(viewRect(cursorRect()).toAlignedRect().adjusted(-4, -2, 4, 2));
    } else if (event->timerId() == m_autoScroll.timerId()) {
        autoScroll();
    } else {
        QTextEdit::timerEvent(event);
    }
}

void PageEditor::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    restartBlink();
}

void PageEditor::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    m_blink.stop();
    viewport()->update();
}

} // namespace wordprocessor
