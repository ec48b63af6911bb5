// The compound file (OLE2 structured storage) a .doc lives in, through libgsf.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace docfile::container {

// The streams at the top of a compound file, opened from memory.
class CompoundReader {
public:
    // Throws docfile::Error when the bytes are not a compound file or its
    // structure cannot be read.
    CompoundReader(const unsigned char* data, std::size_t size);
    ~CompoundReader();
    CompoundReader(const CompoundReader&) = delete;
    CompoundReader& operator=(const CompoundReader&) = delete;

    // The whole stream, or nothing when there is no stream of that name.
    // Throws docfile::Error when the stream cannot be read in full.
    std::optional<std::vector<unsigned char>> stream(const char* name) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

struct Stream {
    std::string name;
    std::vector<unsigned char> bytes;
};

// A compound file holding the given streams at its top, with the root's
// class id, and the two document property streams naming the program.
std::vector<unsigned char> writeCompound(const std::vector<Stream>& streams,
                                         const std::array<std::uint8_t, 16>& classId,
                                         const std::string& applicationName);

} // namespace docfile::container
