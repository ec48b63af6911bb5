#include "recordingengine.h"

namespace testsupport {

using word::AutomationError;
using Log = std::shared_ptr<RecordingLog>;

void RecordingLog::record(const QString& call)
{
    if (!running)
        throw AutomationError::notRunning();
    if (failAt == calls.size()) {
        calls << call + QStringLiteral(" !failed");
        throw AutomationError(QStringLiteral("模拟的失败：%1").arg(call));
    }
    calls << call;
}

namespace {

QString num(float value)
{
    // Seven significant digits: what a single-precision value holds.
    return QString::number(double(value), 'g', 7);
}

struct RRange : word::Range {
    Log log;
    QString path;
    RRange(Log l, QString p) : log(std::move(l)), path(std::move(p)) {}
    QString text() override { log->record(path + ".Text"); return QString(); }
    void setText(const QString& t) override { log->record(path + ".Text=" + t); }
    void insertAfter(const QString& t) override { log->record(path + ".insertafter(" + t + ")"); }
};

struct RCells : word::Cells {
    Log log;
    QString path;
    int row = 0;
    RCells(Log l, QString p, int r) : log(std::move(l)), path(std::move(p)), row(r) {}
    int count() override
    {
        log->record(path + ".Count");
        return log->cellsInRow ? log->cellsInRow(row) : 0;
    }
    void merge() override { log->record(path + ".Merge"); }
    void setVerticalAlignment(int a) override { log->record(path + ".VerticalAlignment=" + QString::number(a)); }
};

struct RRow : word::Row {
    Log log;
    int n;
    RRow(Log l, int r) : log(std::move(l)), n(r) {}
    std::shared_ptr<word::Cells> cells() override
    {
        return std::make_shared<RCells>(log, QStringLiteral("Rows(%1).cells").arg(n), n);
    }
};

struct RRows : word::Rows {
    Log log;
    explicit RRows(Log l) : log(std::move(l)) {}
    int count() override { log->record("Rows.Count"); return log->rowsCount; }
    std::shared_ptr<word::Row> item(int i) override { return std::make_shared<RRow>(log, i); }
};

struct RColumns : word::Columns {
    Log log;
    explicit RColumns(Log l) : log(std::move(l)) {}
    int count() override { log->record("Columns.Count"); return log->columnsCount; }
};

struct RCell : word::Cell {
    Log log;
    int r, c;
    RCell(Log l, int row, int column) : log(std::move(l)), r(row), c(column) {}
    std::shared_ptr<word::Range> range() override
    {
        return std::make_shared<RRange>(log, QStringLiteral("cell(%1,%2).range").arg(r).arg(c));
    }
};

struct RTable : word::Table {
    Log log;
    explicit RTable(Log l) : log(std::move(l)) {}
    std::shared_ptr<word::Cell> cell(int r, int c) override { return std::make_shared<RCell>(log, r, c); }
    std::shared_ptr<word::Rows> rows() override { return std::make_shared<RRows>(log); }
    std::shared_ptr<word::Columns> columns() override { return std::make_shared<RColumns>(log); }
    void select() override { log->record("table.Select"); }
    void autoFitBehavior(int b) override { log->record(QStringLiteral("table.AutoFitBehavior(%1)").arg(b)); }
};

struct RTables : word::Tables {
    Log log;
    explicit RTables(Log l) : log(std::move(l)) {}
    std::shared_ptr<word::Table> add(const std::shared_ptr<word::Range>& range, int rows, int columns,
                                     int behavior) override
    {
        auto* r = dynamic_cast<RRange*>(range.get());
        log->record(QStringLiteral("tables.Add(%1,%2,%3,%4)")
                        .arg(r ? r->path : QStringLiteral("?"))
                        .arg(rows)
                        .arg(columns)
                        .arg(behavior));
        return std::make_shared<RTable>(log);
    }
    std::shared_ptr<word::Table> item(int i) override
    {
        log->record(QStringLiteral("tables(%1)").arg(i));
        return std::make_shared<RTable>(log);
    }
    int count() override { log->record("tables.Count"); return 1; }
};

struct RPageSetup : word::PageSetup {
    Log log;
    explicit RPageSetup(Log l) : log(std::move(l)) {}
    void setTopMargin(float v) override { log->record("PageSetup.TopMargin=" + num(v)); }
    void setBottomMargin(float v) override { log->record("PageSetup.BottomMargin=" + num(v)); }
    void setLeftMargin(float v) override { log->record("PageSetup.LeftMargin=" + num(v)); }
    void setRightMargin(float v) override { log->record("PageSetup.RightMargin=" + num(v)); }
    void setHeaderDistance(float v) override { log->record("PageSetup.HeaderDistance=" + num(v)); }
    void setFooterDistance(float v) override { log->record("PageSetup.FooterDistance=" + num(v)); }
    void setPageWidth(float v) override { log->record("PageSetup.PageWidth=" + num(v)); }
    void setPageHeight(float v) override { log->record("PageSetup.PageHeight=" + num(v)); }
    void setVerticalAlignment(int a) override { log->record("PageSetup.VerticalAlignment=" + QString::number(a)); }
};

struct RDocument : word::Document {
    Log log;
    explicit RDocument(Log l) : log(std::move(l)) {}
    QString name() override { return QStringLiteral("文档1"); }
    void activate() override { log->record("Activate"); }
    std::shared_ptr<word::PageSetup> pageSetup() override { return std::make_shared<RPageSetup>(log); }
    std::shared_ptr<word::Tables> tables() override { return std::make_shared<RTables>(log); }
    void save() override { log->record("ActiveDocument.Save"); }
    void saveAs(const QString& path) override { log->record("ActiveDocument.SaveAs " + path); }
    QStringList exportPicture(const QString& path, const word::PictureOptions& o) override
    {
        log->record(QStringLiteral("ActiveDocument.ExportPicture %1 %2 %3").arg(path).arg(o.dpi).arg(o.wholePage));
        return {path};
    }
};

struct RDocuments : word::Documents {
    Log log;
    explicit RDocuments(Log l) : log(std::move(l)) {}
    std::shared_ptr<word::Document> add() override
    {
        log->record("documents.Add");
        return std::make_shared<RDocument>(log);
    }
    std::shared_ptr<word::Document> open(const word::OpenArguments& a) override
    {
        log->record(QStringLiteral("documents.open(%1,%2,%3,%4,'%5','%6',%7,'%8','%9',")
                        .arg(a.filename)
                        .arg(a.confirmConversions)
                        .arg(a.readOnly)
                        .arg(a.addToRecentFiles)
                        .arg(a.passwordDocument, a.passwordTemplate)
                        .arg(a.revert)
                        .arg(a.writePasswordDocument, a.writePasswordTemplate)
                    + QString::number(a.format) + ")");
        return std::make_shared<RDocument>(log);
    }
    std::shared_ptr<word::Document> item(const QString& path) override
    {
        log->record("documents(" + path + ")");
        return std::make_shared<RDocument>(log);
    }
    int count() override { return 1; }
};

struct RParagraphFormat : word::ParagraphFormat {
    Log log;
    explicit RParagraphFormat(Log l) : log(std::move(l)) {}
    void setAlignment(int a) override { log->record("Selection.ParagraphFormat.Alignment=" + QString::number(a)); }
    void setFirstLineIndent(float v) override { log->record("Selection.ParagraphFormat.FirstLineIndent=" + num(v)); }
};

struct RFont : word::Font {
    Log log;
    explicit RFont(Log l) : log(std::move(l)) {}
    void setName(const QString& n) override { log->record("Selection.Font.Name=" + n); }
    void setSize(float v) override { log->record("Selection.Font.Size=" + num(v)); }
};

struct RSelection : word::Selection {
    Log log;
    explicit RSelection(Log l) : log(std::move(l)) {}
    std::shared_ptr<word::ParagraphFormat> paragraphFormat() override { return std::make_shared<RParagraphFormat>(log); }
    std::shared_ptr<word::Font> font() override { return std::make_shared<RFont>(log); }
    void typeText(const QString& t) override { log->record("Selection.TypeText(" + t + ")"); }
    void typeParagraph() override { log->record("Selection.TypeParagraph"); }
    std::shared_ptr<word::Range> range() override { return std::make_shared<RRange>(log, "Selection.range"); }
    std::shared_ptr<word::Cells> cells() override { return std::make_shared<RCells>(log, "Selection.cells", 0); }
};

struct RApplication : word::Application {
    Log log;
    explicit RApplication(Log l) : log(std::move(l)) {}
    std::shared_ptr<word::Documents> documents() override { return std::make_shared<RDocuments>(log); }
    std::shared_ptr<word::Document> activeDocument() override { return std::make_shared<RDocument>(log); }
    std::shared_ptr<word::Selection> selection() override { return std::make_shared<RSelection>(log); }
    void setVisible(bool v) override { log->record(QStringLiteral("Visible=%1").arg(v ? "true" : "false")); }
    bool visible() override { return true; }
    bool quit(int saveChanges) override
    {
        log->record(saveChanges == word::DoNotSaveChanges ? QStringLiteral("quit(DoNotSaveChanges)")
                                                           : QStringLiteral("quit"));
        log->running = false;
        ++log->quits;
        if (ended)
            ended();
        return true;
    }
    void printOut(const QString& copies, bool background) override
    {
        log->record(QStringLiteral("PrintOut(%1,%2)").arg(copies).arg(background));
    }
    bool running() const override { return log->running; }
    void setEndedHandler(std::function<void()> handler) override { ended = std::move(handler); }
    std::function<void()> ended;
};

} // namespace

std::shared_ptr<word::Application> makeRecordingApplication(std::shared_ptr<RecordingLog> log)
{
    return std::make_shared<RApplication>(std::move(log));
}

} // namespace testsupport
