// Writing the model as a Word 97 binary document: the text as UTF-16
// pieces, formatting in formatting pages (FKPs) with their bin tables, a
// style sheet with the Normal style, the font table, one section, the
// document settings, and tables as Word 97 table rows.
#include "docfile/container.h"
#include "docfile/document.h"
#include "docfile/records.h"
#include "docfile/text.h"
#include "docfile/writer_records.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace docfile {

namespace {

using namespace records;
using namespace writer;

// ---- The document text and its formatting ----

constexpr std::uint32_t kTextStart = 0x400;   // text begins after the header, as Word places it
// A piece of text is found by a byte offset of 30 bits.
constexpr std::size_t kMaxStoredCharacters = (0x40000000 - kTextStart) / 2;
constexpr std::uint32_t kCellBorder = 0x04 | (0x01 << 8);  // 0.5 pt single line, automatic colour
constexpr std::size_t kMaxCells = 20;         // a row definition must fit in a formatting page
constexpr int kTwipsLimit = 31680;            // 22 inches, Word's largest page

class TextBuilder {
public:
    TextBuilder(const Document& doc, FontTable& fonts) : doc_(doc), fonts_(fonts) {}

    void build()
    {
        for (const Block& block : doc_.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&block)) paragraph(*p, false, kParagraphMark);
            else table(std::get<Table>(block));
        }
        // Word needs the text to end with a paragraph outside any table.
        if (doc_.blocks.empty() || std::holds_alternative<Table>(doc_.blocks.back())) paragraph(Paragraph{}, false, kParagraphMark);
    }

    std::uint32_t characterCount = 0;  // the document's characters
    std::u16string stored;             // what the WordDocument stream holds from kTextStart on
    struct StoredPiece {
        std::uint32_t cp;
        std::uint32_t at;  // index into `stored`
    };
    std::vector<StoredPiece> pieces{{0, 0}};
    std::vector<FormattingRun> characters, paragraphs;

