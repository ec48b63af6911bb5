// Zip archives, the packages .docx and .odt files are: written through
// libgsf, and read from anywhere with care. The reader parses the central
// directory itself (plain structs of its on-disk records), refuses what a
// word processor's package never needs, holds what it inflates to a budget
// and checks each file's CRC-32 (libgsf does not), and only then lets
// libgsf inflate.
#pragma once

#include "docfile/bytes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace docfile::zip {

struct File {
    std::string name;  // may have folders: "word/document.xml"
    std::vector<unsigned char> bytes;
};

// A zip holding the files in order, compressed; with `firstStored` the
// first is stored as it is (an OpenDocument's "mimetype" must be).
std::vector<unsigned char> write(const std::vector<File>& files, bool firstStored = false);

// Whether the bytes start as a zip archive does.
bool looksLikeZip(const unsigned char* data, std::size_t size);

// The end of central directory record.
struct EndRecord {
    std::uint16_t disk = 0, directoryDisk = 0;
    std::uint16_t entriesHere = 0, entries = 0;
    std::uint32_t directorySize = 0, directoryOffset = 0;
};

// A central directory entry.
struct Entry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0, size = 0;
    std::uint32_t localOffset = 0;
};

// What reading a package may take.
struct Limits {
    std::size_t entries = 1000;                // Word's packages have a few dozen
    std::uint64_t part = 128ull << 20;         // inflated size of one file
    std::uint64_t ratio = 128;                 // inflated total per byte of the package...
    std::uint64_t base = 8ull << 20;           // ...plus this much
};

class Reader {
public:
    // Throws docfile::Error when the bytes are no zip, or a zip this
    // reader will not open (split, ZIP64, encrypted entries, names twice).
    Reader(const unsigned char* data, std::size_t size, Limits limits = {});
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    const std::vector<Entry>& entries() const { return entries_; }
    // The entry of that name, compared without regard to ASCII case as
    // package part names are; nullptr when there is none.
    const Entry* find(std::string_view name) const;
    // The file's bytes, inflated and checked. Throws docfile::Error when
    // they exceed the budget, do not match their CRC-32 or cannot be read.
    std::vector<unsigned char> read(const Entry& entry);

private:
    struct Gsf;
    std::vector<Entry> entries_;
    std::unique_ptr<Gsf> gsf_;
    std::uint64_t left_ = 0;  // what all files may still inflate to
    std::uint64_t partLimit_ = 0;
};

} // namespace docfile::zip
