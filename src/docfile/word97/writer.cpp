// Writing the model as a Word 97 binary document: the text and its
// formatting (built in writer_text.cpp and writer_tables.cpp) in
// formatting pages (FKPs) with their bin tables, a style sheet with the
// Normal style, the font table, one section, the document settings, and
// the compound file that holds the streams.
#include "docfile/word97/container.h"
#include "docfile/document.h"
#include "docfile/word97/records.h"
#include "docfile/word97/writer_records.h"
#include "docfile/word97/writer_text.h"
#include "docfile/word97/word97.h"

#include <algorithm>

namespace docfile {

namespace {

using namespace records;
using namespace writer;

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

std::vector<unsigned char> word97::write(const Document& doc)
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

} // namespace docfile