private:
    std::uint32_t fc() const { return kTextStart + 2 * static_cast<std::uint32_t>(stored.size()); }

    void put(char16_t c)
    {
        ++characterCount;
        store(c);
    }

    void store(char16_t c)
    {
        if (stored.size() == kMaxStoredCharacters) throw Error("文档的文字太多，超出了 Word 文件能容纳的长度");
        stored += c;
    }

    // catdoc reads the stored text directly and takes a 256-byte stretch
    // for UTF-16 only if it finds a space, a return or ASCII punctuation
    // in it, which rows of Chinese cells seldom have. A return stored
    // after each row, outside every piece, gives it one where it does no
    // harm: it ends catdoc's line where the row ends anyway, and readers
    // that follow the piece table never see it.
    // The formatting pages cover it with entries of its own, so that no
    // character's or paragraph's entry reaches outside its piece.
    void storeOutsideText(char16_t c)
    {
        const std::uint32_t start = fc();
        store(c);
        pieces.push_back({characterCount, static_cast<std::uint32_t>(stored.size())});
        characters.push_back({start, fc(), {}});
        paragraphs.push_back({start, fc(), {static_cast<std::uint8_t>(kIstdNormal), 0}});
    }

    std::vector<std::uint8_t> runProperties(const Run& run)
    {
        Sprms s;
        if (!run.font.empty()) {
            const std::uint16_t f = fonts_.indexOf(run.font);
            s.w(sprm::CRgFtc0, f).w(sprm::CRgFtc1, f).w(sprm::CRgFtc2, f);
        }
        if (!(run.size > 0) || run.size > 1638) throw Error("字号超出了 Word 能记录的范围");
        s.w(sprm::CHps, static_cast<std::uint16_t>(std::lround(run.size * 2)));
        if (run.bold) s.b(sprm::CFBold, 1);
        if (run.italic) s.b(sprm::CFItalic, 1);
        if (run.underline) s.b(sprm::CKul, 1);  // a single line
        if (run.colour != kAutomaticColour) {
            if (run.colour > 0xFFFFFF) throw Error("文字颜色无效");
            // The nearest of Word 97's sixteen colours for readers that know
            // no others, then the colour itself, which later readers take.
            s.b(sprm::CIco, nearestIco(run.colour));
            const std::uint32_t r = run.colour >> 16, g = (run.colour >> 8) & 0xFF, b = run.colour & 0xFF;
            s.l(sprm::CCv, r | (g << 8) | (b << 16));
        }
        return s.bytes;
    }

    static std::uint8_t nearestIco(std::uint32_t colour)
    {
        auto channel = [](std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
        std::uint8_t best = 1;
        long bestDistance = -1;
        for (std::uint8_t ico = 1; ico < kIcoColours.size(); ++ico) {
            long distance = 0;
            for (int shift : {0, 8, 16}) {
                const long d = channel(colour, shift) - channel(kIcoColours[ico], shift);
                distance += d * d;
            }
            if (bestDistance < 0 || distance < bestDistance) {
                best = ico;
                bestDistance = distance;
            }
        }
        return best;
    }

    void addCharacters(std::uint32_t start, std::vector<std::uint8_t> properties)
    {
        if (!characters.empty() && characters.back().properties == properties && characters.back().fcEnd == start)
            characters.back().fcEnd = fc();
        else
            characters.push_back({start, fc(), std::move(properties)});
    }

    void addParagraph(std::uint32_t start, const Sprms& sprms)
    {
        std::vector<std::uint8_t> papx{static_cast<std::uint8_t>(kIstdNormal), 0};
        papx.insert(papx.end(), sprms.bytes.begin(), sprms.bytes.end());
        if (papx.size() > 2 * 255) throw Error("表格的一行单元格太多，无法保存");
        paragraphs.push_back({start, fc(), std::move(papx)});
    }

    void paragraph(const Paragraph& p, bool inTable, char16_t mark)
    {
        if (p.alignment < 0 || p.alignment > 3) throw Error("段落的对齐方式无效");
        const std::uint32_t start = fc();
        std::vector<std::uint8_t> last;
        for (const Run& run : p.runs) {
            const std::uint32_t runStart = fc();
            for (char16_t c : text::utf8ToUtf16(run.text)) {
                if (c == u'\n') c = kLineBreak;
                else if (c < 0x20 && c != u'\t') continue;  // marks with a meaning of their own cannot be text
                put(c);
            }
            last = runProperties(run);
            if (fc() > runStart) addCharacters(runStart, last);
        }
        // The paragraph mark looks like the paragraph's last run, or as the
        // model says for an empty paragraph, so that an empty-looking line
        // keeps its height. It gets an entry of its own,
        // as Word writes it: LibreOffice loses the formatting of a
        // paragraph just before a table when one entry spans its text and mark.
        if (p.runs.empty()) last = runProperties(p.mark);
        const std::uint32_t markStart = fc();
        put(mark);
        characters.push_back({markStart, fc(), std::move(last)});
        Sprms s;
        // Word 2000 and later mark every paragraph of a table with its
        // depth as well; some readers look only at that.
        if (inTable) s.b(sprm::PFInTable, 1).l(sprm::PItap, 1);
        if (p.alignment != 0) s.b(sprm::PJc80, static_cast<std::uint8_t>(p.alignment));
        if (p.firstLineIndent != 0) {
            if (std::abs(p.firstLineIndent) > kTwipsLimit) throw Error("首行缩进超出了 Word 能记录的范围");
            s.w(sprm::PDxaLeft180, static_cast<std::uint16_t>(p.firstLineIndent));
        }
        addParagraph(start, s);
    }

    void table(const Table& t)
    {
        const std::int32_t textWidth = doc_.section.pageWidth - doc_.section.marginLeft - doc_.section.marginRight;
        if (t.cellMargin < 0 || t.cellMargin > kTwipsLimit / 2) throw Error("表格单元格的边距超出了 Word 能记录的范围");
        for (const Row& row : t.rows) {
            if (row.cells.empty()) throw Error("表格中有一行没有单元格");
            if (row.cells.size() > kMaxCells) throw Error("表格的一行最多可有 20 个单元格");
            TDefTable def;
            def.cellEdges.push_back(0);
            for (const Cell& cell : row.cells) {
                if (cell.verticalAlignment < 0 || cell.verticalAlignment > 2) throw Error("单元格的垂直对齐方式无效");
                if (cell.verticalMerge < 0 || cell.verticalMerge > 2) throw Error("单元格的纵向合并设置无效");
                // A cell without a width gets an equal share of the text width.
                const std::int32_t width = cell.width > 0 ? cell.width : std::max<std::int32_t>(textWidth / static_cast<std::int32_t>(row.cells.size()), 1);
                const std::int32_t edge = def.cellEdges.back() + width;
                if (edge > kTwipsLimit) throw Error("表格太宽，超出了 Word 能记录的范围");
                def.cellEdges.push_back(static_cast<std::int16_t>(edge));
                Tc80 tc;
                tc.flags = static_cast<std::uint16_t>(cell.verticalAlignment << 7);
                // Vertical merges go in the cells' flags only, which every
                // Word reads: a modifier per cell as well would not fit a
                // row of 20 cells in a formatting page.
                if (cell.verticalMerge == 1) tc.flags |= kTcVertMerge | kTcVertRestart;
                if (cell.verticalMerge == 2) tc.flags |= kTcVertMerge;
                tc.width = static_cast<std::uint16_t>(width);
                tc.borders.fill(kCellBorder);
                def.cells.push_back(tc);

                const std::size_t count = cell.paragraphs.empty() ? 1 : cell.paragraphs.size();
                for (std::size_t k = 0; k < count; ++k)
                    paragraph(cell.paragraphs.empty() ? Paragraph{} : cell.paragraphs[k], true, k + 1 == count ? kCellMark : kParagraphMark);
            }
            // The row's end mark carries the row's definition.
            const std::uint32_t start = fc();
            put(kCellMark);
            addCharacters(start, {});
            // The cells' margins, inside the widths the edges give: as half
            // the gap between cells for Word 97 and the readers that know
            // no more, and as the row's cell padding for Word 2000 and later.
            Sprms s;
            s.b(sprm::PFInTable, 1).b(sprm::PFTtp, 1).l(sprm::PItap, 1);
            s.w(sprm::TDxaGapHalf, static_cast<std::uint16_t>(t.cellMargin));
            appendTDefTable(s, def);
            if (row.heightRule < 0 || row.heightRule > 2) throw Error("表格的行高设置无效");
            if (row.heightRule != 0) {
                if (row.height < 1 || row.height > kTwipsLimit) throw Error("表格的行高超出了 Word 能记录的范围");
                const std::int32_t height = row.heightRule == 1 ? row.height : -row.height;
                s.w(sprm::TDyaRowHeight, static_cast<std::uint16_t>(height));
            }

            s.op(sprm::TCellPaddingDefault);
            s.bytes.insert(s.bytes.end(), {6, 0, static_cast<std::uint8_t>(def.cells.size()), 0x02 | 0x08, 3});
            s.bytes.push_back(static_cast<std::uint8_t>(t.cellMargin));
            s.bytes.push_back(static_cast<std::uint8_t>(t.cellMargin >> 8));
            addParagraph(start, s);
            storeOutsideText(kParagraphMark);
        }
    }

    static void appendTDefTable(Sprms& s, const TDefTable& def)
    {
        ByteWriter operand;
        operand.u8(static_cast<std::uint32_t>(def.cells.size()));
        for (std::int16_t edge : def.cellEdges) operand.u16(static_cast<std::uint16_t>(edge));
        for (const Tc80& tc : def.cells) {
            operand.u16(tc.flags);
            operand.u16(tc.width);
            for (std::uint32_t b : tc.borders) operand.u32(b);
        }
        s.w(sprm::TDefTable, static_cast<std::uint16_t>(operand.size() + 1));
        s.bytes.insert(s.bytes.end(), operand.bytes().begin(), operand.bytes().end());
    }

    const Document& doc_;
    FontTable& fonts_;
};

