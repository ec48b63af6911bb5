#pragma once
// The word processor's object model, as the rest of the program drives it:
// application, documents, document, page setup, selection, range, tables,
// table, cell, rows, row, cells, columns. Engines implement these classes;
// callers hold only these interfaces and never know which engine runs.
//
// Every object is handed out as a shared pointer; it stays valid as an object
// even after the application behind it has quit, but every call on it then
// raises AutomationError.

#include "automation/automationerror.h"
#include "common/pagepictures.h"

#include <QString>
#include <functional>
#include <memory>

namespace word {

class Application;
class Documents;
class Document;
class PageSetup;
class Selection;
class ParagraphFormat;
class Font;
class Range;
class Tables;
class Table;
class Cell;
class Rows;
class Row;
class Cells;
class Columns;

// Word's constants, as the callers pass them.
enum Alignment { AlignLeft = 0, AlignCenter = 1, AlignRight = 2, AlignJustify = 3 };
enum PageVerticalAlignment { PageAlignTop = 0, PageAlignCenter = 1, PageAlignJustify = 2, PageAlignBottom = 3 };
enum CellVerticalAlignment { CellAlignTop = 0, CellAlignCenter = 1, CellAlignBottom = 3 };
enum AutoFit { AutoFitFixed = 0, AutoFitContent = 1, AutoFitWindow = 2 };
enum TableBehavior { Word8TableBehavior = 0, Word9TableBehavior = 1 };
enum SaveOptions { DoNotSaveChanges = 0, SaveChanges = -1, PromptToSaveChanges = -2 };

// How Document.exportPicture draws the pages.
using PictureOptions = pictures::Options;

// The named arguments of documents.open.
struct OpenArguments {
    QString filename;
    bool confirmConversions = false;
    bool readOnly = false;
    bool addToRecentFiles = false;
    QString passwordDocument;
    QString passwordTemplate;
    bool revert = false;
    QString writePasswordDocument;
    QString writePasswordTemplate;
    short format = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::shared_ptr<Documents> documents() = 0;
    virtual std::shared_ptr<Document> activeDocument() = 0;
    virtual std::shared_ptr<Selection> selection() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool visible() = 0;
    // Ends the instance. Unsaved changes are asked about (Yes, No, Cancel)
    // unless told otherwise. Returns false when the user cancelled, or a save
    // the user asked for did not happen; the instance then goes on.
    virtual bool quit(int saveChanges = PromptToSaveChanges) = 0;
    // Prints the active document. `copies` is passed on as the user typed it.
    virtual void printOut(const QString& copies, bool background) = 0;
    // Whether the instance still runs (false after quit or after the user
    // closed its window).
    virtual bool running() const = 0;
    // Tells the owner when the instance ends, however it ends: quit, the
    // user closing its window, the word processor gone. The handler runs
    // once, on the thread of the windows, after running() became false; it
    // may release the application object. A new handler replaces the old.
    virtual void setEndedHandler(std::function<void()> handler) = 0;
    // A moment worth keeping (course entry has closed): an engine that keeps
    // recovery copies of unsaved work writes them now; others do nothing.
    virtual void keepRecoveryCopies() {}
    // The user keeps the word processor when the program ends without
    // closing the timetable: it goes on with its documents, as a program of
    // its own. Where nothing could show it (no display), its unsaved work is
    // kept another way and the instance ends; the result is then a sentence
    // for the user saying where the work is, otherwise empty. The owner is
    // not told of the end.
    virtual QString handOver() { return QString(); }
    // Once the instance has ended by itself (the word processor crashed,
    // was killed, or was ended because it stopped answering): a sentence
    // for the user saying so and where its unsaved work was kept. Empty
    // after an ordinary end (quit, the user closing it). Given out once.
    virtual QString takeEndNote() { return QString(); }
};

class Documents {
public:
    virtual ~Documents() = default;
    virtual std::shared_ptr<Document> add() = 0;
    virtual std::shared_ptr<Document> open(const OpenArguments& arguments) = 0;
    // documents(name or full path)
    virtual std::shared_ptr<Document> item(const QString& nameOrPath) = 0;
    virtual int count() = 0;
};

class Document {
public:
    virtual ~Document() = default;
    virtual QString name() = 0;
    virtual void activate() = 0;
    virtual std::shared_ptr<PageSetup> pageSetup() = 0;
    virtual std::shared_ptr<Tables> tables() = 0;
    // Saves in place; a document with no file yet asks for a name.
    virtual void save() = 0;
    // Saves to `path` without asking, in the format its name gives (.odt
    // OpenDocument, otherwise Word 97-2003); the document then belongs to
    // that file.
    virtual void saveAs(const QString& path) = 0;
    // Saves the document's pages as pictures, rendered by the word processor
    // as it prints them: one file for one page, numbered files for more (see
    // pictures::fileNames); PNG, or JPEG for a .jpg or .jpeg name. Returns
    // the files written.
    virtual QStringList exportPicture(const QString& path, const PictureOptions& options) = 0;
};

class PageSetup {
public:
    virtual ~PageSetup() = default;
    virtual void setTopMargin(float points) = 0;
    virtual void setBottomMargin(float points) = 0;
    virtual void setLeftMargin(float points) = 0;
    virtual void setRightMargin(float points) = 0;
    virtual void setHeaderDistance(float points) = 0;
    virtual void setFooterDistance(float points) = 0;
    virtual void setPageWidth(float points) = 0;
    virtual void setPageHeight(float points) = 0;
    virtual void setVerticalAlignment(int alignment) = 0;
};

class ParagraphFormat {
public:
    virtual ~ParagraphFormat() = default;
    virtual void setAlignment(int alignment) = 0;
    virtual void setFirstLineIndent(float points) = 0;
};

class Font {
public:
    virtual ~Font() = default;
    virtual void setName(const QString& name) = 0;
    virtual void setSize(float points) = 0;
};

class Selection {
public:
    virtual ~Selection() = default;
    virtual std::shared_ptr<ParagraphFormat> paragraphFormat() = 0;
    virtual std::shared_ptr<Font> font() = 0;
    virtual void typeText(const QString& text) = 0;
    virtual void typeParagraph() = 0;
    virtual std::shared_ptr<Range> range() = 0;
    virtual std::shared_ptr<Cells> cells() = 0;
};

class Range {
public:
    virtual ~Range() = default;
    virtual QString text() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void insertAfter(const QString& text) = 0;
};

class Tables {
public:
    virtual ~Tables() = default;
    virtual std::shared_ptr<Table> add(const std::shared_ptr<Range>& range, int rows, int columns,
                                       int defaultTableBehavior) = 0;
    // tables(n), counted from 1
    virtual std::shared_ptr<Table> item(int index) = 0;
    virtual int count() = 0;
};

class Table {
public:
    virtual ~Table() = default;
    // cell(row, column), both counted from 1; in a row whose cells have been
    // merged, the row has fewer cells and is counted by its own cells.
    virtual std::shared_ptr<Cell> cell(int row, int column) = 0;
    virtual std::shared_ptr<Rows> rows() = 0;
    virtual std::shared_ptr<Columns> columns() = 0;
    virtual void select() = 0;
    virtual void autoFitBehavior(int behavior) = 0;
};

class Cell {
public:
    virtual ~Cell() = default;
    virtual std::shared_ptr<Range> range() = 0;
};

class Rows {
public:
    virtual ~Rows() = default;
    virtual int count() = 0;
    virtual std::shared_ptr<Row> item(int index) = 0;
};

class Row {
public:
    virtual ~Row() = default;
    virtual std::shared_ptr<Cells> cells() = 0;
};

class Cells {
public:
    virtual ~Cells() = default;
    virtual int count() = 0;
    virtual void merge() = 0;
    virtual void setVerticalAlignment(int alignment) = 0;
};

class Columns {
public:
    virtual ~Columns() = default;
    virtual int count() = 0;
};

} // namespace word
