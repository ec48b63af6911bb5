// .docx files from anywhere: each hostile or broken one is refused with
// its reason, quickly and without reading what it points at, and the kinds
// of Word file the reader does not open say why.
#include "docfile/formats.h"
#include "docfile/word97/container.h"
#include "docx.h"
#include "samples.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace docfile;
using docx::Package;

namespace {

std::string refusal(const std::vector<unsigned char>& bytes)
{
    try {
        ReadReport report;
        readBytes(bytes, &report);
        return "";
    } catch (const Error& e) {
        return e.what();
    }
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

const std::string kDamaged = "文件已截断或损坏：";

long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(DocxRefusal, InflatingFarMoreThanTheFileIsRefusedQuicklyInLittleMemory)
{
    // 300 MB of zeros as document.xml, in a package of a few hundred KB.
    Package package;
    std::vector<docx::RawEntry> entries = docx::storedFiles(package);
    entries.erase(entries.begin() + 2);  // document.xml
    entries.push_back(docx::zeros("word/document.xml", 300u << 20));
    const std::vector<unsigned char> bomb = docx::rawZip(entries);
    ASSERT_LT(bomb.size(), 400u * 1024);
    const long before = peakMemoryKb();
    const auto start = std::chrono::steady_clock::now();
    const std::string why = refusal(bomb);
    EXPECT_EQ(why, kDamaged + "压缩包中的 word/document.xml 解压后大得不合常理");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_LT(peakMemoryKb() - before, 64 * 1024) << "KB more at the peak";

    // The same data declared as 1000 bytes: libgsf stops there, and what
    // came out does not match the CRC of all 300 MB.
    docx::RawEntry& lie = entries.back();
    lie.size = 1000;
    EXPECT_EQ(refusal(docx::rawZip(entries)), kDamaged + "压缩包中的 word/document.xml 校验和不符");
}

TEST(DocxRefusal, ChangedBytesAreCaughtByTheirChecksum)
{
    Package package;
    package.body = docx::p("课程表");
    std::vector<docx::RawEntry> entries = docx::storedFiles(package);
    ASSERT_EQ(refusal(docx::rawZip(entries)), "");
    std::vector<unsigned char>& text = entries[2].data;
    const std::string body(text.begin(), text.end());
    text[body.find("课程表")] ^= 1;
    EXPECT_EQ(refusal(docx::rawZip(entries)), kDamaged + "压缩包中的 word/document.xml 校验和不符");
}

TEST(DocxRefusal, ExternalEntitiesAreNeverRead)
{
    // A part naming a local file as an entity: the file's marker must not
    // reach the document, whatever happens, and the part is refused.
    char path[] = "/tmp/docx-entity-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string marker = "SECRET-MARKER-4471";
    ASSERT_EQ(write(fd, marker.data(), marker.size()), static_cast<ssize_t>(marker.size()));
    close(fd);
    const std::string doctype = "<!DOCTYPE w:document [<!ENTITY x SYSTEM \"file://" + std::string(path) + "\">]>";
    Package package;
    package.documentElement = docx::kHeader + doctype + "<w:document xmlns:w=\"" + docx::kW + "\"><w:body>" + docx::p("&x;") + "</w:body></w:document>";
    const std::string why = refusal(package.zip());
    EXPECT_EQ(why, "文档的 word/document.xml 含有文档类型声明（DOCTYPE），为安全起见不予读取");
    EXPECT_EQ(why.find(marker), std::string::npos);

    // Also after a comment, in the content types, and as a parameter entity.
    Package hidden;
    hidden.documentElement = docx::kHeader + "<!-- a comment -->\n" + "<!DOCTYPE d [<!ENTITY % p SYSTEM \"file://" + path + "\"> %p;]>"
                             + "<w:document xmlns:w=\"" + docx::kW + "\"><w:body/></w:document>";
    EXPECT_NE(refusal(hidden.zip()).find("DOCTYPE"), std::string::npos);
    std::vector<zip::File> files = Package{}.files();
    files[0].bytes = docx::bytes(docx::kHeader + doctype + std::string(files[0].bytes.begin() + static_cast<std::ptrdiff_t>(docx::kHeader.size()), files[0].bytes.end()));
    EXPECT_NE(refusal(zip::write(files)).find("DOCTYPE"), std::string::npos);
    // An entity never declared is no entity at all.
    Package undeclared;
    undeclared.body = docx::p("&x;");
    EXPECT_TRUE(startsWith(refusal(undeclared.zip()), kDamaged + "word/document.xml 不是格式正确的 XML")) << refusal(undeclared.zip());
    std::remove(path);
}

TEST(DocxRefusal, AbsurdNumbersGetTheWordLimitsReasons)
{
    auto cell = [](const std::string& properties) {
        return "<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr><w:tc><w:tcPr>" + properties + "</w:tcPr>" + docx::p("x")
               + "</w:tc></w:tr></w:tbl>";
    };
    struct Case {
        std::string body, reason;
    };
    const Case cases[] = {
        {cell("<w:gridSpan w:val=\"1000000000\"/>"), "单元格跨的列数超出了 Word 能记录的范围"},
        {cell("<w:tcW w:w=\"-500\" w:type=\"dxa\"/>"), "单元格的宽度为负"},
        {cell("<w:tcW w:w=\"99999999999999999999\" w:type=\"dxa\"/>"), "单元格的宽度超出了 Word 能记录的范围"},
        {"<w:p><w:r><w:rPr><w:sz w:val=\"10000000\"/></w:rPr><w:t>x</w:t></w:r></w:p>", "字号超出了 Word 能记录的范围"},
        {"<w:p><w:r><w:rPr><w:sz w:val=\"big\"/></w:rPr><w:t>x</w:t></w:r></w:p>", "字号不是数字：big"},
        {"<w:tbl><w:tblGrid><w:gridCol w:w=\"-1\"/></w:tblGrid></w:tbl>", "表格的列宽为负"},
        {"<w:tbl><w:tr><w:trPr><w:trHeight w:val=\"40000\"/></w:trPr><w:tc>" + docx::p("x") + "</w:tc></w:tr></w:tbl>", "行高超出了 Word 能记录的范围"},
        {"<w:sectPr><w:pgSz w:w=\"0\" w:h=\"16838\"/></w:sectPr>", "页面设置超出了 Word 能记录的范围"},
    };
    for (const Case& c : cases) {
        Package package;
        package.body = c.body;
        EXPECT_EQ(refusal(package.zip()), kDamaged + c.reason) << c.body;
    }
    std::string columns;
    for (int i = 0; i < 64; ++i) columns += "<w:gridCol w:w=\"100\"/>";
    Package wide;
    wide.body = "<w:tbl><w:tblGrid>" + columns + "</w:tblGrid></w:tbl>";
    EXPECT_EQ(refusal(wide.zip()), kDamaged + "表格的列数超出了 Word 能记录的范围");
}

TEST(DocxRefusal, NestingAndSizesAreBounded)
{
    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<w:sdt><w:sdtContent>";
    deep += docx::p("x");
    for (int i = 0; i < 300; ++i) deep += "</w:sdtContent></w:sdt>";
    Package package;
    package.body = deep;
    EXPECT_EQ(refusal(package.zip()), kDamaged + "word/document.xml 的 XML 嵌套得太深");

    // More files than any Word package has; two files of one name.
    std::vector<docx::RawEntry> many = docx::storedFiles(Package{});
    for (int i = 0; i < 1000; ++i) many.push_back(docx::stored("media/x" + std::to_string(i), {}));
    EXPECT_EQ(refusal(docx::rawZip(many)), kDamaged + "压缩包中的文件多得不合常理");
    std::vector<docx::RawEntry> twice = docx::storedFiles(Package{});
    twice.push_back(docx::stored("WORD/document.xml", {}));
    EXPECT_EQ(refusal(docx::rawZip(twice)), kDamaged + "压缩包中有两个同名的文件：WORD/document.xml");
    // A name from the file reaches the message as text fit to show.
    std::vector<docx::RawEntry> odd = docx::storedFiles(Package{});
    odd.push_back(docx::stored("a\nb\xFF" + std::string(200, 'x'), {}));
    odd.push_back(docx::stored("A\nB\xFF" + std::string(200, 'X'), {}));
    EXPECT_EQ(refusal(docx::rawZip(odd)), kDamaged + "压缩包中有两个同名的文件：A?B\xEF\xBF\xBD" + std::string(56, 'X') + "…");
}

TEST(DocxRefusal, ZipsThisReaderDoesNotOpen)
{
    std::vector<docx::RawEntry> encrypted = docx::storedFiles(Package{});
    encrypted[2].flags = 1;
    EXPECT_EQ(refusal(docx::rawZip(encrypted)), "文档的压缩包已加密，无法打开");
    std::vector<docx::RawEntry> huge = docx::storedFiles(Package{});
    huge[2].size = 0xFFFFFFFF;
    EXPECT_EQ(refusal(docx::rawZip(huge)), "文档的压缩包使用了 ZIP64 格式，无法打开");
    std::vector<docx::RawEntry> method = docx::storedFiles(Package{});
    method[2].method = 12;  // bzip2
    EXPECT_EQ(refusal(docx::rawZip(method)), "文档的压缩包使用了不支持的压缩方法：word/document.xml");
    // A directory claiming more entries than it holds.
    EXPECT_TRUE(startsWith(refusal(docx::rawZip(docx::storedFiles(Package{}), 40)), kDamaged));
}

TEST(DocxRefusal, TruncatedPackagesAreDamageNotACrash)
{
    const std::vector<unsigned char> whole = writeBytes(samples::defaultTimetable(), Format::OfficeOpenXml);
    for (std::size_t keep : {std::size_t{4}, std::size_t{100}, whole.size() / 2, whole.size() - 10}) {
        const std::string why = refusal(std::vector<unsigned char>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)));
        EXPECT_TRUE(startsWith(why, kDamaged)) << keep << ": " << why;
    }
}

