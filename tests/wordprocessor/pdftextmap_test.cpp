// The text of our PDF files can be searched and copied as typed: CJK
// ideographs that share a glyph with a radical come out as the ideograph.

#include "platform/pdftextmap.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(60000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(PdfTextMap, IdeographsDrawnWithARadicalsGlyphAreFoundAsTyped)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    QTemporaryDir folder;
    const QString path = folder.filePath("text.pdf");
    const QString typed = QStringLiteral("星期一第二节八年级 (07:50-08:35)");
    for (const char* family : {"Noto Serif CJK SC", "Noto Sans CJK SC"}) {
        {
            QPdfWriter writer(path);
            QPainter painter(&writer);
            QFont font(QString::fromLatin1(family));
            font.setPointSize(12);
            painter.setFont(font);
            painter.drawText(200, 400, typed);
        }
        ASSERT_TRUE(platform::mendTextMapsInFile(path));
        const QString text = pdfText(path);
        EXPECT_TRUE(text.contains(typed)) << family << ": " << text.toStdString();
        for (QChar c : text)
            EXPECT_FALSE(c.unicode() >= 0x2E80 && c.unicode() <= 0x2FDF) << family << ": " << text.toStdString();
    }
    // Mending twice changes nothing more.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray once = file.readAll();
    EXPECT_EQ(platform::mendTextMaps(once), once);
}

TEST(PdfTextMap, RangesOfRadicalsAreMendedOneByOneAndOtherFilesLeftAlone)
{
    // A map that gives three glyphs the radicals ⼀ ⼁ ⼂ as one range.
    const QByteArray cmap = "/CIDInit /ProcSet findresource begin\nbegincmap\n1 beginbfrange\n<0001> <0003> <2F00>\n"
                            "endbfrange\n1 beginbfchar\n<0004> <0041>\nendbfchar\nendcmap\nend\n";
    QByteArray pdf = "%PDF-1.4\n1 0 obj\n<<\n/Type /Catalog\n>>\nendobj\n2 0 obj\n<<\n/Length "
                     + QByteArray::number(cmap.size()) + "\n>>\nstream\n" + cmap + "endstream\nendobj\n";
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 3\n0000000000 65535 f \n0000000009 00000 n \n0000000052 00000 n \n"
           "trailer\n<<\n/Size 3\n/Root 1 0 R\n>>\nstartxref\n"
           + QByteArray::number(xref) + "\n%%EOF\n";
    const QByteArray mended = platform::mendTextMaps(pdf);
    ASSERT_TRUE(mended.startsWith(pdf)) << "the original bytes must stay";
    const QByteArray update = mended.mid(pdf.size());
    EXPECT_TRUE(update.contains("<0001> <4E00>"));
    EXPECT_TRUE(update.contains("<0002> <4E28>")); // 丨, not 丁
    EXPECT_TRUE(update.contains("<0003> <4E36>"));
    EXPECT_TRUE(update.contains("<0004> <0041>"));
    EXPECT_TRUE(update.contains("/Prev " + QByteArray::number(xref)));
    EXPECT_TRUE(update.contains("2 1\n"));

    EXPECT_EQ(platform::mendTextMaps("not a pdf"), QByteArray("not a pdf"));
    const QByteArray truncated = pdf.left(60);
    EXPECT_EQ(platform::mendTextMaps(truncated), truncated);
}
