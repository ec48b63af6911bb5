#include "docfile/word97/reader_records.h"

#include <algorithm>

namespace docfile::reader {

using namespace records;

Fib parseFib(View wd)
{
    if (wd.size() < kFibBaseSize) damaged("WordDocument 流太短，放不下文件头");
    const std::uint16_t ident = wd.u16(0);
    Fib fib;
    fib.nFib = wd.u16(2);
    fib.flags = wd.u16(10);
    if (ident == kWord6Ident || (ident == kWordIdent && fib.nFib < kNFibWord97))
        throw Error("这是 Word 6/95 等旧版本的文档，无法打开");
    if (ident != kWordIdent) throw Error("不是 Word 97–2003 文档（WordDocument 流的文件头不对）");
    if (fib.flags & (kFlagEncrypted | kFlagObfuscated)) throw Error("文档受密码保护或已加密，无法打开");

    std::size_t pos = kFibBaseSize;
    const std::uint16_t csw = wd.u16(pos);
    pos += 2 + 2ull * csw;
    const std::uint16_t cslw = wd.u16(pos);
    pos += 2;
    const View lw = wd.sub(pos, 4ull * cslw, "文件头");
    for (std::size_t i = 0; i < std::min<std::size_t>(cslw, kRgLwCount); ++i) fib.lw[i] = lw.i32(4 * i);
    pos += 4ull * cslw;
    const std::uint16_t pairs = wd.u16(pos);
    pos += 2;
    if (pairs <= Clx) damaged("文件头太短，缺少文本片段表的位置");
    const View fcLcb = wd.sub(pos, 8ull * pairs, "文件头");
    for (std::size_t i = 0; i <= static_cast<std::size_t>(Clx); ++i)
        fib.fcLcb.emplace_back(fcLcb.u32(8 * i), fcLcb.u32(8 * i + 4));
    return fib;
}

std::size_t PieceTable::find(std::uint32_t cp) const
{
    const auto it = std::upper_bound(pieces.begin(), pieces.end(), cp,
                                     [](std::uint32_t value, const Piece& p) { return value < p.cpEnd; });
    if (it == pieces.end() || cp < it->cpStart) return pieces.size();
    return static_cast<std::size_t>(it - pieces.begin());
}

PieceTable parsePieceTable(View clx)
{
    PieceTable table;
    std::size_t pos = 0;
    for (;;) {
        if (pos >= clx.size()) damaged("文本片段表缺少片段");
        const std::uint8_t type = clx.u8(pos);
        if (type == 1) {  // formatting shared by pieces
            const std::int16_t cb = clx.i16(pos + 1);
            if (cb < 0) damaged("文本片段表中的格式长度为负");
            table.prcs.push_back(clx.sub(pos + 3, static_cast<std::uint64_t>(cb), "文本片段的格式"));
            pos += 3 + static_cast<std::size_t>(cb);
            continue;
        }
        if (type != 2) damaged("文本片段表的格式不对");
        const std::uint32_t lcb = clx.u32(pos + 1);
        const View plc = clx.sub(pos + 5, lcb, "片段的位置");
        if (lcb < 16 || (lcb - 4) % 12 != 0) damaged("文本片段表的长度不对");
        const std::size_t n = (lcb - 4) / 12;
        table.pieces.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t start = plc.u32(4 * i), end = plc.u32(4 * (i + 1));
            if (end < start || (i == 0 && start != 0)) damaged("文本片段表的位置顺序不对");
            const std::size_t pcd = 4 * (n + 1) + 8 * i;
            const std::uint32_t fc = plc.u32(pcd + 2);
            Piece piece;
            piece.cpStart = start;
            piece.cpEnd = end;
            piece.compressed = (fc & 0x40000000u) != 0;
            piece.fc = piece.compressed ? (fc & 0x3FFFFFFFu) / 2 : (fc & 0x3FFFFFFFu);
            piece.prm = plc.u16(pcd + 6);
            if (end > start) table.pieces.push_back(piece);
        }
        return table;
    }
}

