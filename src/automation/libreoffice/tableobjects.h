#pragma once
// The table objects of the LibreOffice engine. Writer names a table's
// cells row by row ("A1", "B1", ...); a merged row keeps fewer names, so a
// cell is found as the n-th name of its row, as callers count cells.

#include "automation/libreoffice/documentobjects.h"

#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextTableCursor.hpp>

namespace word::libreoffice {

// The row a cell name belongs to: "B12" and "B12.1.1" are in row 12.
int rowOfName(const rtl::OUString& name);
// The rows of a table whose cells are so named (the highest row named).
int rowCount(const std::vector<rtl::OUString>& names);
// The names of one row's cells, left to right (row counted from 1).
std::vector<rtl::OUString> rowCellNames(const std::vector<rtl::OUString>& names, int row);
// The name of the column-th cell of a row; raises when there is none.
rtl::OUString cellName(const std::vector<rtl::OUString>& names, int row, int column);
// A table cursor over every cell: character and paragraph properties set on
// it apply to the whole table.
Reference<css::text::XTextTableCursor> wholeTable(const Reference<css::text::XTextTable>& table);
// What the engine knows of a table's texts, if it made the table.
KnownTable* knownTable(DocumentData& document, const Reference<css::text::XTextTable>& table);

class OfficeTables : public Tables {
public:
    OfficeTables(StatePtr state, DocPtr document) : m_state(std::move(state)), m_document(std::move(document)) {}
    std::shared_ptr<Table> add(const std::shared_ptr<Range>& range, int rows, int columns,
                               int defaultTableBehavior) override;
    std::shared_ptr<Table> item(int index) override;
    int count() override;

private:
    StatePtr m_state;
    DocPtr m_document;
};

class OfficeTable : public Table {
public:
    OfficeTable(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)) {}
    std::shared_ptr<Cell> cell(int row, int column) override;
    std::shared_ptr<Rows> rows() override;
    std::shared_ptr<Columns> columns() override;
    void select() override;
    void autoFitBehavior(int behavior) override;

private:
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextTable> m_table;
};

class OfficeCell : public Cell {
public:
    explicit OfficeCell(std::shared_ptr<OfficeRange> range) : m_range(std::move(range)) {}
    std::shared_ptr<Range> range() override { return m_range; }

private:
    std::shared_ptr<OfficeRange> m_range;
};

class OfficeRows : public Rows {
public:
    OfficeRows(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)) {}
    int count() override;
    std::shared_ptr<Row> item(int index) override;

private:
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextTable> m_table;
};

class OfficeRow : public Row {
public:
    OfficeRow(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table, int row)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)), m_row(row) {}
    std::shared_ptr<Cells> cells() override;

private:
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextTable> m_table;
    int m_row;
};

// Cells: rows firstRow to lastRow (from 1, inclusive), or one named cell.
class OfficeCells : public Cells {
public:
    OfficeCells(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table, int firstRow, int lastRow)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)),
          m_firstRow(firstRow), m_lastRow(lastRow) {}
    OfficeCells(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table, QString cell)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)),
          m_cell(std::move(cell)) {}
    int count() override;
    void merge() override;
    void setVerticalAlignment(int alignment) override;

private:
    std::vector<rtl::OUString> names() const;
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextTable> m_table;
    int m_firstRow = 0;
    int m_lastRow = 0;
    QString m_cell;
};

class OfficeColumns : public Columns {
public:
    OfficeColumns(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)) {}
    int count() override;

private:
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextTable> m_table;
};

} // namespace word::libreoffice
