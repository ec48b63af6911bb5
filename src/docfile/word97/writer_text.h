// The document's text as the writer lays it out, shared by the files that
// build it: writer_text.cpp stores paragraphs and runs, writer_tables.cpp
// tables as Word 97 table rows, and writer.cpp puts the result into the
// streams.
#pragma once

#include "docfile/document.h"
#include "docfile/word97/records.h"
#include "docfile/word97/writer_records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace docfile::writer {

constexpr std::uint32_t kTextStart = 0x400;  // text begins after the header, as Word places it
constexpr int kTwipsLimit = 31680;           // 22 inches, Word's largest page

// The text stored as UTF-16 from kTextStart on, with the formatting of its
// characters and paragraphs as runs over the stored bytes.
class TextBuilder {
public:
    TextBuilder(const Document& doc, FontTable& fonts) : doc_(doc), fonts_(fonts) {}

    void build();

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

    // writer_text.cpp
    void put(char16_t c);
    void store(char16_t c);
    void storeOutsideText(char16_t c);
    std::vector<std::uint8_t> runProperties(const Run& run);
    static std::uint8_t nearestIco(std::uint32_t colour);
    void addCharacters(std::uint32_t start, std::vector<std::uint8_t> properties);
    void addParagraph(std::uint32_t start, const Sprms& sprms);
    void paragraph(const Paragraph& p, bool inTable, char16_t mark);

    // writer_tables.cpp
    void table(const Table& t);
    static void appendTDefTable(Sprms& s, const records::TDefTable& def);

    const Document& doc_;
    FontTable& fonts_;
};

} // namespace docfile::writer
