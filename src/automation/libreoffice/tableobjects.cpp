#include "automation/libreoffice/tableobjects.h"

#include "automation/libreoffice/charlook.h"
#include "automation/libreoffice/columnfit.h"
#include "automation/libreoffice/uno.h"
#include "automation/checks.h"

#include <QStringList>

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <map>

namespace word::libreoffice {

using css::uno::Any;

namespace {

AutomationError noRow(int row, int rows)
{
    return AutomationError(QStringLiteral("表格中没有第 %1 行（共 %2 行）。").arg(row).arg(rows));
}

} // namespace

int rowOfName(const rtl::OUString& name)
{
    int i = 0, row = 0;
    while (i < name.getLength() && !(name[i] >= u'0' && name[i] <= u'9'))
        ++i;
    while (i < name.getLength() && name[i] >= u'0' && name[i] <= u'9')
        row = row * 10 + (name[i++] - '0');
    return row;
}

int rowCount(const std::vector<rtl::OUString>& names)
{
    int rows = 0;
    for (const rtl::OUString& name : names)
        rows = std::max(rows, rowOfName(name));
    return rows;
}

std::vector<rtl::OUString> rowCellNames(const std::vector<rtl::OUString>& all, int row)
{
    std::vector<rtl::OUString> names;
    for (const rtl::OUString& name : all)
        if (rowOfName(name) == row)
            names.push_back(name);
    return names;
}

rtl::OUString cellName(const std::vector<rtl::OUString>& all, int row, int column)
{
    const int rows = rowCount(all);
    if (row < 1 || row > rows)
        throw noRow(row, rows);
    const auto names = rowCellNames(all, row);
    if (column < 1 || column > int(names.size()))
        throw AutomationError(QStringLiteral("表格第 %1 行中没有第 %2 个单元格（这一行共 %3 个）。")
                                  .arg(row)
                                  .arg(column)
                                  .arg(names.size()));
    return names[size_t(column - 1)];
}

Reference<css::text::XTextTableCursor> wholeTable(const Reference<css::text::XTextTable>& table)
{
    // (Writer names a table's first cell A1, whatever is merged.)
    const auto cursor = table->createCursorByCellName(toUno(QStringLiteral("A1")));
    cursor->gotoEnd(true);
    return cursor;
}

KnownTable* knownTable(DocumentData& document, const Reference<css::text::XTextTable>& table)
{
    for (KnownTable& known : document.known)
        if (known.table == table)
            return &known;
    return nullptr;
}

// ---------------------------------------------------------------- tables

std::shared_ptr<Table> OfficeTables::add(const std::shared_ptr<Range>& range, int rows, int columns, int)
{
    auto* at = dynamic_cast<OfficeRange*>(range.get());
    if (!at || at->document() != m_document || !at->place().is())
        throw AutomationError(QStringLiteral("插入表格的位置不属于这个文档。"));
    checkTableSize(rows, columns);
    return m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        const auto place = at->place();
        // The new table takes the paragraph's alignment and the typing font,
        // as one made in Word does; Writer's bold heading row is not Word's.
        const auto paragraph = as<css::beans::XPropertySet>(place->getText()->createTextCursorByRange(place));
        const Any adjust = paragraph->getPropertyValue(toUno(QStringLiteral("ParaAdjust")));
        const auto table = as<css::text::XTextTable>(as<css::lang::XMultiServiceFactory>(document->model)
                                                         ->createInstance(toUno(QStringLiteral("com.sun.star.text.TextTable"))));
        table->initialize(rows, columns);
        place->getText()->insertTextContent(place, as<css::text::XTextContent>(table), false);
        const auto all = wholeTable(table);
        const auto look = as<css::beans::XPropertySet>(all);
        look->setPropertyValue(toUno(QStringLiteral("ParaAdjust")), adjust);
        for (const char* weight : {"CharWeight", "CharWeightAsian", "CharWeightComplex"})
            look->setPropertyValue(rtl::OUString::createFromAscii(weight), Any(css::awt::FontWeight::NORMAL));
        applyFont(all, document->typing); // (its language too)
        // The insertion point goes into the first cell.
        document->selectedTable.clear();
        m_state->viewCursor(*document)->gotoRange(
            as<css::text::XText>(table->getCellByName(toUno(QStringLiteral("A1"))))->getStart(), false);
        // Its cells are empty, in the typing font: what is written into it
        // from now on is known here.
        KnownTable known{table};
        if (document->typing.name && document->typing.size) {
            known.family = *document->typing.name;
            known.size = *document->typing.size;
        }
        document->known.push_back(std::move(known));
        return std::make_shared<OfficeTable>(m_state, document, table);
    });
}

