// The reader's working parts for one document, shared by the files that
// read it: reader.cpp opens the streams and reads the page setup,
// reader_text.cpp turns the text into paragraphs, reader_characters.cpp
// the characters of a paragraph into runs, and reader_tables.cpp gathers
// table paragraphs into rows.
#pragma once

#include "docfile/bytes.h"
#include "docfile/document.h"
#include "docfile/report.h"
#include "docfile/word97/reader_properties.h"
#include "docfile/word97/reader_records.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace docfile::reader {

using docfile::Reporter;

// A paragraph read from the text, with what places it in a table.
struct ReadParagraph {
    Paragraph paragraph;
    Pap pap;
    char16_t mark = records::kParagraphMark;
};

// Puts read paragraphs into blocks, gathering table paragraphs into rows.
class BlockBuilder {
public:
    BlockBuilder(std::vector<Block>& blocks, Reporter& report) : blocks_(blocks), report_(report) {}

    void add(ReadParagraph&& p);
    void finish();

private:
    void endCell();
    void endRow(const Pap* pap);
    static int verticalMergeOf(std::uint8_t flag);
    void shapeRow(const Pap& pap);
    void closeTable();

    std::vector<Block>& blocks_;
    Reporter& report_;
    std::optional<Table> table_;
    Row row_;
    Cell cell_;
    bool cellOpen_ = false;
    bool marginKnown_ = false;
};

// Reads the document from its three streams and the header already parsed.
class DocumentReader {
public:
    DocumentReader(View wd, View table, View data, const Fib& fib);

    Document read(Reporter& report);

private:
    // Characters gathered into runs of one look, converted to UTF-8 at the end.
    struct RunBuilder {
        std::vector<Run>& runs;
        std::u16string pending;
        void flush();
        // The last run's text stays empty until it is flushed, so its look
        // compares with `look` as a whole.
        void add(char16_t c, Run&& look);
        void finish() { flush(); }
    };

    // reader.cpp: the table stream's structures, the page setup, the stories.
    View part(records::FcLcb which, const char* what) const;
    void readSection(Section& section);
    void checkStories();

    // reader_text.cpp: the text and its paragraphs.
    std::uint32_t fcOf(const records::Piece& p, std::uint32_t cp) const;
    std::u16string decode(std::uint32_t from, std::uint32_t to);
    bool endsSection(std::uint32_t cp) const;
    bool endsParagraph(std::uint32_t cp) const;
    void readBlocks(std::vector<Block>& blocks);
    ReadParagraph readParagraph(std::uint32_t start, std::uint32_t end, std::uint32_t markCp);
    const View* prcOf(const records::Piece& p) const;

    // reader_characters.cpp: the characters of a paragraph and their look.
    Chp characterAt(std::uint32_t cp, const Chp& styleChp, std::uint32_t* runEnd);
    Run lookOf(const Chp& chp, std::uint16_t ftc, bool eastAsian) const;
    void addCharacter(char16_t c, const Chp& chp, RunBuilder& runs);
    const std::string& fontName(std::uint16_t ftc, bool eastAsian) const;

    View wd_, table_, data_;
    const Fib& fib_;
    Budget budget_;
    Reporter* report_ = nullptr;
    PieceTable pieces_;
    std::vector<records::Ffn> fonts_;
    std::vector<std::string> fontNames_;
    StyleSheet sheet_;
    std::optional<Styles> styles_;
    FkpIndex chpx_, papx_;
    std::vector<ChpDelta> prcCharacters_;
    std::vector<std::uint32_t> sectionStarts_;
    std::u16string text_;
    std::uint64_t decodedBytes_ = 0;
    std::vector<bool> fields_;  // open fields: whether each shows its result yet
    std::size_t hiddenFields_ = 0;
};

} // namespace docfile::reader
