#include "automation/builtin/enginestate.h"

#include "automation/automationerror.h"
#include "automation/builtin/documentwindow.h"
#include "automation/builtin/recoverycopies.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextFrame>
#include <QTimer>
#include <utility>

namespace word::builtin {

double unitsPerPoint()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi / 72.0;
}

QTextTableFormat plainTableFormat()
{
    QTextTableFormat format;
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    // Half-point lines as a word processor's plain table has; never thinner
    // than one screen pixel, so that they show.
    format.setBorder(std::max(1.0, 0.5 * unitsPerPoint()));
    format.setBorderBrush(Qt::black);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(1.5 * unitsPerPoint());
    return format;
}

void setWordCellMargins(QTextTableCell& cell)
{
    QTextTableCellFormat format = cell.format().toTableCellFormat();
    format.setTopPadding(0);
    format.setBottomPadding(0);
    cell.setFormat(format);
}

QFont defaultDocumentFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(10.5);
    return font;
}

EngineState::EngineState() : recovery(std::make_unique<RecoveryCopies>()) {}

EngineState::~EngineState() = default;

void openAutomationEdit(DocumentData& document)
{
    if (document.automationEdit || !document.text)
        return;
    document.automationEdit.emplace(document.text.get());
    document.automationEdit->beginEditBlock();
    // Ends with the turn; the document is the timer's context, so a
    // document dropped before then takes the timer with it.
    QTimer::singleShot(0, document.text.get(), [data = &document] { closeAutomationEdit(*data); });
}

void closeAutomationEdit(const DocumentData& document)
{
    if (!document.automationEdit)
        return;
    QTextCursor cursor = *document.automationEdit;
    document.automationEdit.reset();
    cursor.endEditBlock();
}

void EngineState::requireAlive() const
{
    if (!alive)
        throw AutomationError::notRunning();
}

std::shared_ptr<DocumentData> EngineState::requireActive() const
{
    requireAlive();
    if (!active)
        throw AutomationError(QStringLiteral("当前没有打开的文档。"));
    openAutomationEdit(*active);
    return active;
}

void EngineState::end()
{
    if (!alive)
        return;
    alive = false;
    visible = false;
    if (window) {
        DocumentWindow* w = window;
        window = nullptr;
        w->closeForQuit();
    }
    recovery.reset(); // ended as it should: no copy is left behind
    active.reset();
    for (auto& document : documents) {
        closeAutomationEdit(*document);
        document->cursor = QTextCursor();
        document->text.reset();
    }
    documents.clear();
    // Last, as the handler may let go of the application object.
    if (auto handler = std::exchange(endedHandler, {}))
        handler();
}

void EngineState::applyPage(DocumentData& document)
{
    const double k = unitsPerPoint();
    const PageSetupData& page = document.page;
    document.text->setDocumentMargin(0); // (sets all four margins: the page's come after)
    QTextFrameFormat root = document.text->rootFrame()->frameFormat();
    root.setLeftMargin(page.leftMargin * k);
    root.setRightMargin(page.rightMargin * k);
    root.setTopMargin(page.topMargin * k);
    root.setBottomMargin(page.bottomMargin * k);
    document.text->rootFrame()->setFrameFormat(root);
    document.text->setTextWidth(page.pageWidth * k);
}

} // namespace word::builtin
