// Making .docx packages by hand for the tests: a body of WordprocessingML
// put into a package with whatever parts a test needs, and zip archives
// built byte by byte, so that a test can make them lie (sizes, CRCs,
// flags) as a hostile file would.
#pragma once

#include "docfile/zip.h"

#include <zlib.h>

#include <map>
#include <string>
#include <vector>

namespace docx {

inline const std::string kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline const std::string kRels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline const std::string kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

inline std::vector<unsigned char> bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A relationship from a part: type (the last word of the URI), target.
struct Rel {
    std::string id, type, target;
};

inline std::string relationships(const std::vector<Rel>& rels)
{
    std::string x = kHeader + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Rel& r : rels)
        x += "<Relationship Id=\"" + r.id + "\" Type=\"" + kRels + "/" + r.type + "\" Target=\"" + r.target + "\"/>";
    return x + "</Relationships>";
}

struct Package {
    std::string body;  // what goes inside w:body
    std::string mainPart = "word/document.xml";
    std::string mainType = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    std::map<std::string, std::string> parts;  // further parts: name -> content
    std::vector<Rel> mainRels;                 // from the main part
    std::string documentElement;               // the whole main part, if set, instead of body

    std::vector<docfile::zip::File> files() const
    {
        std::string types = kHeader + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                            "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                            "<Override PartName=\"/" + mainPart + "\" ContentType=\"" + mainType + "\"/></Types>";
        const std::string document = documentElement.empty()
            ? kHeader + "<w:document xmlns:w=\"" + kW + "\" xmlns:r=\"" + kRels
                  + "\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>" + body + "</w:body></w:document>"
            : documentElement;
        std::vector<docfile::zip::File> out{{"[Content_Types].xml", bytes(types)},
                                            {"_rels/.rels", bytes(relationships({{"rId1", "officeDocument", mainPart}}))},
                                            {mainPart, bytes(document)}};
        if (!mainRels.empty()) {
            const std::size_t slash = mainPart.rfind('/');
            const std::string folder = slash == std::string::npos ? "" : mainPart.substr(0, slash + 1);
            out.push_back({folder + "_rels/" + mainPart.substr(slash + 1) + ".rels", bytes(relationships(mainRels))});
        }
        for (const auto& [name, content] : parts) out.push_back({name, bytes(content)});
        return out;
    }
    std::vector<unsigned char> zip() const { return docfile::zip::write(files()); }
};

// A paragraph of plain text.
inline std::string p(const std::string& text) { return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>"; }

// Zip archives made byte by byte. Each entry's sizes, CRC and method are
// as given, whatever its data holds.
struct RawEntry {
    std::string name;
    std::vector<unsigned char> data;  // as stored (compressed or not)
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;           // the inflated size the directory declares
    std::uint16_t flags = 0;
};

// A stored entry whose CRC and size are right.
inline RawEntry stored(const std::string& name, const std::vector<unsigned char>& data)
{
    return {name, data, 0, static_cast<std::uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size()))),
            static_cast<std::uint32_t>(data.size())};
}

// Raw deflate of `size` zero bytes, made a piece at a time: a few hundred
// kilobytes for hundreds of megabytes.
inline RawEntry zeros(const std::string& name, std::size_t size)
{
    RawEntry e{name, {}, 8, 0, static_cast<std::uint32_t>(size)};
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> in(1 << 20, 0), out(1 << 16);
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t done = 0; done < size || z.avail_in > 0;) {
        if (z.avail_in == 0 && done < size) {
            const std::size_t n = std::min(in.size(), size - done);
            z.next_in = in.data();
            z.avail_in = static_cast<uInt>(n);
            crc = crc32(crc, in.data(), static_cast<uInt>(n));
            done += n;
        }
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, done == size ? Z_FINISH : Z_NO_FLUSH);
            e.data.insert(e.data.end(), out.data(), out.data() + (out.size() - z.avail_out));
        } while (z.avail_out == 0);
        if (done == size && z.avail_in == 0) {
            int status;
            do {
                z.next_out = out.data();
                z.avail_out = static_cast<uInt>(out.size());
                status = deflate(&z, Z_FINISH);
                e.data.insert(e.data.end(), out.data(), out.data() + (out.size() - z.avail_out));
            } while (status != Z_STREAM_END);
            break;
        }
    }
    deflateEnd(&z);
    e.crc = static_cast<std::uint32_t>(crc);
    return e;
}

inline std::vector<unsigned char> rawZip(const std::vector<RawEntry>& entries, std::uint16_t declaredEntries = 0xFFFF)
{
    std::vector<unsigned char> out, directory;
    auto u16 = [](std::vector<unsigned char>& b, unsigned v) { b.push_back(static_cast<unsigned char>(v)); b.push_back(static_cast<unsigned char>(v >> 8)); };
    auto u32 = [&](std::vector<unsigned char>& b, std::uint32_t v) { u16(b, v & 0xFFFF); u16(b, v >> 16); };
    for (const RawEntry& e : entries) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        u32(out, 0x04034B50);
        u16(out, 20); u16(out, e.flags); u16(out, e.method); u16(out, 0); u16(out, 0);
        u32(out, e.crc); u32(out, static_cast<std::uint32_t>(e.data.size())); u32(out, e.size);
        u16(out, static_cast<unsigned>(e.name.size())); u16(out, 0);
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.insert(out.end(), e.data.begin(), e.data.end());
        u32(directory, 0x02014B50);
        u16(directory, 20); u16(directory, 20); u16(directory, e.flags); u16(directory, e.method); u16(directory, 0); u16(directory, 0);
        u32(directory, e.crc); u32(directory, static_cast<std::uint32_t>(e.data.size())); u32(directory, e.size);
        u16(directory, static_cast<unsigned>(e.name.size())); u16(directory, 0); u16(directory, 0); u16(directory, 0); u16(directory, 0);
        u32(directory, 0); u32(directory, offset);
        directory.insert(directory.end(), e.name.begin(), e.name.end());
    }
    const auto at = static_cast<std::uint32_t>(out.size());
    out.insert(out.end(), directory.begin(), directory.end());
    const unsigned count = declaredEntries == 0xFFFF ? static_cast<unsigned>(entries.size()) : declaredEntries;
    u32(out, 0x06054B50);
    u16(out, 0); u16(out, 0); u16(out, count); u16(out, count);
    u32(out, static_cast<std::uint32_t>(directory.size())); u32(out, at); u16(out, 0);
    return out;
}

// A package's files as stored entries of a raw zip.
inline std::vector<RawEntry> storedFiles(const Package& package)
{
    std::vector<RawEntry> out;
    for (const docfile::zip::File& f : package.files()) out.push_back(stored(f.name, f.bytes));
    return out;
}

} // namespace docx
