// Reading and writing whatever the format: .doc and .docx told apart by
// their content, the writers chosen by the caller.
#include "docfile/formats.h"

#include "docfile/fileio.h"
#include "docfile/ooxml/ooxml.h"
#include "docfile/opendocument/opendocument.h"
#include "docfile/word97/container.h"
#include "docfile/word97/word97.h"
#include "docfile/zip.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace docfile {

namespace {

constexpr unsigned char kCompoundMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool isCompound(const unsigned char* data, std::size_t size)
{
    return size >= sizeof kCompoundMagic && std::memcmp(data, kCompoundMagic, sizeof kCompoundMagic) == 0;
}

// Office keeps an encrypted .docx as a compound file holding the
// encryption's description (and the encrypted package); a .doc has no
// such stream, encrypted or not.
bool isEncryptedPackage(const unsigned char* data, std::size_t size)
{
    try {
        const container::CompoundReader compound(data, size);
        return compound.stream("EncryptionInfo").has_value();
    } catch (const Error&) {
        return false;
    }
}

// An OpenDocument package names its kind in a "mimetype" file and has no
// content types, which every Office Open XML package has.
bool isOpenDocument(const unsigned char* data, std::size_t size)
{
    try {
        const zip::Reader package(data, size);
        return package.find("mimetype") && !package.find("[Content_Types].xml");
    } catch (const Error&) {
        return false;
    }
}

} // namespace

std::optional<Format> detectFormat(const unsigned char* data, std::size_t size)
{
    if (isCompound(data, size)) return isEncryptedPackage(data, size) ? Format::OfficeOpenXml : Format::Word97;
    if (zip::looksLikeZip(data, size)) return isOpenDocument(data, size) ? Format::OpenDocument : Format::OfficeOpenXml;
    return std::nullopt;
}

std::optional<Format> formatForExtension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension == ".doc") return Format::Word97;
    if (extension == ".docx") return Format::OfficeOpenXml;
    if (extension == ".odt") return Format::OpenDocument;
    return std::nullopt;
}

const char* extensionOf(Format format)
{
    switch (format) {
    case Format::Word97: return ".doc";
    case Format::OfficeOpenXml: return ".docx";
    case Format::OpenDocument: return ".odt";
    }
    return "";
}

Document readBytes(const unsigned char* data, std::size_t size, ReadReport* report)
{
    if (report) report->dropped.clear();
    const std::optional<Format> format = detectFormat(data, size);
    if (!format) throw Error("不是 Word 文档（既不是 Word 97–2003 的 .doc，也不是 .docx）");
    if (report) report->format = *format;
    switch (*format) {
    case Format::Word97: return word97::read(data, size, report);
    case Format::OfficeOpenXml: return ooxml::read(data, size, report);
    case Format::OpenDocument: break;
    }
    throw Error("这是 OpenDocument 文本（.odt），本程序只能保存为这种格式，不能打开它");
}

Document readBytes(const std::vector<unsigned char>& bytes, ReadReport* report)
{
    return readBytes(bytes.data(), bytes.size(), report);
}

Document readFile(const std::string& path, ReadReport* report)
{
    return readBytes(fileio::readWhole(path), report);
}

std::vector<unsigned char> writeBytes(const Document& document, Format format)
{
    switch (format) {
    case Format::Word97: return word97::write(document);
    case Format::OfficeOpenXml: return ooxml::write(document);
    case Format::OpenDocument: return writeOpenDocumentBytes(document);
    }
    throw Error("不支持的文件格式");
}

std::vector<unsigned char> writeBytes(const Document& document) { return word97::write(document); }

void writeFile(const Document& document, const std::string& path, Format format)
{
    fileio::replace(path, writeBytes(document, format));
}

void writeFile(const Document& document, const std::string& path) { writeFile(document, path, Format::Word97); }

} // namespace docfile
