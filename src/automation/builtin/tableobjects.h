#pragma once
// The table handles of the built-in word processor: a document's tables, a
// table, its cells, rows and columns.

#include "automation/builtin/documentobjects.h"

namespace word::builtin {

class BuiltinTables : public Tables, private Handle {
public:
    BuiltinTables(StatePtr state, std::weak_ptr<DocumentData> document)
        : Handle(std::move(state), std::move(document)) {}
    std::shared_ptr<Table> add(const std::shared_ptr<Range>& range, int rows, int columns,
                               int defaultTableBehavior) override;
    std::shared_ptr<Table> item(int index) override;
    int count() override;
};

class BuiltinTable : public Table, private TableHandle {
public:
    BuiltinTable(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : TableHandle(std::move(state), std::move(document), std::move(table)) {}
    std::shared_ptr<Cell> cell(int row, int column) override;
    std::shared_ptr<Rows> rows() override;
    std::shared_ptr<Columns> columns() override;
    void select() override;
    void autoFitBehavior(int behavior) override;
};

class BuiltinCell : public Cell {
public:
    explicit BuiltinCell(std::shared_ptr<BuiltinRange> range) : m_range(std::move(range)) {}
    std::shared_ptr<Range> range() override { return m_range; }

private:
    std::shared_ptr<BuiltinRange> m_range;
};

class BuiltinRows : public Rows, private TableHandle {
public:
    BuiltinRows(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : TableHandle(std::move(state), std::move(document), std::move(table)) {}
    int count() override;
    std::shared_ptr<Row> item(int index) override;
};

class BuiltinRow : public Row, private TableHandle {
public:
    BuiltinRow(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table, int row)
        : TableHandle(std::move(state), std::move(document), std::move(table)), m_row(row) {}
    std::shared_ptr<Cells> cells() override;

private:
    int m_row; // 0-based
};

// A set of cells: one row's cells, the cells of the selection (a whole
// selected table or the cell holding the insertion point).
class BuiltinCells : public Cells, private TableHandle {
public:
    // The cells of rows firstRow to lastRow (0-based, inclusive); with a
    // column, only the cell at that grid place.
    BuiltinCells(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table, int firstRow,
                 int lastRow, int column = -1)
        : TableHandle(std::move(state), std::move(document), std::move(table)), m_firstRow(firstRow),
          m_lastRow(lastRow), m_column(column) {}
    int count() override;
    void merge() override;
    void setVerticalAlignment(int alignment) override;

private:
    // The table, as long as it still has the rows.
    QTextTable* rowsTable() const;
    int m_firstRow;
    int m_lastRow;
    int m_column; // -1 for every cell of the rows
};

class BuiltinColumns : public Columns, private TableHandle {
public:
    BuiltinColumns(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : TableHandle(std::move(state), std::move(document), std::move(table)) {}
    int count() override;
};

// Cells of one table row as the word processor counts them: every cell that
// starts in the row, from left to right. Returns their grid columns.
std::vector<int> rowCellColumns(QTextTable* table, int row);

// The tables of a document in document order (nested tables excluded).
std::vector<QTextTable*> documentTables(QTextDocument* document);

} // namespace word::builtin