std::vector<std::uint8_t> sectionProperties(const Section& s)
{
    auto check = [](std::int32_t v, std::int32_t low) {
        if (v < low || v > kTwipsLimit) throw Error("页面设置超出了 Word 能记录的范围");
        return static_cast<std::uint16_t>(v);
    };
    if (s.verticalAlignment != 0 && s.verticalAlignment != 1 && s.verticalAlignment != 3)
        throw Error("页面的垂直对齐方式无效");
    Sprms p;
    p.w(sprm::SXaPage, check(s.pageWidth, 1)).w(sprm::SYaPage, check(s.pageHeight, 1));
    p.w(sprm::SDxaLeft, check(s.marginLeft, 0)).w(sprm::SDxaRight, check(s.marginRight, 0));
    p.w(sprm::SDyaTop, check(s.marginTop, 0)).w(sprm::SDyaBottom, check(s.marginBottom, 0));
    p.w(sprm::SDyaHdrTop, check(s.headerDistance, 0)).w(sprm::SDyaHdrBottom, check(s.footerDistance, 0));
    if (s.verticalAlignment != 0) p.b(sprm::SVjc, static_cast<std::uint8_t>(s.verticalAlignment));
    if (s.pageWidth > s.pageHeight) p.b(sprm::SBOrientation, 2);  // landscape
    return p.bytes;
}

