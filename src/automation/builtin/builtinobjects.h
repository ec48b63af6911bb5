#pragma once
// The object handles of the built-in word processor. Each handle keeps the
// instance's state alive as an object and checks, on every call, that the
// instance still runs and that what it points to still exists.

#include "automation/builtin/enginestate.h"
#include "automation/word.h"

namespace word::builtin {

using StatePtr = std::shared_ptr<EngineState>;
using DocPtr = std::shared_ptr<DocumentData>;

class BuiltinDocuments : public Documents {
public:
    explicit BuiltinDocuments(StatePtr state) : m_state(std::move(state)) {}
    std::shared_ptr<Document> add() override;
    std::shared_ptr<Document> open(const OpenArguments& arguments) override;
    std::shared_ptr<Document> item(const QString& nameOrPath) override;
    int count() override;

private:
    StatePtr m_state;
};

class BuiltinDocument : public Document {
public:
    BuiltinDocument(StatePtr state, std::weak_ptr<DocumentData> document)
        : m_state(std::move(state)), m_document(std::move(document)) {}
    QString name() override;
    void activate() override;
    std::shared_ptr<PageSetup> pageSetup() override;
    std::shared_ptr<Tables> tables() override;
    void save() override;

private:
    DocPtr data();
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
};

class BuiltinPageSetup : public PageSetup {
public:
    BuiltinPageSetup(StatePtr state, std::weak_ptr<DocumentData> document)
        : m_state(std::move(state)), m_document(std::move(document)) {}
    void setTopMargin(float points) override { set(&PageSetupData::topMargin, points); }
    void setBottomMargin(float points) override { set(&PageSetupData::bottomMargin, points); }
    void setLeftMargin(float points) override { set(&PageSetupData::leftMargin, points); }
    void setRightMargin(float points) override { set(&PageSetupData::rightMargin, points); }
    void setHeaderDistance(float points) override { set(&PageSetupData::headerDistance, points); }
    void setFooterDistance(float points) override { set(&PageSetupData::footerDistance, points); }
    void setPageWidth(float points) override { set(&PageSetupData::pageWidth, points); }
    void setPageHeight(float points) override { set(&PageSetupData::pageHeight, points); }
    void setVerticalAlignment(int alignment) override;

private:
    void set(float PageSetupData::*member, float points);
    DocPtr data();
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
};

class BuiltinSelection : public Selection {
public:
    explicit BuiltinSelection(StatePtr state) : m_state(std::move(state)) {}
    std::shared_ptr<ParagraphFormat> paragraphFormat() override;
    std::shared_ptr<Font> font() override;
    void typeText(const QString& text) override;
    void typeParagraph() override;
    std::shared_ptr<Range> range() override;
    std::shared_ptr<Cells> cells() override;

private:
    StatePtr m_state;
};

// A range is either the insertion point of a document or the whole content
// of one table cell.
class BuiltinRange : public Range {
public:
    // The insertion point of the document.
    BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, int position);
    // The content of a cell, found again by its place in the table.
    BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table, int row,
                 int column);
    QString text() override;
    void setText(const QString& text) override;
    void insertAfter(const QString& text) override;

    // The position a table added at this range goes to.
    int insertionPosition();
    DocPtr document();

private:
    QTextTableCell cell();
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
    QPointer<QTextTable> m_table;
    int m_row = -1;     // 0-based row in the table; -1 for a plain position
    int m_column = -1;  // 0-based grid column of the cell
    int m_position = 0;
};

class BuiltinTables : public Tables {
public:
    BuiltinTables(StatePtr state, std::weak_ptr<DocumentData> document)
        : m_state(std::move(state)), m_document(std::move(document)) {}
    std::shared_ptr<Table> add(const std::shared_ptr<Range>& range, int rows, int columns,
                               int defaultTableBehavior) override;
    std::shared_ptr<Table> item(int index) override;
    int count() override;

private:
    DocPtr data();
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
};

class BuiltinTable : public Table {
public:
    BuiltinTable(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)) {}
    std::shared_ptr<Cell> cell(int row, int column) override;
    std::shared_ptr<Rows> rows() override;
    std::shared_ptr<Columns> columns() override;
    void select() override;
    void autoFitBehavior(int behavior) override;

private:
    QTextTable* table();
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
    QPointer<QTextTable> m_table;
};

class BuiltinCell : public Cell {
public:
    BuiltinCell(std::shared_ptr<BuiltinRange> range) : m_range(std::move(range)) {}
    std::shared_ptr<Range> range() override { return m_range; }

private:
    std::shared_ptr<BuiltinRange> m_range;
};

class BuiltinRows : public Rows {
public:
    BuiltinRows(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)) {}
    int count() override;
    std::shared_ptr<Row> item(int index) override;

private:
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
    QPointer<QTextTable> m_table;
};

class BuiltinRow : public Row {
public:
    BuiltinRow(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table, int row)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)), m_row(row) {}
    std::shared_ptr<Cells> cells() override;

private:
    StatePtr m_state;
    std::weak_ptr<DocumentData> m_document;
    QPointer<QTextTable> m_table;
    int m_row;
};

// A set of cells: one row's cells, the cells of the selection (a whole
// selected table or the cell holding the insertion point).
class BuiltinCells : public Cells {
public:
    // firstRow/lastRow are 0-based and inclusive.
    BuiltinCells(StatePtr state, QPointer<QTextTable> table, int firstRow, int lastRow)
        : m_state(std::move(state)), m_table(std::move(table)), m_firstRow(firstRow), m_lastRow(lastRow) {}
    // Only the cell at this grid place.
    BuiltinCells(StatePtr state, QPointer<QTextTable> table, int row, int column, bool)
        : m_state(std::move(state)), m_table(std::move(table)), m_firstRow(row), m_lastRow(row), m_column(column) {}
    int count() override;
    void merge() override;
    void setVerticalAlignment(int alignment) override;

private:
    QTextTable* table();
    StatePtr m_state;
    QPointer<QTextTable> m_table;
    int m_firstRow;
    int m_lastRow;
    int m_column = -1;
};

class BuiltinColumns : public Columns {
public:
    BuiltinColumns(StatePtr state, QPointer<QTextTable> table) : m_state(std::move(state)), m_table(std::move(table)) {}
    int count() override;

private:
    StatePtr m_state;
    QPointer<QTextTable> m_table;
};

// Cells of one table row as the word processor counts them: every cell that
// starts in the row, from left to right. Returns their grid columns.
std::vector<int> rowCellColumns(QTextTable* table, int row);

// The tables of a document in document order (nested tables excluded).
std::vector<QTextTable*> documentTables(QTextDocument* document);

} // namespace word::builtin