std::vector<Ffn> parseFonts(View sttb)
{
    std::vector<Ffn> fonts;
    if (sttb.empty()) return fonts;
    std::size_t pos = 0;
    std::uint16_t count = sttb.u16(0);
    if (count == 0xFFFF) {  // the extended form: the count follows
        count = sttb.u16(2);
        pos = 2;
    }
    pos += 4;  // count, then the size of extra data, which a font table has none of
    if (count > (sttb.size() - std::min(pos, sttb.size())) / 40) damaged("字体表的字体数目超出了它的长度");
    fonts.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t size = sttb.u8(pos) + 1u;
        const View ffn = sttb.sub(pos, size, "字体");
        pos += size;
        Ffn font;
        if (size >= 40) {
            font.pitchAndFamily = ffn.u8(1);
            font.weight = ffn.u16(2);
            font.charset = ffn.u8(4);
            const std::uint8_t altAt = ffn.u8(5);
            for (int k = 0; k < 6; ++k) font.signature[k] = ffn.u32(16 + 4 * k);
            const std::size_t chars = (size - 40) / 2;
            std::u16string all;
            for (std::size_t k = 0; k < chars; ++k) all += static_cast<char16_t>(ffn.u16(40 + 2 * k));
            font.name = all.substr(0, all.find(u'\0'));
            if (altAt > 0 && altAt < all.size()) {
                const std::u16string alt = all.substr(altAt);
                font.altName = alt.substr(0, alt.find(u'\0'));
            }
        }
        fonts.push_back(std::move(font));
    }
    return fonts;
}

namespace {

// The properties a style's UPXs carry, by the style's kind.
void readUpxs(View std, std::size_t pos, std::uint16_t cupx, Std& style)
{
    for (std::uint16_t k = 0; k < cupx; ++k) {
        if (!std.has(pos, 2)) return;
        const std::uint16_t cb = std.u16(pos);
        if (!std.has(pos + 2, cb)) return;  // a short last entry is left out, as Word does
        const View upx = std.sub(pos + 2, cb, "样式");
        pos += 2u + cb + (cb & 1u);
        auto bytes = [](View v, std::size_t skip) {
            return v.size() > skip ? std::vector<std::uint8_t>(v.data() + skip, v.data() + v.size()) : std::vector<std::uint8_t>{};
        };
        // Paragraph styles: paragraph then character. Character styles:
        // character. Table styles: table, paragraph, character. Lists: paragraph.
        const bool paragraphUpx = (style.stk == 1 && k == 0) || (style.stk == 3 && k == 1) || (style.stk == 4 && k == 0);
        const bool characterUpx = (style.stk == 1 && k == 1) || (style.stk == 2 && k == 0) || (style.stk == 3 && k == 2);
        if (paragraphUpx) style.paragraphSprms = bytes(upx, 2);  // after the style number
        else if (characterUpx) style.characterSprms = bytes(upx, 0);
    }
}

} // namespace

StyleSheet parseStyles(View table)
{
    StyleSheet sheet;
    if (table.empty()) return sheet;
    const View stsh(table.data(), table.size(), "样式表");
    const std::uint16_t cbStshi = stsh.u16(0);
    const View stshi = stsh.sub(2, cbStshi, "样式表的表头");
    if (cbStshi < 4) damaged("样式表的表头太短");
    sheet.stshi.cstd = stshi.u16(0);
    sheet.stshi.cbStdBase = stshi.u16(2);
    if (cbStshi >= 18)
        for (int k = 0; k < 3; ++k) sheet.stshi.defaultFonts[k] = stshi.u16(12 + 2 * k);
    std::size_t pos = 2u + cbStshi;
    // Each slot takes at least its two length bytes.
    const std::size_t room = (stsh.size() - std::min(pos, stsh.size())) / 2;
    if (sheet.stshi.cstd > room) ++sheet.unreadable;
    sheet.slots.assign(std::min<std::size_t>(sheet.stshi.cstd, room), -1);
    for (auto& slot : sheet.slots) {
        if (!stsh.has(pos, 2)) { ++sheet.unreadable; break; }
        const std::uint16_t cbStd = stsh.u16(pos);
        if (!stsh.has(pos + 2, cbStd)) {
            // A style running past the sheet's end: the styles before it
            // stand, and nothing after it can be found.
            ++sheet.unreadable;
            break;
        }
        const View std = stsh.sub(pos + 2, cbStd, "样式");
        pos += 2u + cbStd;
        if (cbStd == 0) continue;
        if (cbStd < 10 || sheet.stshi.cbStdBase > cbStd) {
            ++sheet.unreadable;  // too short for what every style holds: left out
            continue;
        }
        Std style;
        style.sti = std.u16(0) & 0x0FFF;
        style.stk = std.u16(2) & 0x000F;
        style.istdBase = std.u16(2) >> 4;
        const std::uint16_t cupx = std.u16(4) & 0x000F;
        style.istdNext = std.u16(4) >> 4;
        std::size_t at = sheet.stshi.cbStdBase;
        if (std.has(at, 2)) {
            const std::uint16_t cch = std.u16(at);
            if (std.has(at + 2, 2ull * cch + 2)) {
                for (std::uint16_t k = 0; k < cch; ++k) style.name += static_cast<char16_t>(std.u16(at + 2 + 2ull * k));
                readUpxs(std, at + 2 + 2ull * cch + 2, cupx, style);
            }
        }
        slot = static_cast<std::int32_t>(sheet.styles.size());
        sheet.styles.push_back(std::move(style));
    }
    return sheet;
}

