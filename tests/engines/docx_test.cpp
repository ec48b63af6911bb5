// A timetable in today's Word format (.docx), made by another word
// processor, taken up on either engine: opened, course entry continued,
// saved again as .docx (its own format) and as .doc, each read correctly by
// our reader and by independent ones.

#include "automation/factory.h"
#include "docfile/formats.h"
#include "entry/entrydialog.h"
#include "support/programs.h"
#include "onengine.h"
#include "support/timetablesteps.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

using namespace testsupport;

namespace {

std::optional<docfile::Format> formatOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return docfile::detectFormat(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()));
}

// The texts of the first table's cells, row by row, as our reader gives them.
std::vector<std::vector<std::string>> tableTexts(const QString& path)
{
    std::vector<std::vector<std::string>> rows;
    const docfile::Document document = docfile::readFile(QFile::encodeName(path).toStdString());
    for (const docfile::Block& block : document.blocks) {
        const auto* table = std::get_if<docfile::Table>(&block);
        if (!table)
            continue;
        for (const docfile::Row& row : table->rows) {
            rows.emplace_back();
            for (const docfile::Cell& cell : row.cells) {
                std::string text;
                for (const docfile::Paragraph& paragraph : cell.paragraphs)
                    for (const docfile::Run& run : paragraph.runs)
                        text += run.text;
                rows.back().push_back(text);
            }
        }
        break;
    }
    return rows;
}

class DocxTimetable : public OnEngine {
protected:
    void SetUp() override
    {
        soffice = QStandardPaths::findExecutable("soffice");
        if (soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice is not installed: no other word processor to make the .docx";
        OnEngine::SetUp();
    }

    // Another word processor turns a file into a .docx of its own making.
    QString convertToDocx(const QString& path)
    {
        QProcess convert;
        convert.start(soffice, {"--headless", "--norestore",
                                "-env:UserInstallation=file://" + folder.filePath("converter-profile"),
                                "--convert-to", "docx", "--outdir", folder.filePath("converted"), path});
        EXPECT_TRUE(convert.waitForFinished(120000));
        return folder.filePath("converted/" + QFileInfo(path).completeBaseName() + ".docx");
    }

    QString soffice;
};

} // namespace

TEST_P(DocxTimetable, MadeElsewhereContinuedHereAndSavedInBothFormats)
{
    // A timetable with its first day filled, as LibreOffice saves it as .docx.
    build("4", "4", "6", true);
    main.entryDialog->com1->setFocus();
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(main.entryDialog->com1, Qt::Key_Return);
    const QString monday = main.entryDialog->kemu.value(0);
    main.entryDialog->fini->click();
    settle();
    const QString original = folder.filePath(QStringLiteral("初一（2）班.doc"));
    saveAs(original);
    action("closewd")->trigger();
    settle();
    const QString docx = convertToDocx(original);
    ASSERT_EQ(formatOfFile(docx), docfile::Format::OfficeOpenXml) << docx.toStdString();

    // Opened as any timetable: the grid worked out from its table.
    open(docx);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(main.state().hang, 10);
    EXPECT_EQ(main.state().lie, 7);
    EXPECT_EQ(main.state().morning, 5);
    EXPECT_EQ(cell(1, 2), QStringLiteral("星期一"));
    EXPECT_EQ(cell(2, 2), monday);

    // Course entry goes on at Tuesday's first period.
    action("inp")->trigger();
    settle();
    entry::EntryDialog* entry = main.entryDialog;
    ASSERT_NE(entry, nullptr);
    entry->c4->click(); // 后一天
    entry->com1->setCurrentIndex(entry->com1->count() - 1);
    const QString tuesday = entry->kemu.last();
    ASSERT_NE(tuesday, monday);
    entry->com1->setFocus();
    QTest::keyClick(entry->com1, Qt::Key_Return);
    entry->fini->click();
    settle();

    // Save writes it back as a .docx, asking nothing.
    const size_t asked = dialogue.fileRequests.size();
    action("savefile")->trigger();
    settle();
    EXPECT_EQ(dialogue.fileRequests.size(), asked);
    EXPECT_EQ(formatOfFile(docx), docfile::Format::OfficeOpenXml);
    auto rows = tableTexts(docx);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0][1], "星期一");
    EXPECT_EQ(rows[1][1], monday.toStdString());
    EXPECT_EQ(rows[1][2], tuesday.toStdString());
    EXPECT_EQ(rows[5].size(), 1u) << "the lunch row is no longer one cell";

    // And as a .doc: Word 97-2003 inside, whatever the engine.
    const QString doc = folder.filePath(QStringLiteral("初一（2）班（旧格式）.doc"));
    main.state().wd->activeDocument()->saveAs(doc);
    EXPECT_EQ(formatOfFile(doc), docfile::Format::Word97);
    rows = tableTexts(doc);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[1][2], tuesday.toStdString());
    action("closewd")->trigger();
    settle();

    // Independent readers agree.
    if (!QStandardPaths::findExecutable("catdoc").isEmpty()) {
        const QString text = run("catdoc", {"-d", "utf-8", doc});
        EXPECT_TRUE(text.contains(tuesday)) << text.toStdString();
    }
    if (QFileInfo::exists("/usr/lib/python3/dist-packages/docx/__init__.py")) {
        const QString cells = run("/usr/bin/python3", {"-c",
                                                        "import docx, sys\n"
                                                        "t = docx.Document(sys.argv[1]).tables[0]\n"
                                                        "print(t.cell(1, 1).text, t.cell(1, 2).text, len(t.rows))",
                                                        docx});
        EXPECT_EQ(cells.trimmed(), QStringLiteral("%1 %2 10").arg(monday, tuesday));
    }

    // Both open again as the timetable they are.
    for (const QString& path : {docx, doc}) {
        open(path);
        ASSERT_TRUE(main.state().opened) << path.toStdString();
        EXPECT_EQ(cell(2, 3), tuesday);
        EXPECT_EQ(main.state().morning, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, DocxTimetable, ::testing::Values(word::Engine::Builtin, word::Engine::LibreOffice),
                         engineName);
