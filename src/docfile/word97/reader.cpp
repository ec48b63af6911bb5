// Reading a Word 97-2003 document into the model: the streams of the
// compound file, the header that says where everything is, the page setup
// and what the document holds besides its main text. The text itself is
// read in reader_text.cpp, its characters in reader_characters.cpp and its
// tables in reader_tables.cpp.
#include "docfile/word97/container.h"
#include "docfile/document.h"
#include "docfile/word97/reader_document.h"
#include "docfile/word97/word97.h"
#include "docfile/text.h"

#include <algorithm>
#include <cstdlib>

namespace docfile {

namespace reader {

using namespace records;

namespace {

void applySection(View grpprl, Section& s)
{
    forEachSprm(grpprl, [&s](std::uint16_t op, View v) {
        switch (op) {
        case sprm::SXaPage: s.pageWidth = v.u16(0); break;
        case sprm::SYaPage: s.pageHeight = v.u16(0); break;
        case sprm::SDxaLeft: s.marginLeft = v.i16(0); break;
        case sprm::SDxaRight: s.marginRight = v.i16(0); break;
        // A negative top or bottom margin is kept even where a header would push it.
        case sprm::SDyaTop: s.marginTop = std::abs(v.i16(0)); break;
        case sprm::SDyaBottom: s.marginBottom = std::abs(v.i16(0)); break;
        case sprm::SDyaHdrTop: s.headerDistance = v.u16(0); break;
        case sprm::SDyaHdrBottom: s.footerDistance = v.u16(0); break;
        case sprm::SVjc: s.verticalAlignment = v.u8(0); break;
        default: break;
        }
    });
}

} // namespace

DocumentReader::DocumentReader(View wd, View table, View data, const Fib& fib)
    : wd_(wd), table_(table), data_(data), fib_(fib),
      budget_(64 * (std::uint64_t{wd.size()} + table.size() + data.size()) + (1u << 20))
{
}

Document DocumentReader::read(Reporter& report)
{
    report_ = &report;
    pieces_ = parsePieceTable(part(Clx, "文本片段表"));
    fonts_ = parseFonts(part(SttbfFfn, "字体表"));
    for (const Ffn& f : fonts_) fontNames_.push_back(text::utf16ToUtf8(f.name));
    sheet_ = parseStyles(part(Stshf, "样式表"));
    if (sheet_.unreadable > 0) report_->add("无法读取的样式（用到它的文字按默认格式读出）");
    styles_.emplace(sheet_, data_, budget_);
    chpx_ = FkpIndex(part(PlcfBteChpx, "字符格式索引"), wd_, FkpIndex::Kind::Character);
    papx_ = FkpIndex(part(PlcfBtePapx, "段落格式索引"), wd_, FkpIndex::Kind::Paragraph);
    for (const View& prc : pieces_.prcs) {
        ChpDelta d;
        d.collect(prc);
        prcCharacters_.push_back(d);
    }

    Document doc;
    readSection(doc.section);
    checkStories();
    const std::int32_t ccpText = fib_.lw[LwCcpText];
    if (ccpText < 0 || static_cast<std::uint32_t>(ccpText) > pieces_.end()) damaged("正文长度超出了文本片段表");
    text_ = decode(0, static_cast<std::uint32_t>(ccpText));
    readBlocks(doc.blocks);
    return doc;
}

// A structure of the table stream, by its declared place and length.
// What is read from it stays inside that length, and a refusal there
// names the structure, not the stream.
View DocumentReader::part(FcLcb which, const char* what) const
{
    const auto [fc, lcb] = fib_.at(which);
    if (lcb == 0) return View(nullptr, 0, what);
    const View whole = table_.sub(fc, lcb, what);
    return View(whole.data(), whole.size(), what);
}

void DocumentReader::readSection(Section& section)
{
    const View plc = part(PlcfSed, "分节表");
    if (plc.empty()) return;
    const Sections sections = parseSections(plc);
    sectionStarts_ = sections.cps;
    if (sections.seds.size() > 1) report_->add("多个分节（只保留了第一节的页面设置）");
    const std::uint32_t fc = sections.seds.front().fcSepx;
    if (fc == 0xFFFFFFFF) return;
    const std::int16_t cb = wd_.i16(fc);
    if (cb < 0) damaged("分节格式的长度为负");
    applySection(wd_.sub(fc + 2ull, static_cast<std::uint64_t>(cb), "分节格式"), section);
    if (section.verticalAlignment != 0 && section.verticalAlignment != 1 && section.verticalAlignment != 3) {
        if (section.verticalAlignment == 2) report_->add("页面内容的垂直两端对齐");
        section.verticalAlignment = 0;
    }
}

// What the document holds besides its main text.
void DocumentReader::checkStories()
{
    const auto& lw = fib_.lw;
    if (lw[LwCcpFtn] > 0) report_->add("脚注");
    if (lw[LwCcpAtn] > 0) report_->add("批注");
    if (lw[LwCcpEdn] > 0) report_->add("尾注");
    if (lw[LwCcpTxbx] > 0 || lw[LwCcpHdrTxbx] > 0) report_->add("文本框");
    if (lw[LwCcpHdd] <= 0 || lw[LwCcpText] < 0 || lw[LwCcpFtn] < 0) return;
    // Headers and footers count only when they show something.
    const std::uint64_t start = static_cast<std::uint64_t>(lw[LwCcpText]) + static_cast<std::uint64_t>(lw[LwCcpFtn]);
    const std::uint64_t end = start + static_cast<std::uint64_t>(lw[LwCcpHdd]);
    if (end > pieces_.end()) damaged("页眉页脚的文字超出了文本片段表");
    const std::u16string headers = decode(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end));
    const bool shows = std::any_of(headers.begin(), headers.end(), [](char16_t c) {
        return c > 0x20 && c != 0x3000;
    });
    if (shows) report_->add("页眉或页脚");
}

} // namespace reader

Document word97::read(const unsigned char* data, std::size_t size, ReadReport* report)
{
    const container::CompoundReader compound(data, size);
    const auto wdBytes = compound.stream("WordDocument");
    if (!wdBytes) throw Error("文档缺少 WordDocument 流");
    const View wd(wdBytes->data(), wdBytes->size(), "WordDocument 流");
    const reader::Fib fib = reader::parseFib(wd);
    const auto tableBytes = compound.stream(fib.tableStreamName());
    if (!tableBytes) throw Error(std::string("文档缺少 ") + fib.tableStreamName() + " 流");
    const auto dataBytes = compound.stream("Data");
    const View table(tableBytes->data(), tableBytes->size(), fib.flags & records::kFlagTable1 ? "1Table 流" : "0Table 流");
    const View dataView = dataBytes ? View(dataBytes->data(), dataBytes->size(), "Data 流") : View(nullptr, 0, "Data 流");

    reader::Reporter reporter;
    Document doc = reader::DocumentReader(wd, table, dataView, fib).read(reporter);
    if (report) report->dropped = reporter.take();
    return doc;
}

} // namespace docfile
