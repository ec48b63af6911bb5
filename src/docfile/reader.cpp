// Reading a Word 97-2003 document into the model: the text through the
// piece table, its formatting through styles, formatting pages and piece
// properties, and the tables from the paragraphs' table marks.
#include "docfile/container.h"
#include "docfile/document.h"
#include "docfile/reader_properties.h"
#include "docfile/reader_records.h"
#include "docfile/symbols.h"
#include "docfile/text.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

namespace docfile {

namespace {

using namespace records;
using reader::Budget;
using reader::Chp;
using reader::ChpDelta;
using reader::FkpIndex;
using reader::Pap;
using reader::ParagraphStyle;
using reader::Styles;
using reader::forEachSprm;

// What a read leaves out, each named once.
class Reporter {
public:
    void add(const char* what)
    {
        if (std::find(items_.begin(), items_.end(), what) == items_.end()) items_.emplace_back(what);
    }
    std::vector<std::string> take() { return std::move(items_); }

private:
    std::vector<std::string> items_;
};

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

int alignmentOf(int jc)
{
    if (jc >= 0 && jc <= 3) return jc;
    return jc == 4 ? 3 : 0;  // distributed reads as justified; the rest as left
}

// A paragraph read from the text, with what places it in a table.
struct ReadParagraph {
    Paragraph paragraph;
    Pap pap;
    char16_t mark = kParagraphMark;
};

// Puts read paragraphs into blocks, gathering table paragraphs into rows.
class BlockBuilder {
public:
    BlockBuilder(std::vector<Block>& blocks, Reporter& report) : blocks_(blocks), report_(report) {}

    void add(ReadParagraph&& p)
    {
        const int depth = p.pap.depth();
        if (depth == 0) {
            closeTable();
            blocks_.emplace_back(std::move(p.paragraph));
            return;
        }
        if (!table_) {
            table_.emplace();
            table_->cellMargin = 0;  // what a row without margins of its own has
            marginKnown_ = false;
        }
        if (depth > 1) {
            // A table inside a cell: its cells' paragraphs join the outer cell.
            report_.add("嵌套表格（已展开为所在单元格的文字）");
            if (!p.pap.innerTtp) cell_.paragraphs.push_back(std::move(p.paragraph));
            cellOpen_ = cellOpen_ || !p.pap.innerTtp;
            return;
        }
        if (p.pap.ttp) {
            endRow(&p.pap);
            return;
        }
        cell_.paragraphs.push_back(std::move(p.paragraph));
        cellOpen_ = true;
        if (p.mark == kCellMark) endCell();
    }

    void finish()
    {
        closeTable();
        // Word needs a paragraph after a closing table; the model does not.
        if (blocks_.size() >= 2 && std::holds_alternative<Table>(blocks_[blocks_.size() - 2])) {
            const auto* last = std::get_if<Paragraph>(&blocks_.back());
            if (last && last->runs.empty()) blocks_.pop_back();
        }
    }

private:
    void endCell()
    {
        row_.cells.push_back(std::move(cell_));
        cell_ = Cell{};
        cellOpen_ = false;
    }

    void endRow(const Pap* pap)
    {
        if (cellOpen_) endCell();
        if (pap && pap->row) {
            // The model keeps one cell margin for a table: its first row's.
            if (!marginKnown_) table_->cellMargin = pap->cellMargin();
            marginKnown_ = true;
            shapeRow(*pap);
        }
        table_->rows.push_back(std::move(row_));
        row_ = Row{};
    }

    static int verticalMergeOf(std::uint8_t flag)
    {
        if (flag == kVertMergeRestart) return 1;
        return flag == kVertMergeContinue ? 2 : 0;
    }

    // Cell widths, alignment and vertical merges from the row's definition,
    // and the row's height; cells merged across into the cell before them
    // become part of it.
    void shapeRow(const Pap& pap)
    {
        const TDefTable& def = *pap.row;
        if (pap.rowHeight != 0) {
            row_.heightRule = pap.rowHeight > 0 ? 1 : 2;
            row_.height = std::abs(static_cast<std::int32_t>(pap.rowHeight));
        }
        std::vector<std::uint16_t> flags(row_.cells.size(), 0);
        for (std::size_t i = 0; i < row_.cells.size(); ++i) {
            if (i + 1 < def.cellEdges.size()) row_.cells[i].width = def.cellEdges[i + 1] - def.cellEdges[i];
            if (i < def.cells.size()) flags[i] = def.cells[i].flags;
            row_.cells[i].verticalAlignment = std::min((flags[i] >> 7) & 3, 2);
            if (flags[i] & kTcVertMerge) row_.cells[i].verticalMerge = flags[i] & kTcVertRestart ? 1 : 2;
        }
        for (const Pap::VertAlign& va : pap.vertAligns)
            for (std::size_t i = va.first; i < va.limit && i < row_.cells.size(); ++i)
                row_.cells[i].verticalAlignment = std::min<int>(va.value, 2);
        for (const Pap::VertMerge& vm : pap.vertMerges)
            if (vm.cell < row_.cells.size()) row_.cells[vm.cell].verticalMerge = verticalMergeOf(vm.flag);
        std::vector<Cell> cells;
        for (std::size_t i = 0; i < row_.cells.size(); ++i) {
            if (i > 0 && (flags[i] & 3) == 2 && !cells.empty()) {
                Cell& into = cells.back();
                into.width += row_.cells[i].width;
                for (Paragraph& p : row_.cells[i].paragraphs)
                    if (!p.runs.empty()) into.paragraphs.push_back(std::move(p));
                continue;
            }
            cells.push_back(std::move(row_.cells[i]));
        }
        row_.cells = std::move(cells);
    }