std::vector<std::uint8_t> documentSettings()
{
    ByteWriter dop;
    dop.padTo(kDopSize97);
    dop.put16(0, 0x0002 | (1 << 5));  // widow control on; footnotes at the bottom of the page
    dop.put16(2, 1 << 2);             // footnote numbers start at 1
    dop.put16(10, 420);               // default tab stop every two Chinese characters
    dop.put16(14, 360);               // hyphenation hot zone, Word's default
    return std::move(dop.bytes());
}

// The class id of a Word document, and the stream that names the program
// type for OLE.
constexpr std::array<std::uint8_t, 16> kWordClassId = {0x06, 0x09, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                       0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

std::vector<std::uint8_t> compObj()
{
    ByteWriter out;
    out.u32(0xFFFE0001);
    out.u32(0x00000A03);
    out.u32(0xFFFFFFFF);
    for (std::uint8_t b : kWordClassId) out.u8(b);
    auto ansi = [&](const char* s) {
        const std::size_t n = std::char_traits<char>::length(s) + 1;
        out.u32(static_cast<std::uint32_t>(n));
        for (std::size_t k = 0; k < n; ++k) out.u8(static_cast<unsigned char>(s[k]));
    };
    ansi("Microsoft Word 97-2003 Document");
    ansi("MSWordDoc");
    ansi("Word.Document.8");
    out.u32(0x71B239F4);  // Unicode versions follow: none
    out.u32(0);
    out.u32(0);
    out.u32(0);
    return std::move(out.bytes());
}

constexpr std::uint16_t kLidChinese = 0x0804;
constexpr std::uint16_t kOneQuickSave = 1 << 4;  // the FIB's count of fast saves
constexpr std::uint16_t kLidEnglish = 0x0409;

} // namespace

