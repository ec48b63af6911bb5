// What the document window shows of its document: which document, on pages
// of which size, and at which zoom (the 视图 commands and the zoom box on
// the status bar). The zoom is the view's alone: nothing in the document
// changes with it.

#include "wordprocessor/documentwindow.h"

#include "wordprocessor/document.h"
#include "wordprocessor/pageeditor.h"
#include "wordprocessor/rowheights.h"
#include "common/numberreading.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QStatusBar>
#include <QStyle>
#include <cmath>

namespace wordprocessor {

namespace {

QString percent(double zoom)
{
    return QStringLiteral("%1%").arg(std::lround(zoom * 100));
}

QString fitWidthChoice()
{
    return QStringLiteral("适合宽度");
}

// The page in layout units, as printing lays it out.
QSizeF pageSizeOf(const DocumentData& document)
{
    const double k = unitsPerPoint();
    return {document.page.pageWidth * k, document.page.pageHeight * k};
}

} // namespace

void DocumentWindow::buildZoom()
{
    m_zoom = new QComboBox(statusBar());
    m_zoom->setObjectName(QStringLiteral("documentZoom"));
    m_zoom->setAccessibleName(QStringLiteral("缩放"));
    m_zoom->setToolTip(QStringLiteral("显示比例（只改变显示，不改变文档）"));
    m_zoom->setEditable(true);
    m_zoom->setInsertPolicy(QComboBox::NoInsert);
    for (int choice : {50, 75, 100, 125, 150, 200})
        m_zoom->addItem(QStringLiteral("%1%").arg(choice));
    m_zoom->addItem(fitWidthChoice());
    m_zoom->setMinimumContentsLength(6);
    m_zoom->setEditText(percent(1.0));
    statusBar()->addPermanentWidget(m_zoom);
}

void DocumentWindow::connectZoom()
{
    connect(m_actions.zoomIn, &QAction::triggered, m_editor, &PageEditor::zoomIn);
    connect(m_actions.zoomOut, &QAction::triggered, m_editor, &PageEditor::zoomOut);
    connect(m_actions.zoomReset, &QAction::triggered, this, [this] { m_editor->setZoom(1.0); });
    connect(m_actions.zoomFitWidth, &QAction::triggered, m_editor, &PageEditor::fitWidth);
    connect(m_editor, &PageEditor::zoomChanged, this, &DocumentWindow::showZoom);
    // A zoom chosen from the list or typed and confirmed with Enter applies,
    // and the keyboard goes back to the text.
    const auto apply = [this] {
        applyZoomText(m_zoom->currentText());
        m_editor->setFocus();
    };
    connect(m_zoom, &QComboBox::activated, this, apply);
    connect(m_zoom->lineEdit(), &QLineEdit::returnPressed, this, apply);
}

void DocumentWindow::showZoom(double zoom, bool)
{
    m_zoom->setEditText(percent(zoom));
    m_actions.zoomIn->setEnabled(zoom < PageEditor::kMaximumZoom - 1e-6);
    m_actions.zoomOut->setEnabled(zoom > PageEditor::kMinimumZoom + 1e-6);
}

void DocumentWindow::applyZoomText(const QString& text)
{
    const QString typed = numbers::halfWidth(text).trimmed();
    if (typed == fitWidthChoice()) {
        m_editor->fitWidth();
        return;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QString(typed).remove(u'%').trimmed(), &ok);
    if (!ok || value < PageEditor::kMinimumZoom * 100 - 1e-6 || value > PageEditor::kMaximumZoom * 100 + 1e-6) {
        statusBar()->showMessage(QStringLiteral("“%1”不是有效的显示比例，请输入 50% 到 200% 之间的数。").arg(typed), 5000);
        showZoom(m_editor->zoom(), m_editor->fitsWidth());
        return;
    }
    m_editor->setZoom(value / 100);
}

void DocumentWindow::showDocument(const std::shared_ptr<DocumentData>& document)
{
    if (m_shown.lock() != document) {
        m_shown = document;
        m_editor->showDocument(document->text.get(), pageSizeOf(*document));
        connect(document->text.get(), &QTextDocument::modificationChanged, this, &QWidget::setWindowModified,
                Qt::UniqueConnection);
        m_actions.undo->setEnabled(document->text->isUndoAvailable());
        m_actions.redo->setEnabled(document->text->isRedoAvailable());
    }
    setWindowModified(document->text->isModified());
    pageChanged(document);
    refresh();
    showFormat();
}

void DocumentWindow::pageChanged(const std::shared_ptr<DocumentData>& document)
{
    if (m_shown.lock() != document)
        return;
    const QSizeF page = pageSizeOf(*document);
    m_editor->setPageSize(page);
    // The rows' heights as laid out at this page width.
    rowheights::keep(document->text.get());
    // The window opens wide enough for a whole page at the zoom shown; the
    // page height is only a starting height.
    const int frame = 2 * m_editor->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this)
                      + 2 * int(PageLayout::kGap) + 4;
    resize(qMax(qRound(page.width() * m_editor->zoom()) + frame, sizeHint().width()),
           qMin(qRound(page.height()), 800));
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

} // namespace wordprocessor
