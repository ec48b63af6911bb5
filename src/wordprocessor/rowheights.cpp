#include "wordprocessor/rowheights.h"

#include "wordprocessor/convertshared.h"
#include "wordprocessor/docconvert.h"

#include <QAbstractTextDocumentLayout>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace wordprocessor::rowheights {

namespace {

struct Added {
    double top = 0, bottom = 0;
    bool operator==(const Added& other) const
    {
        return std::abs(top - other.top) < 0.01 && std::abs(bottom - other.bottom) < 0.01;
    }
};

// A cell's padding above and below its text; nothing when it has none of
// its own and would take the table's.
std::optional<Added> paddingOf(const QTextTableCell& cell)
{
    const QTextCharFormat format = cell.format();
    if (!format.hasProperty(QTextFormat::TableCellTopPadding) || !format.hasProperty(QTextFormat::TableCellBottomPadding))
        return std::nullopt;
    const QTextTableCellFormat cellFormat = format.toTableCellFormat();
    return Added{cellFormat.topPadding(), cellFormat.bottomPadding()};
}

struct Change {
    QTextTable* table;
    int row, column;
    Added added;
};

void collectTables(QTextFrame* frame, std::vector<QTextTable*>& tables)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            tables.push_back(table);
        collectTables(child, tables);
    }
}

// The height of a cell's content as laid out, block margins included.
double contentHeight(QAbstractTextDocumentLayout* layout, const QTextTableCell& cell)
{
    const QTextBlock first = cell.firstCursorPosition().block();
    const QTextBlock last = cell.lastCursorPosition().block();
    const QRectF top = layout->blockBoundingRect(first);
    const QRectF bottom = layout->blockBoundingRect(last);
    return bottom.bottom() + last.blockFormat().bottomMargin() - (top.top() - first.blockFormat().topMargin());
}

// What a row takes beyond its tallest cell's content and padding: the
// lines between rows. With collapsed borders Qt gives each cell half the
// line on each side, a one-pixel grid line inside the table and the
// table's border (when wider) on its outer edges; with separate borders,
// both cells' borders and the spacing.
double lineAllowance(QTextTable* table, const QTextTableCell& cell)
{
    const QTextTableFormat format = table->format();
    if (!format.borderCollapse())
        return 2 * format.border() + format.cellSpacing();
    if (format.borderStyle() == QTextFrameFormat::BorderStyle_None || format.border() <= 0)
        return 0;
    const double outer = format.border() > 1.0 ? format.border() : 1.0;
    const double top = cell.row() == 0 ? outer : 1.0;
    const double bottom = cell.row() + cell.rowSpan() >= table->rows() ? outer : 1.0;
    return (top + bottom) / 2;
}

// The padding above and below the text each cell of the table should
// have. The table's cell padding is its cells' margins left and right, as
// in Word, which has none above and below; the first cell that lies in a
// row with a height and in no other row has what makes the row tall
// enough.
void planTable(QTextTable* table, std::vector<Change>& changes)
{
    QAbstractTextDocumentLayout* layout = table->document()->documentLayout();
    std::map<std::pair<int, int>, Added> wanted;
    // Qt rounds every row's height to whole pixels: rows with heights one
    // under the other are given whole-pixel heights whose sum follows the
    // exact one, so that the error does not add up down the table.
    double carry = 0;
    for (int row = 0; row < table->rows(); ++row) {
        const RowHeight height = rowHeight(table, row);
        const double exact = height.rule == 0 || height.twips <= 0 ? 0 : convert::fromTwips(height.twips);
        const double target = std::round(exact + carry);
        carry = exact + carry - target;
        bool padded = false;
        for (int column = 0; column < table->columns() && exact > 0;) {
            const QTextTableCell cell = table->cellAt(row, column);
            column = cell.column() + std::max(1, cell.columnSpan());
            if (cell.row() != row || cell.rowSpan() != 1)
                continue;
            const double extra = target - contentHeight(layout, cell) - lineAllowance(table, cell);
            if (extra < 0.01)
                break;
            Added added;
            switch (cell.format().verticalAlignment()) {
            case QTextCharFormat::AlignMiddle: added = {extra / 2, extra / 2}; break;
            case QTextCharFormat::AlignBottom: added = {extra, 0}; break;
            default: added = {0, extra};
            }
            wanted[{row, cell.column()}] = added;
            padded = true;
            break;
        }
        if (!padded)
            carry = 0; // a row as tall as its content: nothing to follow
    }
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            const auto it = wanted.find({row, column});
            const Added want = it == wanted.end() ? Added{} : it->second;
            const std::optional<Added> now = paddingOf(cell);
            if (!now || !(*now == want))
                changes.push_back({table, row, column, want});
        }
    }
}

