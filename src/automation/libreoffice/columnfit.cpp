#include "automation/libreoffice/columnfit.h"

#include "automation/libreoffice/tableobjects.h"
#include "automation/libreoffice/uno.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRegularExpression>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/TableColumnSeparator.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

namespace word::libreoffice {

namespace {

using css::uno::Any;

// A cell's text and face, as Writer has them.
CellText readCell(const Reference<css::text::XTextTable>& table, const rtl::OUString& name)
{
    const auto text = as<css::text::XText>(table->getCellByName(name));
    const auto start = as<css::beans::XPropertySet>(text->createTextCursor());
    CellText cell{fromUno(text->getString()), QString()};
    rtl::OUString family;
    start->getPropertyValue(toUno(QStringLiteral("CharFontNameAsian"))) >>= family;
    start->getPropertyValue(toUno(QStringLiteral("CharHeightAsian"))) >>= cell.size;
    cell.family = fromUno(family);
    return cell;
}

// The width the text needs on one line, with the cell's side space and
// borders (about 0.3 cm).
double need(const CellText& cell)
{
    constexpr double sides = 8.5;
    QFont font(cell.family);
    font.setPointSizeF(cell.size);
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const QString& line : cell.text.split(QRegularExpression(QStringLiteral("[\r\n]"))))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest + sides;
}

std::vector<double> columnWidths(const FittedTable& fitted)
{
    std::vector<double> widths(size_t(fitted.columns), 8.5);
    for (const auto& [place, width] : fitted.needs)
        if (place.second >= 1 && place.second <= fitted.columns)
            widths[size_t(place.second - 1)] = std::max(widths[size_t(place.second - 1)], width);
    return widths;
}

} // namespace

// Every full row gets the columns' shares of the table's width (a merged
// row spans the columns and keeps its one cell).
void applyColumnShares(EngineState& state, const FittedTable& fitted)
{
    const std::vector<double> widths = columnWidths(fitted);
    double total = 0;
    for (double width : widths)
        total += width;
    state.call([&] {
        const auto& table = fitted.table;
        sal_Int16 relativeSum = 10000;
        as<css::beans::XPropertySet>(table)->getPropertyValue(toUno(QStringLiteral("TableColumnRelativeSum"))) >>=
            relativeSum;
        css::uno::Sequence<css::text::TableColumnSeparator> separators(fitted.columns - 1);
        double edge = 0;
        for (int c = 0; c + 1 < fitted.columns; ++c) {
            edge += widths[size_t(c)];
            separators.getArray()[c].Position = sal_Int16(edge / total * relativeSum + 0.5);
            separators.getArray()[c].IsVisible = true;
        }
        std::map<int, int> cellsInRow;
        for (const rtl::OUString& name : table->getCellNames())
            ++cellsInRow[rowOfName(name)];
        const auto rows = table->getRows();
        const rtl::OUString property = toUno(QStringLiteral("TableColumnSeparators"));
        for (int row = 0; row < rows->getCount(); ++row)
            if (cellsInRow[row + 1] == fitted.columns)
                as<css::beans::XPropertySet>(rows->getByIndex(row))->setPropertyValue(property, Any(separators));
    });
}

void fitColumnsToText(EngineState& state, DocumentData& document, const Reference<css::text::XTextTable>& table)
{
    FittedTable fitted;
    fitted.table = table;
    // A table the engine made and wrote into has its texts known here;
    // another's are read.
    const auto known = std::find_if(document.known.begin(), document.known.end(),
                                    [&](const KnownTable& k) { return k.table == table && k.size > 0; });
    state.call([&] {
        std::map<int, std::vector<rtl::OUString>> rows;
        for (const rtl::OUString& name : state.cellNames(document, table))
            rows[rowOfName(name)].push_back(name);
        for (const auto& [row, names] : rows)
            fitted.columns = std::max(fitted.columns, int(names.size()));
        for (const auto& [row, names] : rows) {
            if (int(names.size()) != fitted.columns)
                continue;
            for (int c = 0; c < fitted.columns; ++c) {
                const rtl::OUString& name = names[size_t(c)];
                if (known != document.known.end()) {
                    const auto text = known->texts.find(name);
                    fitted.cells[{row, c + 1}] = {text == known->texts.end() ? QString() : text->second,
                                                  known->family, known->size};
                } else {
                    fitted.cells[{row, c + 1}] = readCell(table, name);
                }
            }
        }
    });
    if (fitted.columns < 1)
        return;
    for (const auto& [place, cell] : fitted.cells)
        fitted.needs[place] = need(cell);
    applyColumnShares(state, fitted);
    std::erase_if(document.fitted, [&](const FittedTable& t) { return t.table == table; });
    document.fitted.push_back(std::move(fitted));
}

void refitCell(DocumentData& document, const Reference<css::text::XTextTable>& table, int row, int column,
               const QString& text, bool added)
{
    const auto found = std::find_if(document.fitted.begin(), document.fitted.end(),
                                    [&](const FittedTable& t) { return t.table == table; });
    if (found == document.fitted.end())
        return;
    FittedTable& fitted = *found;
    const auto cell = fitted.cells.find({row, column});
    if (cell == fitted.cells.end())
        return; // a merged row sets no column
    cell->second.text = added ? cell->second.text + text : text;
    const std::vector<double> before = columnWidths(fitted);
    fitted.needs[{row, column}] = need(cell->second);
    if (columnWidths(fitted) != before)
        fitted.changed = true;
}

} // namespace word::libreoffice