Sections parseSections(View plc)
{
    Sections sections;
    if (plc.size() < 20 || (plc.size() - 4) % 16 != 0) damaged("分节表的长度不对");
    const std::size_t n = (plc.size() - 4) / 16;
    for (std::size_t i = 0; i <= n; ++i) sections.cps.push_back(plc.u32(4 * i));
    for (std::size_t i = 0; i < n; ++i) sections.seds.push_back(Sed{plc.u32(4 * (n + 1) + 12 * i + 2)});
    return sections;
}

FkpIndex::FkpIndex(View binTable, View wordDocument, Kind kind) : bins_(binTable), wordDocument_(wordDocument), kind_(kind)
{
    if (binTable.empty()) return;
    if (binTable.size() < 12 || (binTable.size() - 4) % 8 != 0) damaged("格式页索引的长度不对");
    count_ = (binTable.size() - 4) / 8;
}

FkpIndex::Hit FkpIndex::find(std::uint32_t fc) const
{
    Hit hit;
    hit.fcEnd = UINT32_MAX;
    if (count_ == 0) return hit;
    // The bin whose range holds fc.
    std::size_t lo = 0, hi = count_;
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (bins_.u32(4 * (mid + 1)) <= fc) lo = mid + 1; else hi = mid;
    }
    if (lo >= count_ || fc < bins_.u32(4 * lo)) {
        if (fc < bins_.u32(0)) hit.fcEnd = bins_.u32(0);
        return hit;
    }
    const std::uint32_t binEnd = bins_.u32(4 * (lo + 1));
    const std::uint64_t pn = bins_.u32(4 * (count_ + 1) + 4 * lo) & 0x3FFFFFu;
    const View page = wordDocument_.sub(pn * kPageSize, kPageSize, "格式页");
    const std::size_t entries = page.u8(kPageSize - 1);
    const std::size_t entrySize = kind_ == Kind::Character ? 1 : 13;
    if (entries == 0 || 4 * (entries + 1) + entrySize * entries > kPageSize - 1) damaged("格式页的条目数不对");
    lo = 0;
    hi = entries;
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (page.u32(4 * (mid + 1)) <= fc) lo = mid + 1; else hi = mid;
    }
    if (lo >= entries || fc < page.u32(4 * lo)) {
        hit.fcEnd = fc < page.u32(0) ? page.u32(0) : binEnd;
        if (hit.fcEnd <= fc) hit.fcEnd = UINT32_MAX;
        return hit;
    }
    hit.fcEnd = page.u32(4 * (lo + 1));
    const std::size_t offset = 2u * page.u8(4 * (entries + 1) + entrySize * lo);
    if (offset == 0) return hit;
    const View body = page.sub(0, kPageSize - 1, "格式页");
    if (kind_ == Kind::Character) {
        hit.grpprl = body.sub(offset + 1, body.u8(offset), "字符格式");
        return hit;
    }
    std::size_t size = body.u8(offset), start = offset + 1;
    if (size == 0) {
        size = 2u * body.u8(offset + 1);
        start = offset + 2;
    } else {
        size = 2 * size - 1;
    }
    const View papx = body.sub(start, size, "段落格式");
    if (size < 2) damaged("段落格式太短");
    hit.istd = papx.u16(0);
    hit.grpprl = papx.sub(2, size - 2, "段落格式");
    return hit;
}

TDefTable parseTDefTable(View operand)
{
    TDefTable def;
    if (operand.size() < 3) return def;
    const std::size_t cells = operand.u8(2);
    if (cells > 63 || !operand.has(3, 2 * (cells + 1))) return def;
    for (std::size_t i = 0; i <= cells; ++i) def.cellEdges.push_back(operand.i16(3 + 2 * i));
    std::size_t pos = 3 + 2 * (cells + 1);
    for (std::size_t i = 0; i < cells && operand.has(pos, 20); ++i, pos += 20) {
        Tc80 tc;
        tc.flags = operand.u16(pos);
        tc.width = operand.u16(pos + 2);
        for (int k = 0; k < 4; ++k) tc.borders[k] = operand.u32(pos + 4 + 4 * k);
        def.cells.push_back(tc);
    }
    return def;
}

} // namespace docfile::reader
