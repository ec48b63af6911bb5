// A timetable as pictures on each engine: the page in the picture is the
// printout's, pixel for pixel at the same resolution (the printout to PDF
// rasterised by poppler's pdftoppm), its Chinese text in CJK faces; pages
// beyond the first give numbered pictures; the word processor's own 文件
// menu gives the same picture as the main window's 工具 menu.

#include "automation/factory.h"
#include "common/picturedialog.h"
#include "create/builder.h"
#include "create/grid.h"
#include "platform/printdestination.h"
#include "support/programs.h"
#include "onengine.h"
#include "support/timetablesteps.h"
#include "wordprocessor/documentwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>

using namespace testsupport;

namespace {

bool darker(QRgb pixel, int below)
{
    return qGray(pixel) < below;
}

int inkCount(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += darker(image.pixel(x, y), 128);
    return ink;
}

// Dark pixels of `a` with nothing dark in `b` at the same place or the
// next pixel over: anti-aliased edges and half-pixel rounding of lines, the
// rasterisers' own ways, are forgiven; a glyph drawn differently is not.
int unmatched(const QImage& a, const QImage& b)
{
    int missing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!darker(a.pixel(x, y), 96))
                continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = b.valid(x + dx, y + dy) && darker(b.pixel(x + dx, y + dy), 160);
            missing += !found;
        }
    return missing;
}

class PictureTest : public OnEngine {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty() || QStandardPaths::findExecutable("pdffonts").isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
        OnEngine::SetUp();
    }

    // 工具 → 导出图片 with the choices made in its dialog and `path` given
    // to the file dialog.
    void exportThroughMenu(int dpi, bool wholePage, const QString& path)
    {
        dialogue.files.push_back(path);
        action("picture")->trigger();
        settle();
        auto* options = topLevel<pictures::OptionsDialog>("pictureOptions");
        ASSERT_NE(options, nullptr);
        EXPECT_TRUE(options->isVisible());
        EXPECT_EQ(options->resolution->currentData().toInt(), 200); // the default
        options->resolution->setCurrentIndex(options->resolution->findData(dpi));
        options->wholePage->setChecked(wholePage);
        options->okButton->click();
        settle();
    }

    void fillSomeCells()
    {
        main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));
        main.state().mytable->cell(3, 3)->range()->setText(QStringLiteral("数学"));
        main.state().mytable->cell(main.state().hang, 7)->range()->setText(QStringLiteral("体育"));
    }
};

} // namespace

TEST_P(PictureTest, TheWholePageIsThePrintoutAtTheSameResolution)
{
    build("4", "4", "6", false);
    fillSomeCells();
    const QString pdf = folder.filePath("printout.pdf");
    qputenv(platform::kPrintToPdfVariable, pdf.toUtf8());
    dialogue.inputs.push_back(QStringLiteral("1"));
    action("prin")->trigger();
    settle();
    qunsetenv(platform::kPrintToPdfVariable);
    ASSERT_TRUE(QFileInfo(pdf).isFile());

    const QString picture = folder.filePath("课程表.png");
    exportThroughMenu(150, true, picture);
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_TRUE(dialogue.messages.back().text.startsWith(QStringLiteral("已导出图片"))) << dialogue.messages.back().text.toStdString();
    QImage ours(picture);
    ASSERT_FALSE(ours.isNull());
    EXPECT_NEAR(ours.dotsPerMeterX(), 150 / 0.0254, 1);

    run("pdftoppm", {"-r", "150", "-png", "-singlefile", pdf, folder.filePath("reference")});
    const QImage reference(folder.filePath("reference.png"));
    ASSERT_FALSE(reference.isNull());
    EXPECT_NEAR(ours.width(), reference.width(), 1);
    EXPECT_NEAR(ours.height(), reference.height(), 1);
    const int ink = inkCount(reference);
    ASSERT_GT(ink, 2000); // the grid and the text
    // Same glyphs and lines at the same places: what one has dark the
    // other has too.
    EXPECT_LT(unmatched(ours, reference), ink / 100) << "ink " << ink;
    EXPECT_LT(unmatched(reference, ours), ink / 100) << "ink " << ink;
    // (The check can fail: the page drawn a little lower cannot pass.)
    EXPECT_GT(unmatched(ours.copy(0, 3, ours.width(), ours.height() - 3), reference), ink / 10);

    // The printout's text is in the CJK faces 黑体 and 宋体 stand for, so
    // the picture's is too (not boxes for missing glyphs).
    const QString fonts = run("pdffonts", {pdf});
    EXPECT_TRUE(fonts.contains("CJK")) << fonts.toStdString();
}

