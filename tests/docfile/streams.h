// A file of ours taken apart into its streams, to be damaged or altered
// byte by byte and put together again: for reading files that our writer
// would never make.
#pragma once

#include "docfile/word97/container.h"
#include "samples.h"

#include <algorithm>
#include <array>
#include <vector>

namespace streams {

using docfile::Document;

constexpr std::size_t kFlags = 10;
constexpr std::size_t kFcLcbStart = 154;  // the offset/length pairs in a Word 97 header
constexpr std::size_t kClxPair = kFcLcbStart + 33 * 8;
constexpr std::size_t kCcpText = 64 + 3 * 4;
constexpr int kStshf = 1, kPlcfSed = 6, kPlcfBteChpx = 12, kPlcfBtePapx = 13, kSttbfFfn = 15, kClx = 33;

// Our own timetable's streams, to be damaged one way or another.
struct Streams {
    std::vector<unsigned char> wordDocument, table;

    explicit Streams(const Document& doc = samples::defaultTimetable())
    {
        const std::vector<unsigned char> bytes = docfile::writeBytes(doc);
        const docfile::container::CompoundReader compound(bytes.data(), bytes.size());
        wordDocument = *compound.stream("WordDocument");
        table = *compound.stream("1Table");
    }
    void put16(std::size_t at, unsigned v)
    {
        wordDocument[at] = static_cast<unsigned char>(v);
        wordDocument[at + 1] = static_cast<unsigned char>(v >> 8);
    }
    unsigned get32(std::size_t at) const
    {
        return wordDocument[at] | (wordDocument[at + 1] << 8) | (wordDocument[at + 2] << 16) | (unsigned(wordDocument[at + 3]) << 24);
    }
    void put32(std::size_t at, unsigned v)
    {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    }
    // An offset/length pair of the header.
    unsigned fc(int index) const { return get32(kFcLcbStart + 8 * index); }
    unsigned lcb(int index) const { return get32(kFcLcbStart + 8 * index + 4); }
    // Puts new bytes for a table stream structure at the stream's end.
    void replace(int index, const std::vector<unsigned char>& bytes)
    {
        put32(kFcLcbStart + 8 * index, static_cast<unsigned>(table.size()));
        put32(kFcLcbStart + 8 * index + 4, static_cast<unsigned>(bytes.size()));
        table.insert(table.end(), bytes.begin(), bytes.end());
    }
    std::vector<unsigned char> file(bool withWordDocument = true, const char* tableName = "1Table") const
    {
        return named(withWordDocument ? "WordDocument" : nullptr, tableName);
    }
    // The file with its streams under the names given (none: left out).
    std::vector<unsigned char> named(const char* wordDocumentName, const char* tableName) const
    {
        std::vector<docfile::container::Stream> streams;
        if (wordDocumentName) streams.push_back({wordDocumentName, wordDocument});
        if (tableName) streams.push_back({tableName, table});
        const std::array<std::uint8_t, 16> noClass{};
        return docfile::container::writeCompound(streams, noClass, "test");
    }
};

// Replaces the one place where `from` occurs in `bytes` with `to`, of the
// same length; false when it occurs nowhere or more than once.
inline bool replaceOnce(std::vector<unsigned char>& bytes, const std::vector<unsigned char>& from, const std::vector<unsigned char>& to)
{
    const auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    if (at == bytes.end() || from.size() != to.size()) return false;
    if (std::search(at + 1, bytes.end(), from.begin(), from.end()) != bytes.end()) return false;
    std::copy(to.begin(), to.end(), at);
    return true;
}

// Text as the WordDocument stream stores it (UTF-16, little-endian).
inline std::vector<unsigned char> utf16(const std::u16string& s)
{
    std::vector<unsigned char> out;
    for (char16_t c : s) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(static_cast<unsigned char>(c >> 8));
    }
    return out;
}

} // namespace streams
