// Files the reader must refuse, each with its one reason in Chinese.
#include "samples.h"
#include "streams.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace docfile;
using namespace streams;

namespace {

std::string corpusFile(const std::string& name) { return (testutil::corpusDir() / name).string(); }

// The reason a read gives up with, or "" when it reads.
std::string refusal(const std::vector<unsigned char>& bytes)
{
    try {
        readBytes(bytes);
        return "";
    } catch (const Error& e) {
        return e.what();
    }
}

const std::string kNotWord = "不是 Word 文档（既不是 Word 97–2003 的 .doc，也不是 .docx）";
const std::string kOld = "这是 Word 6/95 等旧版本的文档，无法打开";
const std::string kEncrypted = "文档受密码保护或已加密，无法打开";
const std::string kDamaged = "文件已截断或损坏：";


} // namespace

TEST(Refusal, NeitherACompoundFileNorAZip)
{
    EXPECT_EQ(refusal({}), kNotWord);
    const std::string text = "课程表\tLesson plan\n";
    EXPECT_EQ(refusal(std::vector<unsigned char>(text.begin(), text.end())), kNotWord);
    // The start of a zip is read as a .docx, and refused as a damaged one.
    const std::vector<unsigned char> zip{'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0, 0, 0};
    EXPECT_EQ(refusal(zip).rfind(kDamaged, 0), 0u) << refusal(zip);
}

TEST(Refusal, OlderWordVersions)
{
    const auto word6 = testutil::readBytes(corpusFile("Word6.doc"));
    ASSERT_FALSE(word6.empty()) << "corpus file Word6.doc is missing";
    EXPECT_EQ(refusal(word6), kOld);

    Streams word95;
    word95.put16(2, 0x0068);  // a Word 95 version number under the Word 97 mark
    EXPECT_EQ(refusal(word95.file()), kOld);

    Streams word6Header;
    word6Header.put16(0, 0xA5DC);
    EXPECT_EQ(refusal(word6Header.file()), kOld);
}

TEST(Refusal, EncryptedDocuments)
{
    const auto locked = testutil::readBytes(corpusFile("password_password_cryptoapi.doc"));
    ASSERT_FALSE(locked.empty()) << "corpus file password_password_cryptoapi.doc is missing";
    EXPECT_EQ(refusal(locked), kEncrypted);

    for (unsigned flag : {0x0100u, 0x8000u}) {  // encrypted, obfuscated
        Streams s;
        s.put16(kFlags, s.wordDocument[kFlags] | (s.wordDocument[kFlags + 1] << 8) | flag);
        EXPECT_EQ(refusal(s.file()), kEncrypted) << std::hex << flag;
    }
}

TEST(Refusal, MissingStreams)
{
    const Streams s;
    EXPECT_EQ(refusal(s.file(false)), "文档缺少 WordDocument 流");
    EXPECT_EQ(refusal(s.file(true, nullptr)), "文档缺少 1Table 流");
    EXPECT_EQ(refusal(s.file(true, "0Table")), "文档缺少 1Table 流");

    Streams table0;
    table0.put16(kFlags, (table0.wordDocument[kFlags] | (table0.wordDocument[kFlags + 1] << 8)) & ~0x0200u);
    EXPECT_EQ(refusal(table0.file()), "文档缺少 0Table 流");
    EXPECT_EQ(refusal(table0.file(true, "0Table")), "");
}

TEST(Refusal, TruncatedOrDamaged)
{
    const std::vector<unsigned char> whole = writeBytes(samples::defaultTimetable());
    for (std::size_t keep : {std::size_t{512}, whole.size() / 3, whole.size() / 2, whole.size() - 600}) {
        const std::string why = refusal(std::vector<unsigned char>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)));
        EXPECT_EQ(why.rfind(kDamaged, 0), 0u) << "kept " << keep << " bytes: " << why;
    }

    Streams header;
    header.wordDocument.resize(100);
    EXPECT_EQ(refusal(header.file()).rfind(kDamaged, 0), 0u);

    Streams pieces;
    pieces.put32(kClxPair, static_cast<unsigned>(pieces.table.size()) - 4);
    EXPECT_EQ(refusal(pieces.file()), kDamaged + "文本片段表超出了1Table 流的末尾");

    Streams text;
    text.put32(kCcpText, text.get32(kCcpText) + 1000);
    EXPECT_EQ(refusal(text.file()), kDamaged + "正文长度超出了文本片段表");

    Streams shortText;
    shortText.wordDocument.resize(0x400 + 20);  // cut inside the text
    EXPECT_EQ(refusal(shortText.file()).rfind(kDamaged, 0), 0u);
}

