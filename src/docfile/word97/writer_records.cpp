// Fonts, styles and formatting pages as the writer stores them.
#include "docfile/word97/writer_records.h"

#include "docfile/text.h"

#include <algorithm>
#include <map>

namespace docfile::writer {

using namespace records;

namespace {

constexpr std::uint8_t kCharsetAnsi = 0, kCharsetGb2312 = 134;

void writeFfn(ByteWriter& out, const Ffn& f)
{
    std::u16string names = f.name + u'\0';
    std::uint8_t altAt = 0;
    if (!f.altName.empty()) {
        altAt = static_cast<std::uint8_t>(names.size());
        names += f.altName + u'\0';
    }
    const std::size_t size = 40 + 2 * names.size();
    if (size > 256) throw Error("字体名称太长：" + text::utf16ToUtf8(f.name));
    out.u8(static_cast<std::uint32_t>(size - 1));
    out.u8(f.pitchAndFamily);
    out.u16(f.weight);
    out.u8(f.charset);
    out.u8(altAt);
    for (int k = 0; k < 10; ++k) out.u8(0);  // no PANOSE numbers
    for (std::uint32_t v : f.signature) out.u32(v);
    out.text(names);
}

void writeUpx(ByteWriter& out, const std::vector<std::uint8_t>& upx)
{
    out.u16(static_cast<std::uint32_t>(upx.size()));
    out.append(upx);
    if (upx.size() & 1) out.u8(0);
}

void writeStd(ByteWriter& out, const Std& s)
{
    ByteWriter body;
    const std::uint16_t cupx = s.stk == 1 ? 2 : 1;
    body.u16(s.sti);
    body.u16(s.stk | (s.istdBase << 4));
    body.u16(cupx | (s.istdNext << 4));
    const std::size_t bchUpe = body.size();
    body.u16(0);  // size of the style in the file, filled in below
    body.u16(0);
    body.u16(static_cast<std::uint32_t>(s.name.size()));
    body.text(s.name);
    body.u16(0);
    if (s.stk == 1) {
        ByteWriter papx;
        papx.u16(kIstdNormal);
        papx.append(s.paragraphSprms);
        writeUpx(body, papx.bytes());
    }
    writeUpx(body, s.characterSprms);
    body.put16(bchUpe, static_cast<std::uint32_t>(body.size()));
    out.u16(static_cast<std::uint32_t>(body.size()));
    out.append(body.bytes());
}

// Formatting pages are numbered in 22 bits.
constexpr std::size_t kMaxPageNumber = 0x3FFFFF;

} // namespace

std::vector<Ffn> FontTable::records() const
{
    std::vector<Ffn> out;
    for (const std::string& name : names_) {
        Ffn f;
        f.name = text::utf8ToUtf16(name);
        f.charset = fonts::isAsciiName(name) ? kCharsetAnsi : kCharsetGb2312;
        if (const char* western = fonts::westernFontName(name)) f.altName = text::utf8ToUtf16(western);
        // Variable pitch, TrueType; roman family for Times New Roman, don't-care otherwise.
        f.pitchAndFamily = 0x02 | 0x04 | (name == kLatinDefault ? 0x10 : 0x00);
        f.signature[4] = f.charset == kCharsetGb2312 ? 0x00040001u : 0x00000001u;  // code pages: Latin 1, GB2312
        out.push_back(std::move(f));
    }
    return out;
}

void writeFontTable(ByteWriter& out, const std::vector<Ffn>& fonts)
{
    out.u16(static_cast<std::uint32_t>(fonts.size()));
    out.u16(0);
    for (const Ffn& f : fonts) writeFfn(out, f);
}

void writeStyleSheet(ByteWriter& out, const Stshi& info, const std::vector<std::optional<Std>>& styles)
{
    out.u16(18);  // size of the header that follows
    out.u16(static_cast<std::uint32_t>(styles.size()));
    out.u16(info.cbStdBase);
    out.u16(1);  // built-in style names are written
    out.u16(info.stiMaxWhenSaved);
    out.u16(info.istdMaxFixedWhenSaved);
    out.u16(info.nVerBuiltInNames);
    for (std::uint16_t f : info.defaultFonts) out.u16(f);
    for (const auto& s : styles) {
        if (s) writeStd(out, *s);
        else out.u16(0);
    }
}

Bins writeFkps(ByteWriter& out, const std::vector<FormattingRun>& runs, bool paragraphs)
{
    const std::size_t entrySize = paragraphs ? 13 : 1;
    const std::size_t maxEntries = paragraphs ? 0x1D : 0x65;
    auto stored = [&](const std::vector<std::uint8_t>& p) -> std::size_t {
        if (!paragraphs) return p.empty() ? 0 : 1 + p.size() + ((1 + p.size()) & 1);
        return p.size() & 1 ? 1 + p.size() : 2 + p.size();
    };
    Bins bins;
    std::size_t i = 0;
    while (i < runs.size()) {
        std::vector<std::uint8_t> page(kPageSize, 0);
        std::map<std::vector<std::uint8_t>, std::size_t> offsets;
        std::size_t top = kPageSize - 2;  // properties grow down from below the count byte, at even offsets
        std::vector<std::size_t> entryOffsets;
        const std::size_t first = i;
        while (i < runs.size() && entryOffsets.size() < maxEntries) {
            const auto& p = runs[i].properties;
            const bool known = offsets.count(p) || (!paragraphs && p.empty());
            const std::size_t need = known ? 0 : stored(p);
            const std::size_t n = entryOffsets.size() + 1;
            if (4 * (n + 1) + entrySize * n + need > top) break;
            if (!known) {
                top -= need;
                std::size_t at = top;
                if (paragraphs) {
                    if (p.size() & 1) { page[at] = static_cast<std::uint8_t>((p.size() + 1) / 2); ++at; }
                    else { page[at] = 0; page[at + 1] = static_cast<std::uint8_t>(p.size() / 2); at += 2; }
                } else {
                    page[at] = static_cast<std::uint8_t>(p.size());
                    ++at;
                }
                std::copy(p.begin(), p.end(), page.begin() + static_cast<std::ptrdiff_t>(at));
                offsets[p] = top;
            }
            entryOffsets.push_back(!paragraphs && p.empty() ? 0 : offsets[p]);
            ++i;
        }
        if (i == first) throw Error("格式数据太多，放不进一个格式页");
        const std::size_t n = entryOffsets.size();
        auto put32 = [&](std::size_t at, std::uint32_t v) { for (int k = 0; k < 4; ++k) page[at + k] = static_cast<std::uint8_t>(v >> (8 * k)); };
        for (std::size_t k = 0; k < n; ++k) {
            put32(4 * k, runs[first + k].fcStart);
            page[4 * (n + 1) + entrySize * k] = static_cast<std::uint8_t>(entryOffsets[k] / 2);
        }
        put32(4 * n, runs[first + n - 1].fcEnd);
        page[kPageSize - 1] = static_cast<std::uint8_t>(n);
        bins.fcs.push_back(runs[first].fcStart);
        if (out.size() / kPageSize > kMaxPageNumber) throw Error("文档太大，超出了 Word 文件能容纳的大小");
        bins.pages.push_back(static_cast<std::uint32_t>(out.size() / kPageSize));
        out.append(page);
    }
    if (!runs.empty()) bins.fcs.push_back(runs.back().fcEnd);
    return bins;
}

void writeBins(ByteWriter& out, const Bins& bins)
{
    for (std::uint32_t fc : bins.fcs) out.u32(fc);
    for (std::uint32_t pn : bins.pages) out.u32(pn);
}

} // namespace docfile::writer