std::vector<unsigned char> writeBytes(const Document& doc)
{
    FontTable fonts;
    TextBuilder body(doc, fonts);
    body.build();
    const std::uint32_t ccpText = body.characterCount;

    // WordDocument: header, text, formatting pages, section properties.
    ByteWriter wd;
    wd.padTo(kTextStart);
    wd.text(body.stored);
    wd.padTo((wd.size() + kPageSize - 1) / kPageSize * kPageSize);
    const Bins chpBins = writeFkps(wd, body.characters, false);
    const Bins papBins = writeFkps(wd, body.paragraphs, true);
    const std::uint32_t fcSepx = static_cast<std::uint32_t>(wd.size());
    const std::vector<std::uint8_t> sepx = sectionProperties(doc.section);
    wd.u16(static_cast<std::uint32_t>(sepx.size()));
    wd.append(sepx);
    const std::uint32_t cbMac = static_cast<std::uint32_t>(wd.size());

    // The table stream: everything that describes the text.
    ByteWriter table;
    std::array<std::pair<std::uint32_t, std::uint32_t>, kFcLcbCount97> fcLcb{};
    auto place = [&](FcLcb which, auto&& write) {
        const auto at = static_cast<std::uint32_t>(table.size());
        write(table);
        fcLcb[which] = {at, static_cast<std::uint32_t>(table.size()) - at};
    };

    Stshi stshi;
    stshi.cbStdBase = 10;
    stshi.defaultFonts = {0, 1, 0};
    std::vector<std::optional<Std>> styles(kStyleSlots);
    Std normal;
    normal.name = u"Normal";
    normal.characterSprms = Sprms{}
                                .w(sprm::CRgFtc0, 0).w(sprm::CRgFtc1, 1).w(sprm::CRgFtc2, 0)
                                .w(sprm::CHps, kNormalHalfPoints)
                                .w(sprm::CRgLid0, kLidEnglish).w(sprm::CRgLid1, kLidChinese)
                                .bytes;
    styles[kIstdNormal] = normal;
    Std defaultFont;
    defaultFont.sti = 65;
    defaultFont.stk = 2;
    defaultFont.istdNext = kIstdDefaultParagraphFont;
    defaultFont.name = u"Default Paragraph Font";
    styles[kIstdDefaultParagraphFont] = defaultFont;
    place(Stshf, [&](ByteWriter& out) { writeStyleSheet(out, stshi, styles); });
    fcLcb[StshfOrig] = fcLcb[Stshf];

    place(PlcfSed, [&](ByteWriter& out) {
        out.u32(0);
        out.u32(ccpText);
        out.u16(0);
        out.u32(fcSepx);
        out.u16(0);
        out.u32(0xFFFFFFFF);
    });
    place(PlcfBteChpx, [&](ByteWriter& out) { writeBins(out, chpBins); });
    place(PlcfBtePapx, [&](ByteWriter& out) { writeBins(out, papBins); });
    place(Clx, [&](ByteWriter& out) {
        // Pieces that would start at the end of the text hold nothing.
        auto& pieces = body.pieces;
        while (pieces.size() > 1 && pieces.back().cp >= ccpText) pieces.pop_back();
        out.u8(2);
        out.u32(static_cast<std::uint32_t>(4 + 12 * pieces.size()));
        for (const auto& p : pieces) out.u32(p.cp);
        out.u32(ccpText);
        for (const auto& p : pieces) {
            out.u16(0);
            out.u32(kTextStart + 2 * p.at);  // UTF-16 text: the "compressed" bit stays clear
            out.u16(0);
        }
    });
    place(SttbfFfn, [&](ByteWriter& out) { writeFontTable(out, fonts.records()); });
    place(Dop, [&](ByteWriter& out) { out.append(documentSettings()); });

    // The header at the start of the WordDocument stream.
    ByteWriter fib;
    fib.u16(kWordIdent);
    fib.u16(kNFibWord97);
    fib.u16(0);
    fib.u16(kLidChinese);
    fib.u16(0);  // pnNext
    // Text stored outside the pieces makes this what Word calls a complex
    // (fast-saved) file; readers such as antiword follow the pieces only
    // when it says so.
    const bool complex = body.pieces.size() > 1;
    fib.u16(kFlagTable1 | kFlagExtChar | (complex ? kFlagComplex | kOneQuickSave : 0));
    fib.u16(kNFibBack);
    fib.u32(0);  // lKey
    fib.u8(0);   // envr: Windows
    fib.u8(0);
    fib.u16(0);
    fib.u16(0);
    // Where the text starts and ends, for readers older than the piece table.
    fib.u32(kTextStart);
    fib.u32(kTextStart + 2 * static_cast<std::uint32_t>(body.stored.size()));
    fib.u16(kRgWCount);
    for (int k = 0; k < kRgWCount - 1; ++k) fib.u16(0);
    fib.u16(kLidChinese);  // lidFE
    fib.u16(kRgLwCount);
    std::array<std::uint32_t, kRgLwCount> lw{};
    lw[LwCbMac] = cbMac;
    lw[LwCcpText] = ccpText;
    for (std::uint32_t v : lw) fib.u32(v);
    fib.u16(kFcLcbCount97);
    for (const auto& [fc, lcb] : fcLcb) { fib.u32(fc); fib.u32(lcb); }
    fib.u16(0);  // no newer header parts
    std::copy(fib.bytes().begin(), fib.bytes().end(), wd.bytes().begin());

    // Word pads its streams to at least 4096 bytes so they are kept in
    // whole sectors; some readers expect that.
    wd.padTo(4096);
    table.padTo(4096);
    return container::writeCompound({{"WordDocument", std::move(wd.bytes())},
                                     {"1Table", std::move(table.bytes())},
                                     {"\001CompObj", compObj()}},
                                    kWordClassId, "Lumetra");
}

void writeFile(const Document& doc, const std::string& path)
{
    const std::vector<unsigned char> bytes = writeBytes(doc);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw Error("无法创建文件：" + path);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw Error("无法写入文件：" + path);
}

} // namespace docfile
