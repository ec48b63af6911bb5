// The document model the program builds timetables in, and the calls that
// read it from a Word file (.doc or .docx) and write it as a Word 97-2003
// (.doc) file. formats.h has the other formats written (.docx, .odt) and
// tells formats apart.
//
// Units: every length is in twips (1/20 point, 1/1440 inch), as whole
// numbers, because that is what the file stores: a value survives a save and
// a load unchanged. Font sizes are in points; the file keeps half points, so
// a size is written rounded to the nearest half point.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace docfile {

// Page setup of the document's (only) section. The defaults are the ones a
// file without page setup records means (US Letter, Word's margins).
struct Section {
    std::int32_t pageWidth = 12240;
    std::int32_t pageHeight = 15840;
    std::int32_t marginTop = 1440;
    std::int32_t marginBottom = 1440;
    std::int32_t marginLeft = 1800;
    std::int32_t marginRight = 1800;
    std::int32_t headerDistance = 720;  // from the page's top edge to the header
    std::int32_t footerDistance = 720;  // from the page's bottom edge to the footer
    int verticalAlignment = 0;          // 0 top, 1 centre, 3 bottom (Word's numbers)
    bool operator==(const Section&) const = default;
};

// A text colour as 0xRRGGBB, or kAutomaticColour: no colour of its own,
// which readers show as black on white paper (and white on a dark
// background). Word's own value for "automatic" has the same number.
constexpr std::uint32_t kAutomaticColour = 0xFF000000;

// A stretch of text with one look. The text is UTF-8; "\t" is a tab and "\n"
// a line break inside the paragraph. An empty font name means the
// document's default font; the reader always names the font. Underlining
// is a single line; a file's other kinds (double, dotted, ...) read as it.
// A symbol font's character in a file (a degree sign or a tick from
// Symbol or Wingdings) is read as the Unicode character it shows where
// there is one, in the text's own font; otherwise it is U+F000 plus the
// font's code, in a run whose font is the symbol font, and written so again.
struct Run {
    std::string text;
    std::string font;
    double size = 10.5;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t colour = kAutomaticColour;  // 0xRRGGBB or kAutomaticColour
    bool operator==(const Run&) const = default;
};

struct Paragraph {
    int alignment = 0;                // 0 left, 1 centre, 2 right, 3 justified
    std::int32_t firstLineIndent = 0; // twips, negative for a hanging indent
    std::vector<Run> runs;
    // The look of an empty paragraph: the font, size, weight, slant,
    // underline and colour of its mark,
    // which set its height (an empty timetable cell is as tall as a full
    // one). Its text is unused. A paragraph with text has its mark look like
    // its last run, and keeps this at its default.
    Run mark;
    bool operator==(const Paragraph&) const = default;
};

// A cell always holds at least one paragraph in a file: the writer gives a
// cell without paragraphs an empty one.
//
// Cells merged down a column stay cells of their own rows: the top one
// starts the merge (verticalMerge 1) and holds the text, and the cell at
// the same place in each row below that belongs to it continues it
// (verticalMerge 2). Word lays the merged cells out as one and does not
// show what a continuing cell holds, which is normally one empty paragraph.
// A continuing cell without a cell above it to continue starts nothing, and
// a starting cell with no continuing cell below it is a cell of its own
// (files have both: Word keeps the marks of cells merged and split again).
struct Cell {
    std::vector<Paragraph> paragraphs;
    int verticalAlignment = 0; // 0 top, 1 centre, 2 bottom
    std::int32_t width = 0;    // twips: the whole cell, its margins included (see Table)
    int verticalMerge = 0;     // 0 none, 1 starts a merge downwards, 2 continues the one above
    bool operator==(const Cell&) const = default;
};

// Each row lists its own cells; a row whose cells were merged into one simply
// has one cell as wide as the table. A row written to a file has 1 to 20
// cells; a cell of width 0 is written with an equal share of the text width.
//
// A row is as tall as its content (heightRule 0, height unused and read as
// 0), at least `height` (heightRule 1) or exactly `height` (heightRule 2),
// cutting off what does not fit. The height is in twips, 1 to 31680.
struct Row {
    std::vector<Cell> cells;
    int heightRule = 0;       // 0 automatic, 1 at least, 2 exactly
    std::int32_t height = 0;  // twips
    bool operator==(const Row&) const = default;
};

// The space between a cell's sides and its text, left and right, in
// twips: a cell's width includes it, so a cell of width w leaves w - 2 *
// cellMargin for text. New tables get 28 twips (0.05 cm), as little as the
// program's own window leaves; Word's default is 108 (0.19 cm). Reading a
// file gives the margin of the table's first row (0 where a row sets none).
constexpr std::int32_t kDefaultCellMargin = 28;

struct Table {
    std::vector<Row> rows;
    std::int32_t cellMargin = kDefaultCellMargin;
    bool operator==(const Table&) const = default;
};

using Block = std::variant<Paragraph, Table>;

// A document whose last block is a table gets the empty paragraph Word
// requires after it when written; reading drops such a paragraph again. A
// document without blocks is written with one empty paragraph.
struct Document {
    Section section;
    std::vector<Block> blocks;
    bool operator==(const Document&) const = default;
};

// What a read had to leave out because the model cannot hold it, as short
// descriptions in Chinese ("图片或图形", "页眉或页脚", ...), each named once.
// The file formats of the model (see formats.h).
enum class Format { Word97, OfficeOpenXml, OpenDocument };

struct ReadReport {
    std::vector<std::string> dropped;
    Format format = Format::Word97; // what the file read was
    bool lossy() const { return !dropped.empty(); }
};

// A refusal: what() is one reason in Simplified Chinese, fit to show the user.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a Word 97-2003 (.doc) or a Word 2007 and later (.docx) document,
// whichever the content is, whatever the file's name.
Document readFile(const std::string& path, ReadReport* report = nullptr);
Document readBytes(const std::vector<unsigned char>& bytes, ReadReport* report = nullptr);
Document readBytes(const unsigned char* data, std::size_t size, ReadReport* report = nullptr);

// Writes a Word 97-2003 (.doc) file; writeFile writes it beside the old
// file and renames it into place, so that a failed write keeps the old one.
// Writing refuses (with an Error) a model the file format cannot hold:
// more than 32,752 distinct font names, text of more than about 530
// million characters, rows without cells or with more than 20, lengths
// beyond Word's 22 inches, sizes, alignments, margins, colours, row
// heights or merge settings out of range.
void writeFile(const Document& document, const std::string& path);
std::vector<unsigned char> writeBytes(const Document& document);

} // namespace docfile