std::shared_ptr<Table> OfficeTables::item(int index)
{
    return m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        const auto tables = as<css::text::XTextTablesSupplier>(document->model)->getTextTables();
        const auto list = as<css::container::XIndexAccess>(tables);
        const int count = list->getCount();
        if (index < 1 || index > count)
            throw AutomationError(count == 0 ? QStringLiteral("文档中没有表格。")
                                             : QStringLiteral("文档中没有第 %1 个表格（共 %2 个）。").arg(index).arg(count));
        return std::make_shared<OfficeTable>(m_state, document,
                                             as<css::text::XTextTable>(list->getByIndex(index - 1).get<Reference<css::uno::XInterface>>()));
    });
}

int OfficeTables::count()
{
    return m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        const auto tables = as<css::text::XTextTablesSupplier>(document->model)->getTextTables();
        return int(as<css::container::XIndexAccess>(tables)->getCount());
    });
}

// ---------------------------------------------------------------- table

std::shared_ptr<Cell> OfficeTable::cell(int row, int column)
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        cellName(m_state->cellNames(*m_document, m_table), row, column); // the cell must be there now
        return std::make_shared<OfficeCell>(std::make_shared<OfficeRange>(m_state, m_document, m_table, row, column));
    });
}

std::shared_ptr<Rows> OfficeTable::rows()
{
    requireOpen(*m_state, m_document);
    return std::make_shared<OfficeRows>(m_state, m_document, m_table);
}

std::shared_ptr<Columns> OfficeTable::columns()
{
    requireOpen(*m_state, m_document);
    return std::make_shared<OfficeColumns>(m_state, m_document, m_table);
}

void OfficeTable::select()
{
    m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        const auto controller = as<css::frame::XModel>(document->model)->getCurrentController();
        as<css::view::XSelectionSupplier>(controller)->select(Any(m_table));
        document->selectedTable = m_table;
    });
}

void OfficeTable::autoFitBehavior(int behavior)
{
    if (behavior != AutoFitFixed && behavior != AutoFitContent && behavior != AutoFitWindow)
        throw AutomationError(QStringLiteral("表格自动调整方式 %1 无效。").arg(behavior));
    requireOpen(*m_state, m_document);
    if (behavior == AutoFitContent) {
        fitColumnsToText(*m_state, *m_document, m_table);
        return;
    }
    m_state->call([&] {
        const auto properties = as<css::beans::XPropertySet>(m_table);
        const rtl::OUString orient = toUno(QStringLiteral("HoriOrient"));
        if (behavior == AutoFitWindow) {
            // The columns keep their shares; the table fills the text width.
            properties->setPropertyValue(orient, Any(css::text::HoriOrientation::FULL));
        } else {
            properties->setPropertyValue(orient, Any(css::text::HoriOrientation::LEFT_AND_WIDTH));
        }
    });
}

// ---------------------------------------------------------------- rows

int OfficeRows::count()
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        return rowCount(m_state->cellNames(*m_document, m_table));
    });
}