struct Plan {
    std::vector<Change> cells;
    // Empty paragraphs right before a table, which Qt would not show.
    std::vector<int> blocksToShow;
    bool empty() const { return cells.empty() && blocksToShow.empty(); }
};

Plan planAll(QTextDocument* document)
{
    std::vector<QTextTable*> tables;
    collectTables(document->rootFrame(), tables);
    Plan plan;
    for (QTextTable* table : tables)
        planTable(table, plan.cells);
    // Qt hides an empty block right before a table unless it has a
    // background; Word shows the empty line. (The block Qt keeps before a
    // table that starts the document is no paragraph: see docconvert.h.)
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        auto next = it;
        ++next;
        if (!block.isValid() || block.length() > 1 || next.atEnd() || !qobject_cast<QTextTable*>(next.currentFrame()))
            continue;
        const QTextBlockFormat format = block.blockFormat();
        if (!format.hasProperty(QTextFormat::BackgroundBrush) && !format.hasProperty(kQtOwnBlockProperty))
            plan.blocksToShow.push_back(block.blockNumber());
    }
    return plan;
}

void commit(QTextDocument* document, const Plan& plan)
{
    for (const Change& change : plan.cells) {
        QTextTableCell cell = change.table->cellAt(change.row, change.column);
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        format.setTopPadding(change.added.top);
        format.setBottomPadding(change.added.bottom);
        cell.setFormat(format);
    }
    for (int number : plan.blocksToShow) {
        QTextCursor cursor(document->findBlockByNumber(number));
        QTextBlockFormat shown;
        shown.setBackground(QBrush());
        cursor.mergeBlockFormat(shown);
    }
}

class Keeper : public QObject {
public:
    explicit Keeper(QTextDocument* document) : QObject(document), m_document(document)
    {
        setObjectName(QStringLiteral("rowHeightKeeper"));
        connect(document, &QTextDocument::contentsChanged, this, &Keeper::refresh);
    }

    void refresh()
    {
        if (m_busy)
            return;
        const QScopedValueRollback<bool> busy(m_busy, true);
        const Plan changes = planAll(m_document);
        if (changes.empty())
            return;
        const bool modified = m_document->isModified();
        if (!m_document->isUndoAvailable() && !m_document->isRedoAvailable()) {
            // Nothing to undo yet: the padding is no step of its own.
            m_document->setUndoRedoEnabled(false);
            commit(m_document, changes);
            m_document->setUndoRedoEnabled(true);
        } else {
            QTextCursor cursor(m_document);
            cursor.joinPreviousEditBlock();
            commit(m_document, changes);
            cursor.endEditBlock();
        }
        if (!modified)
            m_document->setModified(false);
    }

private:
    QTextDocument* m_document;
    bool m_busy = false;
};

} // namespace

bool apply(QTextDocument* document)
{
    const Plan changes = planAll(document);
    commit(document, changes);
    return !changes.empty();
}

void keep(QTextDocument* document)
{
    if (!document)
        return;
    auto* keeper = static_cast<Keeper*>(
        document->findChild<QObject*>(QStringLiteral("rowHeightKeeper"), Qt::FindDirectChildrenOnly));
    if (!keeper)
        keeper = new Keeper(document);
    keeper->refresh();
}

} // namespace wordprocessor::rowheights
