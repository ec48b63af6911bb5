// The on-disk records of a Word 97-2003 document, as plain structs, and the
// numbers (property codes, marks) both the reader and the writer use. The
// reader fills these from bytes and the writer turns them into bytes; each
// half has its own code for that.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace docfile::records {

// Where things sit in the WordDocument stream's header (the FIB).
constexpr std::uint16_t kWordIdent = 0xA5EC;   // Word 97 and later
constexpr std::uint16_t kWord6Ident = 0xA5DC;  // Word 6
constexpr std::uint16_t kNFibWord97 = 0x00C1;
constexpr std::uint16_t kNFibBack = 0x00BF;
constexpr std::size_t kFibBaseSize = 32;
constexpr std::uint16_t kRgWCount = 14;        // 16-bit words after the base
constexpr std::uint16_t kRgLwCount = 22;       // 32-bit words after those
constexpr std::uint16_t kFcLcbCount97 = 0x5D;  // offset/length pairs in a Word 97 FIB

// FibBase flag bits.
constexpr std::uint16_t kFlagComplex = 0x0004;     // fast-saved
constexpr std::uint16_t kFlagEncrypted = 0x0100;
constexpr std::uint16_t kFlagTable1 = 0x0200;      // the table stream is "1Table"
constexpr std::uint16_t kFlagExtChar = 0x1000;
constexpr std::uint16_t kFlagObfuscated = 0x8000;

// Indices into the 32-bit words of the FIB.
enum RgLw : int { LwCbMac = 0, LwCcpText = 3, LwCcpFtn = 4, LwCcpHdd = 5, LwCcpAtn = 7, LwCcpEdn = 8, LwCcpTxbx = 9, LwCcpHdrTxbx = 10 };

// Indices of the offset/length pairs in the FIB that this program uses.
enum FcLcb : int {
    StshfOrig = 0, Stshf = 1, PlcfSed = 6, PlcfBteChpx = 12, PlcfBtePapx = 13,
    SttbfFfn = 15, Dop = 31, Clx = 33,
};

constexpr std::uint32_t kDopSize97 = 500;
constexpr std::size_t kPageSize = 512;  // formatting pages (FKPs) are this big

// Characters with a meaning in the document text.
constexpr char16_t kCellMark = 0x07;
constexpr char16_t kParagraphMark = 0x0D;
constexpr char16_t kLineBreak = 0x0B;
constexpr char16_t kPageBreak = 0x0C;
constexpr char16_t kFieldBegin = 0x13;
constexpr char16_t kFieldSeparator = 0x14;
constexpr char16_t kFieldEnd = 0x15;

// Property modifiers ("sprms"): a 16-bit code whose top three bits give
// the operand's size.
namespace sprm {
constexpr std::uint16_t PJc80 = 0x2403;
constexpr std::uint16_t PJc = 0x2461;
constexpr std::uint16_t PDxaLeft180 = 0x8411;
constexpr std::uint16_t PDxaLeft1 = 0x8460;
constexpr std::uint16_t PFInTable = 0x2416;
constexpr std::uint16_t PFTtp = 0x2417;
constexpr std::uint16_t PIlfo = 0x460B;
constexpr std::uint16_t PHugePapx = 0x6646;
constexpr std::uint16_t PItap = 0x6649;
constexpr std::uint16_t PDtap = 0x664A;
constexpr std::uint16_t PFInnerTtp = 0x244C;
constexpr std::uint16_t PChgTabs = 0xC615;

constexpr std::uint16_t CIstd = 0x4A30;
constexpr std::uint16_t CFBold = 0x0835;
constexpr std::uint16_t CFItalic = 0x0836;
constexpr std::uint16_t CKul = 0x2A3E;
constexpr std::uint16_t CIco = 0x2A42;
constexpr std::uint16_t CCv = 0x6870;
constexpr std::uint16_t CHps = 0x4A43;
constexpr std::uint16_t CRgFtc0 = 0x4A4F;  // font for Latin text
constexpr std::uint16_t CRgFtc1 = 0x4A50;  // font for East Asian text
constexpr std::uint16_t CRgFtc2 = 0x4A51;  // font for other text
constexpr std::uint16_t CRgLid0 = 0x486D;
constexpr std::uint16_t CRgLid1 = 0x486E;
constexpr std::uint16_t CSymbol = 0x6A09;  // a symbol font's character: font number, then code

constexpr std::uint16_t SXaPage = 0xB01F;
constexpr std::uint16_t SYaPage = 0xB020;
constexpr std::uint16_t SDxaLeft = 0xB021;
constexpr std::uint16_t SDxaRight = 0xB022;
constexpr std::uint16_t SDyaTop = 0x9023;
constexpr std::uint16_t SDyaBottom = 0x9024;
constexpr std::uint16_t SDyaHdrTop = 0xB017;
constexpr std::uint16_t SDyaHdrBottom = 0xB018;
constexpr std::uint16_t SVjc = 0x301A;
constexpr std::uint16_t SBOrientation = 0x301D;

constexpr std::uint16_t TDefTable = 0xD608;
constexpr std::uint16_t TDyaRowHeight = 0x9407;  // > 0 at least, < 0 exactly, 0 automatic
constexpr std::uint16_t TVertMerge = 0xD62B;     // size byte, cell, VerticalMergeFlag
constexpr std::uint16_t TDxaGapHalf = 0x9602;
constexpr std::uint16_t TVertAlign = 0xD62C;
constexpr std::uint16_t TCellPaddingDefault = 0xD634;  // cell margins of the whole row
} // namespace sprm

