// The word processor's Save As offers today's Word format beside .doc and
// .odt, and Save keeps the format a document has, whatever its name says.

#include "builtwindow.h"

#include "docfile/formats.h"
#include "wordprocessor/docconvert.h"
#include "wordprocessor/docfiles.h"
#include "wordprocessor/instance.h"

#include <QFile>

using namespace testsupport;

namespace {

class SaveFormats : public BuiltWindowTest {
protected:
    static std::optional<docfile::Format> formatOf(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray bytes = file.readAll();
        return docfile::detectFormat(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()));
    }

    void typeInFirstCell(const QString& text)
    {
        goToCell(1, 1);
        editor->textCursor().insertText(text);
    }
};

} // namespace

TEST_F(SaveFormats, SaveAsOffersDocxAndSaveKeepsIt)
{
    const QString path = folder.filePath(QStringLiteral("课程表.docx"));
    dialogue.files.push_back(path);
    action("documentSaveAs")->trigger();
    settle();
    ASSERT_FALSE(dialogue.fileRequests.empty());
    const dialogue::FileRequest& request = dialogue.fileRequests.back();
    EXPECT_TRUE(request.filter.contains(QStringLiteral("Word 文档(*.docx)|*.docx"))) << request.filter.toStdString();
    EXPECT_TRUE(request.filter.startsWith(QStringLiteral("Word 97-2003 文档(*.doc)|*.doc")));
    EXPECT_EQ(formatOf(path), docfile::Format::OfficeOpenXml);

    // Save goes on writing .docx, without asking.
    typeInFirstCell(QStringLiteral("节次"));
    const size_t asked = dialogue.fileRequests.size();
    action("documentSave")->trigger();
    settle();
    EXPECT_EQ(dialogue.fileRequests.size(), asked);
    EXPECT_EQ(formatOf(path), docfile::Format::OfficeOpenXml);
    const docfile::Document saved = docfile::readFile(QFile::encodeName(path).toStdString());
    bool found = false;
    for (const docfile::Block& block : saved.blocks)
        if (const auto* table = std::get_if<docfile::Table>(&block))
            for (const docfile::Run& run : table->rows.at(1).cells.at(1).paragraphs.at(0).runs)
                found = found || run.text.find("节次") != std::string::npos;
    EXPECT_TRUE(found);
}

TEST_F(SaveFormats, ADocxNamedDocStaysADocxAndANewNameChoosesItsFormat)
{
    // A .docx someone named .doc: opened by its content, saved as it is.
    const QString disguised = folder.filePath(QStringLiteral("课程表.doc"));
    const auto built = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(timetable.application);
    const docfile::Document model = wordprocessor::toModel(*built->state()->active);
    docfile::writeFile(model, QFile::encodeName(disguised).toStdString(), docfile::Format::OfficeOpenXml);
    auto instance = std::make_shared<wordprocessor::Instance>();
    instance->add(wordprocessor::openDocument(disguised));
    ASSERT_NE(instance->active, nullptr);
    EXPECT_EQ(instance->active->format, docfile::Format::OfficeOpenXml);
    instance->active->text->setModified(true);
    ASSERT_TRUE(instance->save(*instance->active));
    EXPECT_EQ(formatOf(disguised), docfile::Format::OfficeOpenXml) << "Save changed the file's format";

    // Saved under a name without an ending: the document's own format.
    dialogue.files.push_back(folder.filePath(QStringLiteral("另一份")));
    ASSERT_TRUE(wordprocessor::saveDocument(*instance->active, nullptr, true));
    EXPECT_EQ(formatOf(folder.filePath(QStringLiteral("另一份.docx"))), docfile::Format::OfficeOpenXml);
    // Under a name with one: that name's.
    const QString odt = folder.filePath(QStringLiteral("副本.odt"));
    dialogue.files.push_back(odt);
    ASSERT_TRUE(wordprocessor::saveDocument(*instance->active, nullptr, true));
    EXPECT_EQ(formatOf(odt), docfile::Format::OpenDocument);
    instance->end();
}
