// A timetable saved and opened again must come back as it was: the same
// table in the engine, the same file when saved again, and the same
// printout.

#include "automation/builtin/builtinapplication.h"
#include "wordprocessor/docconvert.h"
#include "automation/factory.h"
#include "create/builder.h"
#include "docfile/document.h"
#include "platform/printdestination.h"
#include "support/printers.h"
#include "support/programs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace wordprocessor;
using word::builtin::BuiltinApplication;
using testsupport::havePdfTools;
using testsupport::run;

namespace {

std::shared_ptr<DocumentData> activeOf(const std::shared_ptr<word::Application>& app)
{
    return std::dynamic_pointer_cast<BuiltinApplication>(app)->state()->active;
}

int pageCount(const QString& pdf)
{
    const QString info = run("pdfinfo", {pdf});
    for (const QString& line : info.split(u'\n'))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The printout's text, line by line, blanks at the ends and empty lines left
// out. Compatibility forms (a CJK radical for the ideograph it looks like)
// count as the character they stand for: this test is about layout.
QStringList layoutLines(const QString& pdf)
{
    QStringList lines;
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).normalized(QString::NormalizationForm_KC);
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && trimmed != QStringLiteral("\f"))
            lines << trimmed.split(QRegularExpression(QStringLiteral("\\s+"))).join(u' ');
    }
    return lines;
}

// Where each word of the printout stands (pdftotext's bounding boxes): a
// row grown or shrunk moves every word below it.
struct Word {
    QString text;
    double x = 0, y = 0;
};

std::vector<Word> wordPositions(const QString& pdf)
{
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    std::vector<Word> words;
    const QString boxes = run("pdftotext", {"-bbox", pdf, "-"});
    for (auto it = word.globalMatch(boxes); it.hasNext();) {
        const auto match = it.next();
        words.push_back({match.captured(3), match.captured(1).toDouble(), match.captured(2).toDouble()});
    }
    return words;
}

// The same words in the same places, give or take a point of rounding.
void expectSamePlaces(const std::vector<Word>& a, const std::vector<Word>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_NEAR(a[i].x, b[i].x, 1.5) << a[i].text.toStdString();
        EXPECT_NEAR(a[i].y, b[i].y, 1.5) << a[i].text.toStdString();
    }
}

void printTo(const std::shared_ptr<word::Application>& app, const QString& pdf, const char* copies)
{
    qputenv(platform::kPrintToPdfVariable, pdf.toUtf8());
    app->printOut(QString::fromLatin1(copies), false);
    qunsetenv(platform::kPrintToPdfVariable);
}

std::shared_ptr<word::Application> openFile(const QString& path)
{
    auto app = word::createObject("word.application");
    word::OpenArguments arguments;
    arguments.filename = path;
    app->documents()->open(arguments);
    return app;
}

// Everything of a table a user sees, widths within a twentieth of a point
// per cell edge.
void expectSameTable(const docfile::Table& a, const docfile::Table& b)
{
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (size_t r = 0; r < a.rows.size(); ++r) {
        ASSERT_EQ(a.rows[r].cells.size(), b.rows[r].cells.size()) << "row " << r;
        for (size_t c = 0; c < a.rows[r].cells.size(); ++c) {
            const docfile::Cell& x = a.rows[r].cells[c];
            const docfile::Cell& y = b.rows[r].cells[c];
            EXPECT_EQ(x.paragraphs, y.paragraphs) << "row " << r << " cell " << c;
            EXPECT_EQ(x.verticalAlignment, y.verticalAlignment) << "row " << r << " cell " << c;
            EXPECT_NEAR(x.width, y.width, 20) << "row " << r << " cell " << c;
        }
    }
}

class Reopen : public ::testing::Test {
protected:
    QTemporaryDir folder;
};

} // namespace