// The colours of sprmCIco, 0xRRGGBB, by number; 0 is automatic.
constexpr std::array<std::uint32_t, 17> kIcoColours = {
    0, 0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
    0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0,
};

// A cell's vertical merge, as sprmTVertMerge gives it and as the bits
// fVertMerge and fVertRestart of its Tc80 flags do.
constexpr std::uint8_t kVertMergeContinue = 0x01, kVertMergeRestart = 0x03;
constexpr std::uint16_t kTcVertMerge = 0x0020, kTcVertRestart = 0x0040;

// One piece of the document text: where its characters are stored.
struct Piece {
    std::uint32_t cpStart = 0, cpEnd = 0;
    std::uint32_t fc = 0;          // byte offset of the first character
    bool compressed = false;       // one byte a character (cp1252) instead of UTF-16
    std::uint16_t prm = 0;         // formatting applied to the whole piece
};

// Section descriptor: where the section's properties are stored.
struct Sed {
    std::uint32_t fcSepx = 0xFFFFFFFF;  // none: the defaults
};

// A font table entry.
struct Ffn {
    std::u16string name, altName;
    std::uint8_t pitchAndFamily = 0;  // prq, fTrueType and ff bits
    std::uint16_t weight = 400;
    std::uint8_t charset = 0;
    std::array<std::uint32_t, 6> signature{};  // FONTSIGNATURE: 4 Unicode range words, 2 code page words
};

// The style sheet's header.
struct Stshi {
    std::uint16_t cstd = 0;
    std::uint16_t cbStdBase = 10;
    std::uint16_t stiMaxWhenSaved = 0x5B;
    std::uint16_t istdMaxFixedWhenSaved = 0x0F;
    std::uint16_t nVerBuiltInNames = 0;
    std::array<std::uint16_t, 3> defaultFonts{};  // ascii, East Asian, other
};

// A style: its kind, base and the property modifiers it carries.
struct Std {
    std::uint16_t sti = 0;        // built-in style number (0 Normal)
    std::uint8_t stk = 1;         // 1 paragraph, 2 character, 3 table, 4 list
    std::uint16_t istdBase = 0x0FFF;
    std::uint16_t istdNext = 0;
    std::u16string name;
    std::vector<std::uint8_t> paragraphSprms;  // paragraph styles only
    std::vector<std::uint8_t> characterSprms;
};

// A table cell's entry in a row definition.
struct Tc80 {
    std::uint16_t flags = 0;  // merge bits, text flow, vertical alignment (bits 7-8)
    std::uint16_t width = 0;  // unused by Word: the row's cell edges give widths
    std::array<std::uint32_t, 4> borders{};  // top, left, bottom, right
};

// The row definition a table row's end mark carries.
struct TDefTable {
    std::vector<std::int16_t> cellEdges;  // one more than there are cells
    std::vector<Tc80> cells;              // may be shorter than the edges say
};

} // namespace docfile::records
