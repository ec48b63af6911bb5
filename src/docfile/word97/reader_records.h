// The reader's half of the records: each on-disk structure parsed from a
// bounds-checked view into the plain structs of records.h.
#pragma once

#include "docfile/bytes.h"
#include "docfile/word97/records.h"

#include <optional>
#include <utility>
#include <vector>

namespace docfile::reader {

struct Fib {
    std::uint16_t nFib = 0;
    std::uint16_t flags = 0;
    std::array<std::int32_t, records::kRgLwCount> lw{};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> fcLcb;  // the pairs up to the piece table

    std::pair<std::uint32_t, std::uint32_t> at(records::FcLcb index) const
    {
        return static_cast<std::size_t>(index) < fcLcb.size() ? fcLcb[index] : std::pair<std::uint32_t, std::uint32_t>{0, 0};
    }
    const char* tableStreamName() const { return flags & records::kFlagTable1 ? "1Table" : "0Table"; }
};
// Refuses older Word versions and encrypted documents.
Fib parseFib(View wordDocument);

struct PieceTable {
    std::vector<records::Piece> pieces;  // in text order, none empty
    std::vector<View> prcs;               // formatting that pieces refer to by number
    // The piece holding character position cp, or pieces.size().
    std::size_t find(std::uint32_t cp) const;
    std::uint32_t end() const { return pieces.empty() ? 0 : pieces.back().cpEnd; }
};
PieceTable parsePieceTable(View clx);

std::vector<records::Ffn> parseFonts(View sttbfFfn);

struct StyleSheet {
    records::Stshi stshi;
    std::vector<records::Std> styles;  // the slots that hold a style
    std::vector<std::int32_t> slots;   // by istd: where in `styles`, or -1 for an empty slot
    std::size_t unreadable = 0;        // styles left out because they could not be read

    const records::Std* find(std::uint16_t istd) const
    {
        return istd < slots.size() && slots[istd] >= 0 ? &styles[static_cast<std::size_t>(slots[istd])] : nullptr;
    }
};
// Styles that cannot be read are left out and counted; the rest stand.
StyleSheet parseStyles(View stsh);

struct Sections {
    std::vector<std::uint32_t> cps;  // one more than there are sections
    std::vector<records::Sed> seds;
};
Sections parseSections(View plcfSed);

// The formatting pages (FKPs) of one kind, found through their bin table.
class FkpIndex {
public:
    enum class Kind { Character, Paragraph };
    FkpIndex() = default;
    FkpIndex(View binTable, View wordDocument, Kind kind);

    struct Hit {
        View grpprl;              // empty: no formatting recorded
        std::uint16_t istd = 0;   // paragraphs only
        std::uint32_t fcEnd = 0;  // where the formatting found stops applying
    };
    // The formatting of the byte at fc of the WordDocument stream.
    Hit find(std::uint32_t fc) const;

private:
    View bins_, wordDocument_;
    std::size_t count_ = 0;
    Kind kind_ = Kind::Character;
};

// Calls f(opcode, operand) for each property modifier in a grpprl. The
// operand view includes its own length bytes where it has them. A modifier
// that would run past the end ends the list.
template <typename F> void forEachSprm(View grpprl, F&& f)
{
    std::size_t pos = 0;
    while (pos + 2 <= grpprl.size()) {
        const std::uint16_t op = grpprl.u16(pos);
        pos += 2;
        std::uint64_t length = 0;
        switch (op >> 13) {
        case 0: case 1: length = 1; break;
        case 2: case 4: case 5: length = 2; break;
        case 3: length = 4; break;
        case 7: length = 3; break;
        default:
            if (!grpprl.has(pos, 1)) return;
            if (op == records::sprm::TDefTable || op == 0xD606) {
                if (!grpprl.has(pos, 2)) return;
                length = grpprl.u16(pos) + 1ull;
            } else if (op == records::sprm::PChgTabs && grpprl.u8(pos) == 255) {
                if (!grpprl.has(pos + 1, 1)) return;
                const std::uint64_t deleted = grpprl.u8(pos + 1);
                const std::uint64_t addAt = pos + 2 + deleted * 4;
                if (!grpprl.has(addAt, 1)) return;
                length = 2 + deleted * 4 + 1 + grpprl.u8(addAt) * 3ull;
            } else {
                length = 1ull + grpprl.u8(pos);
            }
        }
        if (!grpprl.has(pos, length)) return;
        f(op, grpprl.sub(pos, length, "格式修饰"));
        pos += static_cast<std::size_t>(length);
    }
}

// A row definition from its operand (including the two length bytes).
records::TDefTable parseTDefTable(View operand);

} // namespace docfile::reader