    void closeTable()
    {
        if (!table_) return;
        if (cellOpen_ || !row_.cells.empty()) endRow(nullptr);
        blocks_.emplace_back(std::move(*table_));
        table_.reset();
    }

    std::vector<Block>& blocks_;
    Reporter& report_;
    std::optional<Table> table_;
    Row row_;
    Cell cell_;
    bool cellOpen_ = false;
    bool marginKnown_ = false;
};

class DocumentReader {
public:
    DocumentReader(View wd, View table, View data, const reader::Fib& fib)
        : wd_(wd), table_(table), data_(data), fib_(fib),
          budget_(64 * (std::uint64_t{wd.size()} + table.size() + data.size()) + (1u << 20))
    {
    }

    Document read(Reporter& report)
    {
        report_ = &report;
        pieces_ = reader::parsePieceTable(part(Clx, "文本片段表"));
        fonts_ = reader::parseFonts(part(SttbfFfn, "字体表"));
        for (const Ffn& f : fonts_) fontNames_.push_back(text::utf16ToUtf8(f.name));
        sheet_ = reader::parseStyles(part(Stshf, "样式表"));
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

private:
    // A structure of the table stream, by its declared place and length.
    // What is read from it stays inside that length, and a refusal there
    // names the structure, not the stream.
    View part(FcLcb which, const char* what) const
    {
        const auto [fc, lcb] = fib_.at(which);
        if (lcb == 0) return View(nullptr, 0, what);
        const View whole = table_.sub(fc, lcb, what);
        return View(whole.data(), whole.size(), what);
    }

    std::uint32_t fcOf(const Piece& p, std::uint32_t cp) const
    {
        return p.fc + (cp - p.cpStart) * (p.compressed ? 1u : 2u);
    }

    // The text of character positions [from, to).
    std::u16string decode(std::uint32_t from, std::uint32_t to)
    {
        // Every character takes at least a byte of the stream.
        if (to - from > wd_.size()) damaged("文字长度超出了 WordDocument 流");
        std::u16string out;
        out.reserve(to - from);
        std::uint32_t cp = from;
        while (cp < to) {
            const std::size_t i = pieces_.find(cp);
            if (i == pieces_.pieces.size()) damaged("文本片段表中间有空缺");
            const Piece& p = pieces_.pieces[i];
            const std::uint32_t end = std::min(to, p.cpEnd);
            const std::uint64_t count = end - cp, width = p.compressed ? 1 : 2;
            // Pieces never share bytes in a sound file, so the text cannot
            // take more bytes than the stream has.
            decodedBytes_ += count * width;
            if (decodedBytes_ > wd_.size()) damaged("文本片段互相重叠");
            const View bytes = wd_.sub(p.fc + (cp - p.cpStart) * width, count * width, "正文文字");
            for (std::uint64_t k = 0; k < count; ++k)
                out += p.compressed ? text::fromCp1252(bytes.u8(k)) : static_cast<char16_t>(bytes.u16(2 * k));
            cp = end;
        }
        return out;
    }

    void readSection(Section& section)
    {
        const View plc = part(PlcfSed, "分节表");
        if (plc.empty()) return;
        const reader::Sections sections = reader::parseSections(plc);
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
    void checkStories()
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

    bool endsSection(std::uint32_t cp) const
    {
        return std::binary_search(sectionStarts_.begin(), sectionStarts_.end(), cp + 1)
            && cp + 1 < static_cast<std::uint32_t>(text_.size());
    }

    // Whether the paragraph formatting that holds the character at cp ends
    // with it, as it does at a page break that ends its paragraph.
    bool endsParagraph(std::uint32_t cp) const
    {
        const std::size_t i = pieces_.find(cp);
        if (i == pieces_.pieces.size()) return false;
        const Piece& piece = pieces_.pieces[i];
        const std::uint32_t fc = fcOf(piece, cp);
        return papx_.find(fc).fcEnd == fc + (piece.compressed ? 1u : 2u);
    }

    void readBlocks(std::vector<Block>& blocks)
    {
        BlockBuilder builder(blocks, *report_);
        std::uint32_t start = 0;
        const auto size = static_cast<std::uint32_t>(text_.size());
        for (std::uint32_t cp = 0; cp < size; ++cp) {
            const char16_t c = text_[cp];
            if (c == kParagraphMark || c == kCellMark || (c == kPageBreak && (endsSection(cp) || endsParagraph(cp)))) {
                builder.add(readParagraph(start, cp, cp));
                start = cp + 1;
            }
        }
        // Text that does not end with a paragraph mark takes the formatting of its last character.
        if (start < size) builder.add(readParagraph(start, size, size - 1));
        builder.finish();
    }

    // The paragraph of the characters [start, end), formatted as its mark at markCp says.
    ReadParagraph readParagraph(std::uint32_t start, std::uint32_t end, std::uint32_t markCp)
    {
        ReadParagraph out;
        out.mark = end == markCp ? text_[markCp] : kParagraphMark;
        const std::uint32_t mark = markCp;
        const Piece& markPiece = pieces_.pieces[pieces_.find(mark)];
        const FkpIndex::Hit papx = papx_.find(fcOf(markPiece, mark));
        const ParagraphStyle& style = styles_->paragraph(papx.istd);
        out.pap = style.pap;
        out.pap.collect(papx.grpprl, data_, budget_);
        if (const View* prc = prcOf(markPiece)) out.pap.collect(*prc, data_, budget_);
        if (out.pap.ilfo > 0) report_->add("项目符号或编号");
        out.paragraph.alignment = alignmentOf(out.pap.jc);
        out.paragraph.firstLineIndent = out.pap.firstIndent;

        Chp styleChp;
        styleChp.ftc = sheet_.stshi.defaultFonts;
        style.chp.applyTo(styleChp);
        RunBuilder runs{out.paragraph.runs, {}};
        std::uint32_t cp = start;
        while (cp < end) {
            std::uint32_t runEnd = end;
            const Chp chp = characterAt(cp, styleChp, &runEnd);
            if (chp.kul > 1) report_->add("双线、点线等下划线（已读作单下划线）");
            for (; cp < runEnd; ++cp) addCharacter(text_[cp], chp, runs);
        }
        runs.finish();
        if (start == end && end == markCp && markCp < text_.size()) {
            // An empty paragraph keeps the look of its mark: its height.
            const Chp chp = characterAt(markCp, styleChp, nullptr);
            if (chp.kul > 1) report_->add("双线、点线等下划线（已读作单下划线）");
            out.paragraph.mark = lookOf(chp, chp.ftc[1]);
        }
        return out;
    }

    // The formatting of the character at cp; *runEnd (when given, holding
    // an upper bound) becomes where that formatting ends.
    Chp characterAt(std::uint32_t cp, const Chp& styleChp, std::uint32_t* runEnd)
    {
        const Piece& piece = pieces_.pieces[pieces_.find(cp)];
        const std::uint32_t fc = fcOf(piece, cp);
        const FkpIndex::Hit chpx = chpx_.find(fc);
        if (runEnd) {
            *runEnd = std::min(*runEnd, piece.cpEnd);
            const std::uint64_t width = piece.compressed ? 1 : 2;
            if (chpx.fcEnd > fc)
                *runEnd = static_cast<std::uint32_t>(std::min<std::uint64_t>(*runEnd, cp + (chpx.fcEnd - fc + width - 1) / width));
        }
        ChpDelta direct;
        direct.collect(chpx.grpprl);
        Chp chp = styleChp;
        if (direct.characterStyle && *direct.characterStyle != 10) styles_->character(*direct.characterStyle).applyTo(chp);
        direct.applyTo(chp);
        if ((piece.prm & 1) && (piece.prm >> 1) < prcCharacters_.size()) prcCharacters_[piece.prm >> 1].applyTo(chp);
        return chp;
    }

    // Formatting the piece carries by reference, if any. A piece's own
    // one-property form is left aside: it stands for properties this
    // model does not hold.
    const View* prcOf(const Piece& p) const
    {
        if (!(p.prm & 1)) return nullptr;
        const std::size_t i = p.prm >> 1;
        return i < pieces_.prcs.size() ? &pieces_.prcs[i] : nullptr;
    }

    // The look of text with these properties in the font numbered ftc.
    Run lookOf(const Chp& chp, std::uint16_t ftc) const
    {
        Run look{{}, fontName(ftc), chp.hps / 2.0, chp.bold};
        look.italic = chp.italic;
        look.underline = chp.kul != 0;
        look.colour = chp.colour;
        return look;
    }

    // Characters gathered into runs of one look, converted to UTF-8 at the end.
    struct RunBuilder {
        std::vector<Run>& runs;
        std::u16string pending;
        void flush()
        {
            if (!runs.empty()) runs.back().text = text::utf16ToUtf8(pending);
            pending.clear();
        }
        // The last run's text stays empty until it is flushed, so its look
        // compares with `look` as a whole.
        void add(char16_t c, Run&& look)
        {
            if (runs.empty() || !(runs.back() == look)) {
                flush();
                runs.push_back(std::move(look));
            }
            pending += c;
        }
        void finish() { flush(); }
    };

    void addCharacter(char16_t c, const Chp& chp, RunBuilder& runs)
    {
        // Fields: the code between begin and separator is dropped, the
        // result shown between separator and end is kept.
        switch (c) {
        case kFieldBegin:
            report_->add("域（只保留了显示的结果）");
            fields_.push_back(false);
            ++hiddenFields_;
            return;
        case kFieldSeparator:
            if (!fields_.empty() && !fields_.back()) { fields_.back() = true; --hiddenFields_; }
            return;
        case kFieldEnd:
            if (!fields_.empty()) { if (!fields_.back()) --hiddenFields_; fields_.pop_back(); }
            return;
        default: break;
        }
        if (hiddenFields_ > 0) return;
        switch (c) {
        case 0x01: case 0x08: report_->add("图片或图形"); return;
        case 0x09: break;
        case kLineBreak: c = u'\n'; break;
        case kPageBreak: report_->add("分页符"); return;
        case 0x0E: report_->add("分栏符"); return;
        case 0x1E: c = 0x2011; break;  // non-breaking hyphen
        default:
            if (c < 0x20) return;  // footnote and comment anchors, optional hyphens and the like
        }
        if (chp.symbol && c >= 0x20) {
            // The text holds a stand-in; the character is the symbol font's.
            const std::string& symbolFont = fontName(chp.symbol->ftc);
            const symbols::Character s = symbols::fromSymbolFont(symbolFont, chp.symbol->code);
            c = s.unit;
            if (!s.mapped) {
                runs.add(c, lookOf(chp, chp.symbol->ftc));
                return;
            }
        }
        runs.add(c, lookOf(chp, text::isEastAsian(c) ? chp.ftc[1] : chp.ftc[0]));
    }

    const std::string& fontName(std::uint16_t ftc) const
    {
        static const std::string unknown;
        return ftc < fontNames_.size() ? fontNames_[ftc] : unknown;
    }

    View wd_, table_, data_;
    const reader::Fib& fib_;
    Budget budget_;
    Reporter* report_ = nullptr;
    reader::PieceTable pieces_;
    std::vector<Ffn> fonts_;
    std::vector<std::string> fontNames_;
    reader::StyleSheet sheet_;
    std::optional<Styles> styles_;
    FkpIndex chpx_, papx_;
    std::vector<ChpDelta> prcCharacters_;
    std::vector<std::uint32_t> sectionStarts_;
    std::u16string text_;
    std::uint64_t decodedBytes_ = 0;
    std::vector<bool> fields_;  // open fields: whether each shows its result yet
    std::size_t hiddenFields_ = 0;
};

} // namespace

Document readBytes(const unsigned char* data, std::size_t size, ReadReport* report)
{
    const container::CompoundReader compound(data, size);
    const auto wdBytes = compound.stream("WordDocument");
    if (!wdBytes) throw Error("文档缺少 WordDocument 流");
    const View wd(wdBytes->data(), wdBytes->size(), "WordDocument 流");
    const reader::Fib fib = reader::parseFib(wd);
    const auto tableBytes = compound.stream(fib.tableStreamName());
    if (!tableBytes) throw Error(std::string("文档缺少 ") + fib.tableStreamName() + " 流");
    const auto dataBytes = compound.stream("Data");
    const View table(tableBytes->data(), tableBytes->size(), fib.flags & kFlagTable1 ? "1Table 流" : "0Table 流");
    const View dataView = dataBytes ? View(dataBytes->data(), dataBytes->size(), "Data 流") : View(nullptr, 0, "Data 流");

    Reporter reporter;
    Document doc = DocumentReader(wd, table, dataView, fib).read(reporter);
    if (report) report->dropped = reporter.take();
    return doc;
}

Document readBytes(const std::vector<unsigned char>& bytes, ReadReport* report)
{
    return readBytes(bytes.data(), bytes.size(), report);
}

Document readFile(const std::string& path, ReadReport* report)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("无法打开文件：" + path);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("无法读取文件：" + path);
    return readBytes(bytes, report);
}

} // namespace docfile