TEST_P(PictureTest, TheCroppedPictureHoldsTheContentWithAMargin)
{
    build("3", "4", "6", false);
    fillSomeCells();
    const QString whole = folder.filePath("whole.png");
    exportThroughMenu(200, true, whole);
    // A name without a suffix takes .png; a .jpg name gives JPEG.
    const QString cropped = folder.filePath("cropped");
    exportThroughMenu(200, false, cropped);
    const QString jpeg = folder.filePath("cropped.jpg");
    exportThroughMenu(200, false, jpeg);

    const QImage page(whole);
    const QImage content(cropped + ".png");
    ASSERT_FALSE(page.isNull());
    ASSERT_FALSE(content.isNull());
    EXPECT_EQ(QImageReader(jpeg).format(), "jpeg");
    EXPECT_EQ(QImage(jpeg).size(), content.size());
    // The content is much smaller than the page, keeps every dark pixel of
    // it, and is edged with white paper.
    EXPECT_LT(content.width(), page.width());
    EXPECT_LT(content.height(), page.height() * 3 / 4);
    EXPECT_EQ(inkCount(content), inkCount(page));
    const int margin = int(200 * 5 / 25.4);
    for (int x = 0; x < content.width(); ++x) {
        ASSERT_FALSE(darker(content.pixel(x, margin / 2), 250)) << x;
        ASSERT_FALSE(darker(content.pixel(x, content.height() - 1 - margin / 2), 250)) << x;
    }
    // Ink reaches within the margin's distance of the edges: the crop is tight.
    bool inkNearTop = false;
    for (int x = 0; x < content.width(); ++x)
        inkNearTop = inkNearTop || darker(content.pixel(x, margin + 1), 250);
    EXPECT_TRUE(inkNearTop);
}

TEST_P(PictureTest, SeveralPagesGiveNumberedPictures)
{
    auto wd = word::createObject(QStringLiteral("word.application"));
    wd->documents()->add();
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("第 %1 节课程表，").arg(i + 1);
    wd->selection()->typeText(text);
    const QStringList files = wd->activeDocument()->exportPicture(folder.filePath("课程表.png"), {150, true});
    wd->quit(word::DoNotSaveChanges);
    ASSERT_GE(files.size(), 2) << files.join(' ').toStdString();
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i], folder.filePath(QStringLiteral("课程表-%1.png").arg(i + 1)));
        EXPECT_GT(inkCount(QImage(files[i])), 500) << files[i].toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("课程表.png")));
}

TEST_P(PictureTest, FailuresSayWhyInChinese)
{
    build("4", "4", "6", false);
    const QString nowhere = folder.filePath("no/such/folder/课程表.png");
    exportThroughMenu(150, false, nowhere);
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_EQ(dialogue.messages.back().icon, QMessageBox::Warning);
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("无法保存图片"))) << dialogue.messages.back().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

INSTANTIATE_TEST_SUITE_P(Engines, PictureTest, ::testing::Values(word::Engine::Builtin, word::Engine::LibreOffice),
                         engineName);

TEST(WordProcessorPicture, TheFileMenuGivesTheMainWindowsPicture)
{
    ScriptedDialogue dialogue;
    QTemporaryDir folder;
    auto wd = word::createObject(QStringLiteral("word.application"));
    create::BuildRequest request{"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    create::Timetable timetable;
    timetable.dimensions = grid::fromCounts(4, 4, 6);
    create::fillTimetable(request, *wd, timetable);
    const QStringList viaObjects = wd->activeDocument()->exportPicture(folder.filePath("a.png"), {200, false});

    auto* window = topLevel<wordprocessor::DocumentWindow>("documentWindow");
    ASSERT_NE(window, nullptr);
    QAction* command = window->findChild<QAction*>("documentExportPicture");
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("导出图片(&I)..."));
    EXPECT_EQ(command->property("accessibleName").toString(), QStringLiteral("导出图片(I)"));
    dialogue.files.push_back(folder.filePath("b.png"));
    command->trigger();
    settle();
    auto* options = topLevel<pictures::OptionsDialog>("pictureOptions");
    ASSERT_NE(options, nullptr);
    for (QWidget* control : options->findChildren<QWidget*>())
        if (control->isWidgetType() && (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractButton*>(control))) {
            EXPECT_FALSE(control->objectName().isEmpty());
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    options->okButton->click();
    settle();
    ASSERT_EQ(viaObjects.size(), 1);
    EXPECT_EQ(QImage(folder.filePath("b.png")), QImage(viaObjects.front()));
    wd->quit(word::DoNotSaveChanges);
    settle();
}
