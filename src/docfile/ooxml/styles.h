// Formatting as WordprocessingML gives it: run and paragraph properties
// read from rPr and pPr elements as changes (what they set, nothing of
// what they leave), the style sheet's defaults and styles resolved through
// their bases, and the theme's fonts that runs may name by their role.
#pragma once

#include "docfile/ooxml/xmlreader.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace docfile::ooxml {

// A font as rFonts gives it for one kind of text: by name, or by its
// role in the theme ("minorEastAsia"), which wins over a name beside it.
struct FontChoice {
    std::string name;
    std::string theme;
};

struct RunProps {
    std::optional<FontChoice> ascii, hAnsi, eastAsia;
    std::optional<bool> eastAsiaHint;
    std::optional<bool> bold, italic, underline;
    bool otherUnderline = false;          // double, dotted...: read as single
    std::optional<std::uint32_t> colour;  // 0xRRGGBB or kAutomaticColour
    std::optional<int> halfPoints;
    std::optional<std::string> style;     // rStyle

    // Takes what `later` sets over what this sets.
    void then(const RunProps& later);
};

struct ParagraphProps {
    std::optional<int> alignment;           // the model's numbers
    std::optional<std::int32_t> firstLine;  // twips, negative hanging
    // The same in hundredths of a character, which Word writes beside it
    // for Chinese text and which wins where both are given.
    std::optional<std::int32_t> firstLineChars;
    std::optional<std::string> style;       // pStyle
    std::optional<bool> numbered;           // numId 0 takes a style's numbering away
    void then(const ParagraphProps& later);
};

// Reads the rPr or pPr element the reader stands on, up to its end; what
// the model cannot hold is reported where it is used, not here. A
// pPr's own rPr (the paragraph mark's look) goes to *mark when given, its
// sectPr (the end of a section) to `section`, which reads it to its end.
RunProps readRunProps(XmlReader& x);
ParagraphProps readParagraphProps(XmlReader& x, RunProps* mark, const std::function<void(XmlReader&)>& section = {});

// Lengths and numbers of the format, refused with a reason when they are
// no number or lie outside [low, high].
std::int64_t parseNumber(const std::string& text, std::int64_t low, std::int64_t high, const char* what);
// A length in twips: a number, or a number with a unit ("2.5cm", "1in").
std::int32_t parseTwips(const std::string& text, std::int32_t low, std::int32_t high, const char* what);
bool parseOnOff(const std::optional<std::string>& value);

// The theme's fonts: the major (headings) and minor (body) faces for
// Latin and East Asian text.
struct ThemeFonts {
    std::string majorLatin, majorEastAsian, minorLatin, minorEastAsian;
    // The face a role names ("minorHAnsi", "majorEastAsia", ...), or "".
    std::string face(const std::string& role) const;
};
// eastAsianScript: the theme's script tag for the East Asian language the
// settings name ("Hans" for Simplified Chinese), used where the theme
// gives no East Asian face of its own.
ThemeFonts readTheme(XmlReader& x, const std::string& eastAsianScript);

struct Style {
    std::string type;  // paragraph, character, table, numbering
    std::string basedOn;
    RunProps run;
    ParagraphProps paragraph;
    std::optional<std::int32_t> cellMargin;  // table styles: the left cell margin
};

class StyleSheet {
public:
    void read(XmlReader& x);

    // The run properties of text in a paragraph of that style (the
    // document's defaults, then the style and its bases); "" is the
    // default paragraph style.
    RunProps paragraphRun(const std::string& styleId) const;
    ParagraphProps paragraph(const std::string& styleId) const;
    // A character style's run properties through its bases.
    RunProps characterRun(const std::string& styleId) const;
    // A table style's left cell margin through its bases ("" the default table style).
    std::optional<std::int32_t> cellMargin(const std::string& styleId) const;

private:
    // The chain from the style up its bases, base first; a loop ends it.
    std::vector<const Style*> chain(const std::string& styleId, const std::string& type) const;

    RunProps defaultRun_;
    ParagraphProps defaultParagraph_;
    std::map<std::string, Style> styles_;
    std::map<std::string, std::string> defaults_;  // type -> default style id
    // Styles worked out once, when first used: a chain of bases is walked
    // once, not for every paragraph.
    mutable std::map<std::string, RunProps> paragraphRuns_, characterRuns_;
    mutable std::map<std::string, ParagraphProps> paragraphs_;
};

} // namespace docfile::ooxml
