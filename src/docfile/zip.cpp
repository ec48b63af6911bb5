#include "docfile/bytes.h"
#include "docfile/zip.h"

#include "docfile/document.h"
#include "docfile/gsf.h"
#include "docfile/text.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

namespace docfile::zip {

using gsf::Owned;

std::vector<unsigned char> write(const std::vector<File>& files, bool firstStored)
{
    gsf::init();
    Owned<GsfOutput> sink(gsf_output_memory_new());
    Owned<GsfOutfile> zip(gsf_outfile_zip_new(sink.get(), nullptr));
    if (!zip) throw Error("无法生成压缩包");
    std::map<std::string, Owned<GsfOutfile>> folders;
    bool first = true;
    for (const File& file : files) {
        // Each folder level is a child of the one above it.
        GsfOutfile* parent = zip.get();
        std::string name = file.name;
        for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/')) {
            const std::string folder = file.name.substr(0, file.name.size() - name.size() + slash);
            auto& made = folders[folder];
            if (!made) made.reset(GSF_OUTFILE(gsf_outfile_new_child(parent, name.substr(0, slash).c_str(), TRUE)));
            if (!made) throw Error("无法生成压缩包");
            parent = made.get();
            name = name.substr(slash + 1);
        }
        Owned<GsfOutput> child(gsf_outfile_new_child_full(parent, name.c_str(), FALSE, "compression-level",
                                                          first && firstStored ? GSF_ZIP_STORED : GSF_ZIP_DEFLATED, nullptr));
        first = false;
        if (!child || (!file.bytes.empty() && !gsf_output_write(child.get(), file.bytes.size(), file.bytes.data()))
            || !gsf_output_close(child.get()))
            throw Error("无法写入 " + file.name);
    }
    // Inner folders close before the folders that hold them.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        if (!gsf_output_close(GSF_OUTPUT(it->second.get()))) throw Error("无法生成压缩包");
    if (!gsf_output_close(GSF_OUTPUT(zip.get()))) throw Error("无法生成压缩包");
    const auto size = static_cast<std::size_t>(gsf_output_size(sink.get()));
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    return std::vector<unsigned char>(bytes, bytes + size);
}

bool looksLikeZip(const unsigned char* data, std::size_t size)
{
    return size >= 4 && data[0] == 'P' && data[1] == 'K' && data[2] == 3 && data[3] == 4;
}

namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kEntrySignature = 0x02014B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::size_t kEndSize = 22, kEntrySize = 46, kLocalHeaderSize = 30, kZip64LocatorSize = 20;

[[noreturn]] void broken(const std::string& what) { damaged("压缩包" + what); }

// The end record nearest the end of the file, as libgsf finds it too:
// only a comment of up to 64 KB may follow it.
std::size_t findEnd(const View& file)
{
    if (file.size() < kEndSize) broken("太短，不完整");
    const std::size_t last = file.size() - kEndSize;
    const std::size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (std::size_t at = last + 1; at-- > first;)
        if (file.u32(at) == kEndSignature) return at;
    broken("的目录找不到");
}

EndRecord parseEnd(const View& record)
{
    EndRecord end;
    end.disk = record.u16(4);
    end.directoryDisk = record.u16(6);
    end.entriesHere = record.u16(8);
    end.entries = record.u16(10);
    end.directorySize = record.u32(12);
    end.directoryOffset = record.u32(16);
    return end;
}

Entry parseEntry(const View& directory, std::size_t& at)
{
    const View fixed = directory.sub(at, kEntrySize, "压缩包的目录项");
    if (fixed.u32(0) != kEntrySignature) broken("的目录项标记不对");
    Entry e;
    e.flags = fixed.u16(8);
    e.method = fixed.u16(10);
    e.crc = fixed.u32(16);
    e.compressedSize = fixed.u32(20);
    e.size = fixed.u32(24);
    e.localOffset = fixed.u32(42);
    const std::size_t nameSize = fixed.u16(28), extraSize = fixed.u16(30), commentSize = fixed.u16(32);
    const View name = directory.sub(at + kEntrySize, nameSize, "压缩包的文件名");
    e.name.assign(reinterpret_cast<const char*>(name.data()), name.size());
    at += kEntrySize + nameSize + extraSize + commentSize;
    if (at > directory.size()) broken("的目录项超出了目录");
    return e;
}

std::string folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

struct Reader::Gsf {
    Owned<GsfInput> input;
    Owned<GsfInfile> zip;
};