namespace {

void put16(std::vector<unsigned char>& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}
unsigned get16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
void append32(std::vector<unsigned char>& b, unsigned v)
{
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

} // namespace

namespace {

// A piece table of `pieces` pieces of `length` UTF-16 characters, all stored at the same place.
std::vector<unsigned char> sharedPieces(unsigned pieces, unsigned length)
{
    std::vector<unsigned char> clx{2};
    append32(clx, 4 + 12 * pieces);
    for (unsigned i = 0; i <= pieces; ++i) append32(clx, i * length);
    for (unsigned i = 0; i < pieces; ++i) {
        clx.insert(clx.end(), {0, 0});
        append32(clx, 0x400);
        clx.insert(clx.end(), {0, 0});
    }
    return clx;
}

} // namespace

TEST(Damaged, PiecesSharingTheirBytesAreRefusedNotMultiplied)
{
    // Pieces all pointing at the same stored text would make a small file
    // stand for a huge text: more characters than the stream has bytes...
    Streams huge;
    huge.replace(kClx, sharedPieces(4000, 500));
    huge.put32(kCcpText, 4000 * 500);
    EXPECT_EQ(refusal(huge.file()), kDamaged + "文字长度超出了 WordDocument 流");

    // ...or fewer characters that still need more bytes than there are.
    Streams shared;
    const unsigned length = 64, pieces = static_cast<unsigned>(shared.wordDocument.size() * 3 / 4 / length);
    shared.replace(kClx, sharedPieces(pieces, length));
    shared.put32(kCcpText, pieces * length);
    EXPECT_EQ(refusal(shared.file()), kDamaged + "文本片段互相重叠");
}

TEST(Damaged, StylesBasedOnEachOtherInACircleStillRead)
{
    // Normal (istd 0) and Default Paragraph Font (istd 10) made each other's base.
    Streams s;
    const std::size_t sheet = s.fc(kStshf);
    const std::size_t normal = sheet + 2 + get16(s.table, sheet);  // its size field
    const std::size_t defaultFont = normal + 2 + get16(s.table, normal) + 2 * 9;
    put16(s.table, normal + 4, (get16(s.table, normal + 4) & 0xF) | (10 << 4));
    put16(s.table, defaultFont + 4, (get16(s.table, defaultFont + 4) & 0xF) | (0 << 4));
    Document doc;
    ASSERT_NO_THROW(doc = readBytes(s.file()));
    EXPECT_TRUE(doc == samples::defaultTimetable());
}

TEST(Damaged, FormattingPageOutsideTheStream)
{
    Streams s;
    const std::size_t bins = s.fc(kPlcfBteChpx);
    const std::size_t count = (s.lcb(kPlcfBteChpx) - 4) / 8;
    const std::size_t firstPage = bins + 4 * (count + 1);
    s.table[firstPage] = 0xFF;
    s.table[firstPage + 1] = 0xFF;
    EXPECT_EQ(refusal(s.file()), kDamaged + "格式页超出了WordDocument 流的末尾");
}

TEST(Damaged, FormattingSharedByEveryParagraphIsHeldToTheFileSize)
{
    // One large block of paragraph formatting that every piece refers to:
    // applying it to each of thousands of paragraphs would take time out of
    // all proportion to the file.
    Streams s(samples::longTimetable(1000));
    const std::vector<unsigned char> pieceTable(s.table.begin() + s.fc(kClx), s.table.begin() + s.fc(kClx) + s.lcb(kClx));
    std::vector<unsigned char> clx{1};
    const unsigned formatting = 16000;
    clx.push_back(static_cast<unsigned char>(formatting));
    clx.push_back(static_cast<unsigned char>(formatting >> 8));
    for (unsigned i = 0; i < formatting / 3; ++i) clx.insert(clx.end(), {0x03, 0x24, 0x02});  // right aligned, over and over
    clx.resize(3 + formatting, 0);
    const std::size_t at = clx.size();
    clx.insert(clx.end(), pieceTable.begin(), pieceTable.end());
    const std::size_t count = (pieceTable.size() - 5 - 4) / 12;
    for (std::size_t i = 0; i < count; ++i) put16(clx, at + 5 + 4 * (count + 1) + 8 * i + 6, 1);  // formatting block 0
    s.replace(kClx, clx);
    EXPECT_EQ(refusal(s.file()), kDamaged + "格式数据多得不合常理");

    // The same block on a short document is applied as it says.
    Streams small;
    const std::vector<unsigned char> smallTable(small.table.begin() + small.fc(kClx), small.table.begin() + small.fc(kClx) + small.lcb(kClx));
    std::vector<unsigned char> smallClx(clx.begin(), clx.begin() + static_cast<std::ptrdiff_t>(at));
    const std::size_t smallAt = smallClx.size();
    smallClx.insert(smallClx.end(), smallTable.begin(), smallTable.end());
    const std::size_t smallCount = (smallTable.size() - 5 - 4) / 12;
    for (std::size_t i = 0; i < smallCount; ++i) put16(smallClx, smallAt + 5 + 4 * (smallCount + 1) + 8 * i + 6, 1);
    small.replace(kClx, smallClx);
    const Document doc = readBytes(small.file());
    EXPECT_EQ(std::get<Paragraph>(doc.blocks.at(0)).alignment, 2);
    const Table& table = std::get<Table>(doc.blocks.at(1));
    EXPECT_EQ(table.rows.size(), std::get<Table>(samples::defaultTimetable().blocks[1]).rows.size());
    EXPECT_EQ(table.rows.at(1).cells.at(1).paragraphs.at(0).alignment, 2);
}

TEST(Damaged, StylePastTheSheetIsLeftOutAndDamageNamesItsStructure)
{
    // The sheet ends (by its declared length) inside its last style, Default
    // Paragraph Font in slot 10, though the stream goes on: the styles
    // before it are read, and the document with them.
    Streams s;
    const std::size_t sheet = s.fc(kStshf);
    const std::size_t header = 2 + get16(s.table, sheet);
    const std::size_t normal = sheet + header;
    const std::size_t defaultFont = normal + 2 + get16(s.table, normal) + 2 * 9;
    put16(s.table, sheet + 2, 11);  // slots 0 to 10
    const std::size_t end = defaultFont + 2 + get16(s.table, defaultFont);
    s.put32(kFcLcbStart + 8 * kStshf + 4, static_cast<unsigned>(end - 4 - sheet));
    ReadReport report;
    Document doc;
    ASSERT_NO_THROW(doc = readBytes(s.file(), &report));
    EXPECT_TRUE(doc == samples::defaultTimetable());
    EXPECT_EQ(report.dropped, std::vector<std::string>{"无法读取的样式（用到它的文字按默认格式读出）"});

    // A header that does not fit the sheet is damage, and named as such.
    Streams broken;
    put16(broken.table, sheet, 0xFFF0);
    EXPECT_EQ(refusal(broken.file()), kDamaged + "样式表的表头超出了样式表的末尾");
    // So is a font running past the font table's end.
    Streams font;
    font.put32(kFcLcbStart + 8 * kSttbfFfn + 4, font.lcb(kSttbfFfn) - 4);
    EXPECT_EQ(refusal(font.file()), kDamaged + "字体超出了字体表的末尾");
}
