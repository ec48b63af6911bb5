#pragma once
// The document-level objects of the LibreOffice engine: documents, a
// document and its page setup, the selection, and a range.

#include "automation/libreoffice/enginestate.h"
#include "automation/word.h"
#include "docfile/document.h"

#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/text/XTextRange.hpp>

namespace word::libreoffice {

using StatePtr = std::shared_ptr<EngineState>;

class OfficeDocuments : public Documents {
public:
    explicit OfficeDocuments(StatePtr state) : m_state(std::move(state)) {}
    std::shared_ptr<Document> add() override;
    std::shared_ptr<Document> open(const OpenArguments& arguments) override;
    std::shared_ptr<Document> item(const QString& nameOrPath) override;
    int count() override;

private:
    // Takes a loaded document into the instance as the active one.
    std::shared_ptr<Document> adopt(const Reference<css::lang::XComponent>& component, const QString& path);
    StatePtr m_state;
};

class OfficeDocument : public Document {
public:
    OfficeDocument(StatePtr state, DocPtr document) : m_state(std::move(state)), m_document(std::move(document)) {}
    QString name() override;
    void activate() override;
    std::shared_ptr<PageSetup> pageSetup() override;
    std::shared_ptr<Tables> tables() override;
    void save() override;
    // (pictureexport.cpp)
    void saveAs(const QString& path) override;
    QStringList exportPicture(const QString& path, const PictureOptions& options) override;

private:
    StatePtr m_state;
    DocPtr m_document;
};

// Saves a document to its file, or asks for one when it has none; false
// when the user cancelled.
bool saveDocument(EngineState& state, DocumentData& document);
// A file's name, its URL for Writer and back.
QString nameOf(const QString& path);
rtl::OUString urlOf(const QString& path);
QString pathOfUrl(const rtl::OUString& url);
// The first paragraph's text, which a new document is offered to be saved
// under (inside a call).
QString firstParagraph(const DocumentData& document);
// The frame a document is shown in (inside a call).
Reference<css::frame::XFrame> frameOf(const DocumentData& document);

// Writer's filter for writing a format.
rtl::OUString filterOf(docfile::Format format);

// Shows a document's window (or hides it).
void showDocumentWindow(EngineState& state, const DocumentData& document, bool visible);
// The same, on the thread the call runs on.
void showWindowNow(const DocumentData& document, bool visible);

class OfficePageSetup : public PageSetup {
public:
    OfficePageSetup(StatePtr state, DocPtr document) : m_state(std::move(state)), m_document(std::move(document)) {}
    void setTopMargin(float points) override { set("TopMargin", points); }
    void setBottomMargin(float points) override { set("BottomMargin", points); }
    void setLeftMargin(float points) override { set("LeftMargin", points); }
    void setRightMargin(float points) override { set("RightMargin", points); }
    void setHeaderDistance(float points) override;
    void setFooterDistance(float points) override;
    void setPageWidth(float points) override { set("Width", points); }
    void setPageHeight(float points) override { set("Height", points); }
    void setVerticalAlignment(int alignment) override;

private:
    void set(const char* property, float points);
    StatePtr m_state;
    DocPtr m_document;
};

class OfficeSelection : public Selection {
public:
    explicit OfficeSelection(StatePtr state) : m_state(std::move(state)) {}
    std::shared_ptr<ParagraphFormat> paragraphFormat() override;
    std::shared_ptr<Font> font() override;
    void typeText(const QString& text) override;
    void typeParagraph() override;
    std::shared_ptr<Range> range() override;
    std::shared_ptr<Cells> cells() override;

private:
    StatePtr m_state;
};

// A range: a place in a document's text (the insertion point when it was
// asked for), or the whole content of one table cell.
class OfficeRange : public Range {
public:
    OfficeRange(StatePtr state, DocPtr document, Reference<css::text::XTextRange> place)
        : m_state(std::move(state)), m_document(std::move(document)), m_place(std::move(place)) {}
    // A cell, found again by its place at each call (merges change names).
    OfficeRange(StatePtr state, DocPtr document, Reference<css::text::XTextTable> table, int row, int column)
        : m_state(std::move(state)), m_document(std::move(document)), m_table(std::move(table)), m_row(row),
          m_column(column) {}
    QString text() override;
    void setText(const QString& text) override;
    void insertAfter(const QString& text) override;

    Reference<css::text::XTextRange> place() const { return m_place; }
    DocPtr document() const { return m_document; }

private:
    Reference<css::text::XText> cellText();
    // What the engine knows of the table follows a write into the cell.
    void wroteCell(const QString& text, bool added);
    StatePtr m_state;
    DocPtr m_document;
    Reference<css::text::XTextRange> m_place;
    Reference<css::text::XTextTable> m_table;
    int m_row = 0;    // 1-based
    int m_column = 0; // 1-based, among the row's own cells
};

// A document that is still open in the instance.
DocPtr requireOpen(EngineState& state, const DocPtr& document);

} // namespace word::libreoffice
