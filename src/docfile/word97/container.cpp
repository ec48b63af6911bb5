#include "docfile/word97/container.h"

#include "docfile/document.h"
#include "docfile/gsf.h"

#include <cctype>
#include <cstring>

namespace docfile::container {

namespace {

using gsf::Owned;
constexpr unsigned char kCompoundMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

} // namespace

struct CompoundReader::Impl {
    std::size_t fileSize = 0;
    Owned<GsfInput> input;
    Owned<GsfInfile> infile;
};

CompoundReader::CompoundReader(const unsigned char* data, std::size_t size) : impl_(std::make_unique<Impl>())
{
    if (size < sizeof kCompoundMagic || std::memcmp(data, kCompoundMagic, sizeof kCompoundMagic) != 0)
        throw Error("不是 Word 97–2003 文档（文件不是复合文档格式）");
    gsf::init();
    impl_->fileSize = size;
    impl_->input.reset(gsf_input_memory_new(data, static_cast<gsf_off_t>(size), FALSE));
    GError* error = nullptr;
    impl_->infile.reset(gsf_infile_msole_new(impl_->input.get(), &error));
    if (error) g_error_free(error);
    if (!impl_->infile)
        throw Error("文件已截断或损坏：复合文档的目录或分配表无法读取");
}

CompoundReader::~CompoundReader() = default;

namespace {

// Names in a compound file's directory match without regard to case (the
// format compares them upper-cased), so "worddocument" is the WordDocument
// stream. Our names are ASCII; other characters must match exactly.
bool sameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        const auto x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x != y && !(x < 0x80 && y < 0x80 && std::toupper(x) == std::toupper(y))) return false;
    }
    return *a == *b;
}

} // namespace

std::optional<std::vector<unsigned char>> CompoundReader::stream(const char* name) const
{
    // The entry of that name, spelt exactly as asked if there is one.
    GsfInfile* infile = impl_->infile.get();
    const int count = gsf_infile_num_children(infile);
    int found = -1;
    for (int i = 0; i < count; ++i) {
        const char* listed = gsf_infile_name_by_index(infile, i);
        if (!listed || !sameName(listed, name)) continue;
        if (found < 0 || std::strcmp(listed, name) == 0) found = i;
    }
    if (found < 0) return std::nullopt;
    Owned<GsfInput> child(gsf_infile_child_by_index(infile, found));
    // Listed in the directory but not to be opened: its sectors are broken.
    if (!child) throw Error(std::string("文件已截断或损坏：") + name + " 流的扇区链不完整");
    // A storage (folder) of that name is not the stream we want.
    if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0)
        return std::nullopt;
    const gsf_off_t size = gsf_input_size(child.get());
    // Nothing in a compound file is stored compressed: a stream longer than
    // the whole file is a damaged directory entry.
    if (size < 0 || static_cast<std::uint64_t>(size) > impl_->fileSize)
        throw Error(std::string("文件已截断或损坏：") + name + " 流的长度超出了文件");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !gsf_input_read(child.get(), static_cast<std::size_t>(size), bytes.data()))
        throw Error(std::string("文件已截断或损坏：") + name + " 流无法完整读出");
    return bytes;
}

std::vector<unsigned char> writeCompound(const std::vector<Stream>& streams,
                                         const std::array<std::uint8_t, 16>& classId,
                                         const std::string& applicationName)
{
    gsf::init();
    Owned<GsfOutput> sink(gsf_output_memory_new());
    Owned<GsfOutfile> outfile(gsf_outfile_msole_new(sink.get()));
    if (!outfile) throw Error("无法生成复合文档");
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(outfile.get()), classId.data());

    auto addStream = [&](const char* name, auto&& fill) {
        Owned<GsfOutput> child(gsf_outfile_new_child(outfile.get(), name, FALSE));
        if (!child || !fill(child.get()) || !gsf_output_close(child.get()))
            throw Error(std::string("无法写入 ") + name + " 流");
    };
    for (const Stream& s : streams)
        addStream(s.name.c_str(), [&](GsfOutput* out) {
            return s.bytes.empty() || gsf_output_write(out, s.bytes.size(), s.bytes.data());
        });

    // Document properties: the program that wrote the file.
    Owned<GsfDocMetaData> meta(gsf_doc_meta_data_new());
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_TYPE_STRING);
    g_value_set_string(&value, applicationName.c_str());
    gsf_doc_meta_data_insert(meta.get(), g_strdup(GSF_META_NAME_GENERATOR), static_cast<GValue*>(g_boxed_copy(G_TYPE_VALUE, &value)));
    g_value_unset(&value);
    addStream("\005SummaryInformation",
              [&](GsfOutput* out) { return gsf_doc_meta_data_write_to_msole(meta.get(), out, FALSE); });
    addStream("\005DocumentSummaryInformation",
              [&](GsfOutput* out) { return gsf_doc_meta_data_write_to_msole(meta.get(), out, TRUE); });

    if (!gsf_output_close(GSF_OUTPUT(outfile.get()))) throw Error("无法生成复合文档");
    const auto size = static_cast<std::size_t>(gsf_output_size(sink.get()));
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    return std::vector<unsigned char>(bytes, bytes + size);
}

} // namespace docfile::container
