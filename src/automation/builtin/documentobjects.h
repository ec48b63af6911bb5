#pragma once
// The document-level handles of the built-in word processor: the documents,
// a document and its page setup, the selection, and a range.

#include "automation/builtin/handle.h"
#include "automation/word.h"

namespace word::builtin {

class BuiltinDocuments : public Documents, private Handle {
public:
    explicit BuiltinDocuments(StatePtr state) : Handle(std::move(state)) {}
    std::shared_ptr<Document> add() override;
    std::shared_ptr<Document> open(const OpenArguments& arguments) override;
    std::shared_ptr<Document> item(const QString& nameOrPath) override;
    int count() override;

private:
    // Takes a new document into the instance as the active one, and shows it.
    std::shared_ptr<Document> adopt(const DocPtr& document);
};

class BuiltinDocument : public Document, private Handle {
public:
    BuiltinDocument(StatePtr state, std::weak_ptr<DocumentData> document)
        : Handle(std::move(state), std::move(document)) {}
    QString name() override;
    void activate() override;
    std::shared_ptr<PageSetup> pageSetup() override;
    std::shared_ptr<Tables> tables() override;
    void save() override;
    void saveAs(const QString& path) override;
    QStringList exportPicture(const QString& path, const PictureOptions& options) override;
};

class BuiltinPageSetup : public PageSetup, private Handle {
public:
    BuiltinPageSetup(StatePtr state, std::weak_ptr<DocumentData> document)
        : Handle(std::move(state), std::move(document)) {}
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
};

// The selection of the active document: the insertion point, or a whole
// selected table.
class BuiltinSelection : public Selection, private Handle {
public:
    explicit BuiltinSelection(StatePtr state) : Handle(std::move(state)) {}
    std::shared_ptr<ParagraphFormat> paragraphFormat() override;
    std::shared_ptr<Font> font() override;
    void typeText(const QString& text) override;
    void typeParagraph() override;
    std::shared_ptr<Range> range() override;
    std::shared_ptr<Cells> cells() override;
};

// A range is either the insertion point of a document or the whole content
// of one table cell. A plain position has no table.
class BuiltinRange : public Range, private TableHandle {
public:
    // The insertion point of the document.
    BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, int position)
        : TableHandle(std::move(state), std::move(document), nullptr), m_position(position) {}
    // The content of a cell, found again by its place in the table.
    BuiltinRange(StatePtr state, std::weak_ptr<DocumentData> document, QPointer<QTextTable> table, int row,
                 int column)
        : TableHandle(std::move(state), std::move(document), std::move(table)), m_row(row), m_column(column) {}
    QString text() override;
    void setText(const QString& text) override;
    void insertAfter(const QString& text) override;

    // The position a table added at this range goes to.
    int insertionPosition();
    using TableHandle::document;

private:
    QTextTableCell cell();
    // Types the text at the plain position, in the font of what is typed next.
    void typeAtPosition(const QString& text);
    int m_row = -1;     // 0-based row in the table; -1 for a plain position
    int m_column = -1;  // 0-based grid column of the cell
    int m_position = 0;
};

} // namespace word::builtin