TEST_F(Reopen, ABuiltTimetableComesBackAsItWasSavedOnScreenInTheFileAndInPrint)
{
    create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    const auto timetable = create::build(request, {4, 4, 6});
    timetable.table->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    timetable.table->cell(7, 3)->range()->setText(QStringLiteral("数学"));
    timetable.table->cell(10, 7)->range()->setText(QStringLiteral("体育"));
    const docfile::Document built = toModel(*activeOf(timetable.application));
    const QString first = folder.filePath("first.doc");
    docfile::writeFile(built, QFile::encodeName(first).toStdString());
    const QString before = folder.filePath("before.pdf");
    if (havePdfTools())
        printTo(timetable.application, before, "3");
    timetable.application->quit(word::DoNotSaveChanges);

    // Opened again, the engine holds the table that was saved.
    const auto reopened = openFile(first);
    const docfile::Document again = toModel(*activeOf(reopened));
    EXPECT_EQ(again.section, built.section);
    ASSERT_EQ(again.blocks.size(), built.blocks.size());
    EXPECT_EQ(std::get<docfile::Paragraph>(again.blocks[0]), std::get<docfile::Paragraph>(built.blocks[0]));
    expectSameTable(std::get<docfile::Table>(built.blocks[1]), std::get<docfile::Table>(again.blocks[1]));

    // Saved again, the file holds the same table as the first one.
    const QString second = folder.filePath("second.doc");
    docfile::writeFile(again, QFile::encodeName(second).toStdString());
    const docfile::Document firstRead = docfile::readFile(QFile::encodeName(first).toStdString());
    const docfile::Document secondRead = docfile::readFile(QFile::encodeName(second).toStdString());
    EXPECT_EQ(secondRead.section, firstRead.section);
    expectSameTable(std::get<docfile::Table>(firstRead.blocks.at(1)), std::get<docfile::Table>(secondRead.blocks.at(1)));

    if (!havePdfTools()) {
        reopened->quit(word::DoNotSaveChanges);
        GTEST_SKIP() << "poppler-utils are not installed";
    }
    // Printed, the reopened timetable gives the same pages and lines.
    const QString after = folder.filePath("after.pdf");
    printTo(reopened, after, "3");
    reopened->quit(word::DoNotSaveChanges);
    EXPECT_EQ(pageCount(before), 3);
    EXPECT_EQ(pageCount(after), 3);
    // The printout's text is searchable as typed.
    for (const QString& pdf : {before, after}) {
        const QString text = run("pdftotext", {pdf, "-"});
        EXPECT_TRUE(text.contains(QStringLiteral("星期一")) && text.contains(QStringLiteral("第一节"))
                    && text.contains(QStringLiteral("第八节")))
            << text.toStdString();
    }
    const QStringList beforeLines = layoutLines(before);
    EXPECT_TRUE(beforeLines.join(u'\n').contains(QStringLiteral("第一节(07:50-08:35)"))) << beforeLines.join(u'\n').toStdString();
    EXPECT_EQ(layoutLines(after), beforeLines);
    expectSamePlaces(wordPositions(after), wordPositions(before));
}

// Another word processor lays a saved timetable out as ours does: the same
// lines, and no period label broken over two.
TEST_F(Reopen, LibreOfficeLaysOutASavedTimetableAsOurPrintoutDoes)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty() || !havePdfTools())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed";
    create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    const auto timetable = create::build(request, {4, 4, 6});
    timetable.table->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    const QString doc = folder.filePath("timetable.doc");
    docfile::writeFile(toModel(*activeOf(timetable.application)), QFile::encodeName(doc).toStdString());
    const QString ours = folder.filePath("ours.pdf");
    printTo(timetable.application, ours, "1");
    timetable.application->quit(word::DoNotSaveChanges);

    QProcess convert;
    convert.start(soffice, {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless",
                            "--convert-to", "pdf", "--outdir", folder.filePath("lo"), doc});
    ASSERT_TRUE(convert.waitForFinished(180000));
    const QString theirs = folder.filePath("lo/timetable.pdf");
    ASSERT_TRUE(QFile::exists(theirs)) << convert.readAllStandardError().toStdString();

    const QStringList ourLines = layoutLines(ours);
    const QStringList theirLines = layoutLines(theirs);
    for (int period = 0; period < 8; ++period) {
        const QString label = grid::periodLabel(period, true, grid::defaultTimeLabels());
        const auto onOneLine = [&](const QStringList& lines) {
            return std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(label); });
        };
        EXPECT_TRUE(onOneLine(ourLines)) << label.toStdString();
        EXPECT_TRUE(onOneLine(theirLines)) << label.toStdString() << "\n" << theirLines.join(u'\n').toStdString();
    }
    EXPECT_EQ(theirLines, ourLines);
}

// Files other programs made with merged rows print the same after we have
// saved them and opened our copy.
TEST_F(Reopen, CorpusFilesWithMergedRowsPrintTheSameAfterASaveAndReopen)
{
    if (!havePdfTools())
        GTEST_SKIP() << "poppler-utils are not installed";
    const QDir corpus(qEnvironmentVariable("LUMETRA_CORPUS_DIR"));
    int checked = 0;
    for (const QString& name : corpus.entryList({"*.doc"}, QDir::Files, QDir::Name)) {
        docfile::Document model;
        try {
            model = docfile::readFile(QFile::encodeName(corpus.filePath(name)).toStdString());
        } catch (const docfile::Error&) {
            continue; // refused files are another test's matter
        }
        bool merged = false;
        for (const docfile::Block& block : model.blocks)
            if (const auto* table = std::get_if<docfile::Table>(&block)) {
                size_t most = 0;
                for (const auto& row : table->rows)
                    most = std::max(most, row.cells.size());
                for (const auto& row : table->rows)
                    merged = merged || row.cells.size() < most;
            }
        if (!merged)
            continue;
        SCOPED_TRACE(name.toStdString());
        // Opened from a copy: opening writes a lock beside the file, and
        // the corpus is shared.
        const QString source = folder.filePath("original-" + name);
        ASSERT_TRUE(QFile::copy(corpus.filePath(name), source));
        const auto original = openFile(source);
        const QString before = folder.filePath(name + ".before.pdf");
        printTo(original, before, "1");
        const QString copy = folder.filePath(name);
        docfile::writeFile(toModel(*activeOf(original)), QFile::encodeName(copy).toStdString());
        original->quit(word::DoNotSaveChanges);
        const auto reopened = openFile(copy);
        const QString after = folder.filePath(name + ".after.pdf");
        printTo(reopened, after, "1");
        reopened->quit(word::DoNotSaveChanges);
        EXPECT_EQ(pageCount(after), pageCount(before));
        EXPECT_EQ(layoutLines(after), layoutLines(before));
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no corpus file with merged rows was found";
}