std::shared_ptr<Row> OfficeRows::item(int index)
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        const int rows = rowCount(m_state->cellNames(*m_document, m_table));
        if (index < 1 || index > rows)
            throw noRow(index, rows);
        return std::make_shared<OfficeRow>(m_state, m_document, m_table, index);
    });
}

std::shared_ptr<Cells> OfficeRow::cells()
{
    requireOpen(*m_state, m_document);
    return std::make_shared<OfficeCells>(m_state, m_document, m_table, m_row, m_row);
}

// ---------------------------------------------------------------- cells

std::vector<rtl::OUString> OfficeCells::names() const
{
    if (!m_cell.isEmpty())
        return {toUno(m_cell)};
    const auto& all = m_state->cellNames(*m_document, m_table);
    if (m_lastRow > rowCount(all))
        throw AutomationError(QStringLiteral("表格中已经没有这些单元格。"));
    std::vector<rtl::OUString> result;
    for (int row = m_firstRow; row <= m_lastRow; ++row)
        for (const auto& name : rowCellNames(all, row))
            result.push_back(name);
    return result;
}

int OfficeCells::count()
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        return int(names().size());
    });
}

void OfficeCells::merge()
{
    m_state->call([&] {
        requireOpen(*m_state, m_document);
        if (m_cell.isEmpty() && m_firstRow != m_lastRow)
            throw AutomationError(QStringLiteral("只能合并一整行的单元格。"));
        const auto list = names();
        if (list.size() < 2)
            return;
        const auto cursor = m_table->createCursorByCellName(list.front());
        cursor->gotoCellByName(list.back(), true);
        if (!cursor->mergeRange())
            throw AutomationError(QStringLiteral("LibreOffice 无法合并这些单元格。"));
        m_state->forgetCellNames(*m_document, m_table);
        // The merged cell holds the others' paragraphs.
        if (KnownTable* known = knownTable(*m_document, m_table)) {
            QStringList texts;
            for (const auto& name : list) {
                if (const auto text = known->texts.find(name); text != known->texts.end() && !text->second.isEmpty())
                    texts << text->second;
                known->texts.erase(name);
            }
            known->texts[list.front()] = texts.join(u'\n');
        }
    });
}

void OfficeCells::setVerticalAlignment(int alignment)
{
    sal_Int16 orient;
    switch (alignment) {
    case CellAlignTop: orient = css::text::VertOrientation::TOP; break;
    case CellAlignCenter: orient = css::text::VertOrientation::CENTER; break;
    case CellAlignBottom: orient = css::text::VertOrientation::BOTTOM; break;
    default: throw AutomationError(QStringLiteral("单元格垂直对齐方式 %1 无效。").arg(alignment));
    }
    m_state->call([&] {
        requireOpen(*m_state, m_document);
        const rtl::OUString property = toUno(QStringLiteral("VertOrient"));
        const auto list = names();
        if (list.empty())
            return;
        // The cells as one range where Writer takes them so (not always in
        // a table with merged cells), else one by one.
        if (list.size() > 1) {
            try {
                as<css::beans::XPropertySet>(as<css::table::XCellRange>(m_table)->getCellRangeByName(
                                                 list.front() + rtl::OUString::createFromAscii(":") + list.back()))
                    ->setPropertyValue(property, Any(orient));
                return;
            } catch (const css::uno::RuntimeException&) {
                if (!m_state->alive())
                    throw;
            }
        }
        for (const auto& name : list)
            as<css::beans::XPropertySet>(m_table->getCellByName(name))->setPropertyValue(property, Any(orient));
    });
}

// ---------------------------------------------------------------- columns

int OfficeColumns::count()
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        // The grid's columns: as many as the fullest row has cells.
        std::map<int, int> cellsInRow;
        int most = 0;
        for (const rtl::OUString& name : m_state->cellNames(*m_document, m_table))
            most = std::max(most, ++cellsInRow[rowOfName(name)]);
        return most;
    });
}

} // namespace word::libreoffice