Reader::Reader(const unsigned char* data, std::size_t size, Limits limits) : gsf_(std::make_unique<Gsf>())
{
    const View file(data, size, "压缩包");
    const std::size_t endAt = findEnd(file);
    const EndRecord end = parseEnd(file.sub(endAt, kEndSize, "压缩包的目录尾"));
    if (end.disk != 0 || end.directoryDisk != 0 || end.entriesHere != end.entries)
        throw Error("这是分卷压缩包的一部分，无法打开");
    const bool zip64 = end.entries == 0xFFFF || end.directoryOffset == 0xFFFFFFFF
        || (endAt >= kZip64LocatorSize && file.u32(endAt - kZip64LocatorSize) == kZip64LocatorSignature);
    if (zip64) throw Error("文档的压缩包使用了 ZIP64 格式，无法打开");
    if (end.entries > limits.entries) damaged("压缩包中的文件多得不合常理");
    const View directory = file.sub(end.directoryOffset, end.directorySize, "压缩包的目录");

    left_ = std::min<std::uint64_t>(limits.ratio * size + limits.base, 4 * limits.part);
    partLimit_ = limits.part;
    std::map<std::string, std::size_t> names;
    std::size_t at = 0;
    for (std::uint16_t i = 0; i < end.entries; ++i) {
        Entry e = parseEntry(directory, at);
        if (e.flags & 0x0001) throw Error("文档的压缩包已加密，无法打开");
        if (e.size == 0xFFFFFFFF || e.compressedSize == 0xFFFFFFFF || e.localOffset == 0xFFFFFFFF)
            throw Error("文档的压缩包使用了 ZIP64 格式，无法打开");
        if (!names.emplace(folded(e.name), entries_.size()).second) broken("中有两个同名的文件：" + text::forMessage(e.name));
        // Where the file's data would start must lie inside the archive.
        if (!file.has(e.localOffset, kLocalHeaderSize + std::uint64_t{e.compressedSize})) broken("中的文件超出了压缩包的末尾");
        entries_.push_back(std::move(e));
    }

    gsf::init();
    gsf_->input.reset(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
    GError* error = nullptr;
    gsf_->zip.reset(gsf_infile_zip_new(gsf_->input.get(), &error));
    if (error) g_error_free(error);
    if (!gsf_->zip) broken("的目录无法读取");
}

Reader::~Reader() = default;

const Entry* Reader::find(std::string_view name) const
{
    const std::string key = folded(name);
    for (const Entry& e : entries_)
        if (folded(e.name) == key) return &e;
    return nullptr;
}

std::vector<unsigned char> Reader::read(const Entry& e)
{
    const std::string name = text::forMessage(e.name);
    if (e.method != 0 && e.method != 8) throw Error("文档的压缩包使用了不支持的压缩方法：" + name);
    if (e.size > partLimit_ || e.size > left_) damaged("压缩包中的 " + name + " 解压后大得不合常理");
    left_ -= e.size;
    if (e.method == 0 && e.compressedSize != e.size) broken("中 " + name + " 的长度不一致");

    // libgsf finds the file through its folders, by the name split at '/'.
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t slash = e.name.find('/', start);
        parts.push_back(e.name.substr(start, slash - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    std::vector<const char*> path;
    for (const std::string& p : parts) path.push_back(p.c_str());
    path.push_back(nullptr);
    Owned<GsfInput> child(gsf_infile_child_by_aname(gsf_->zip.get(), path.data()));
    if (!child || gsf_input_size(child.get()) != static_cast<gsf_off_t>(e.size)) broken("中的 " + name + " 无法读出");

    // Inflated a piece at a time: libgsf stops at the size the directory
    // gives, whatever the data would inflate to, and the CRC says whether
    // what came out is what went in.
    std::vector<unsigned char> bytes(e.size);
    constexpr std::size_t kPiece = 64 * 1024;
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t n = std::min(kPiece, bytes.size() - done);
        if (!gsf_input_read(child.get(), n, bytes.data() + done)) broken("中的 " + name + " 无法解压");
        crc = crc32(crc, bytes.data() + done, static_cast<uInt>(n));
        done += n;
    }
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // (A fuzzing build lets changed bytes through, to reach the XML.)
    if (crc != e.crc) broken("中的 " + name + " 校验和不符");
#endif
    return bytes;
}

} // namespace docfile::zip