TEST(DocxRefusal, OtherKindsOfFileSayWhatTheyAre)
{
    // Encrypted: Office keeps the package in a compound file.
    const std::array<std::uint8_t, 16> noClass{};
    const auto encrypted = container::writeCompound({{"EncryptionInfo", {4, 0, 4, 0}}, {"EncryptedPackage", {1, 2, 3}}}, noClass, "test");
    EXPECT_EQ(detectFormat(encrypted.data(), encrypted.size()), Format::OfficeOpenXml);
    EXPECT_EQ(refusal(encrypted), "文档受密码保护或已加密，无法打开");

    Package macros;
    macros.mainType = "application/vnd.ms-word.document.macroEnabled.main+xml";
    EXPECT_EQ(refusal(macros.zip()), "这是启用了宏的 Word 文档（.docm），为安全起见不予打开；请在 Word 中另存为 .docx");

    Package strict;
    strict.documentElement = docx::kHeader + "<w:document xmlns:w=\"http://purl.oclc.org/ooxml/wordprocessingml/main\"><w:body/></w:document>";
    EXPECT_EQ(refusal(strict.zip()), "这是严格（Strict）格式的 Word 文档，无法打开；请在 Word 中另存为普通的 .docx");

    Package sheet;
    sheet.mainType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
    EXPECT_EQ(refusal(sheet.zip()), "不是 Word 文档（主文档的类型是 application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml）");

    const std::vector<unsigned char> odt = writeBytes(samples::defaultTimetable(), Format::OpenDocument);
    EXPECT_EQ(detectFormat(odt.data(), odt.size()), Format::OpenDocument);
    EXPECT_EQ(refusal(odt), "这是 OpenDocument 文本（.odt），本程序只能保存为这种格式，不能打开它");

    Package utf16;
    utf16.documentElement = "\xFF\xFE<";
    EXPECT_EQ(refusal(utf16.zip()), "文档的 word/document.xml 不是 UTF-8 编码，无法读取");
    Package latin1;
    latin1.documentElement = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w:document xmlns:w=\"" + docx::kW + "\"/>";
    EXPECT_EQ(refusal(latin1.zip()), "文档的 word/document.xml 不是 UTF-8 编码，无法读取");
}
