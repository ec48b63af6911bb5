// The main document part read into the model, shared by the files that
// read it: reader.cpp reads the package, the styles and the theme and
// walks the body's paragraphs and runs, reader_tables.cpp its tables.
#pragma once

#include "docfile/document.h"
#include "docfile/ooxml/package.h"
#include "docfile/ooxml/styles.h"
#include "docfile/ooxml/xmlreader.h"
#include "docfile/report.h"

#include <map>
#include <string>
#include <vector>

namespace docfile::ooxml {

class BodyReader {
public:
    BodyReader(XmlReader& x, const StyleSheet& styles, const ThemeFonts& theme, Package& package, Reporter& report);

    Document read();

private:
    // Where block content goes: the document's blocks, or a table cell
    // (whose tables inside it are flattened to their paragraphs).
    struct Blocks {
        std::vector<Block>* blocks = nullptr;
        Cell* cell = nullptr;
    };
    // Characters gathered into runs of one look.
    struct Runs {
        std::vector<Run>* runs;
        std::u16string pending;
        void add(char16_t c, const Run& look);
        void flush();
    };
    // What a paragraph's runs take their look from.
    struct ParagraphContext {
        RunProps base;  // the paragraph style's run properties
        Runs runs;
    };

    // reader.cpp
    void blocks(Blocks into);
    void blockElement(Blocks into);
    void containerContent(Blocks into);
    Paragraph paragraph();
    void inlineContent(ParagraphContext& p);
    void run(ParagraphContext& p);
    void text(const std::string& utf8, const RunProps& props, ParagraphContext& p);
    void field(const std::string& type);
    void section(XmlReader& x);
    void checkHeaderOrFooter(const std::string& id);
    std::string fontName(const std::optional<FontChoice>& choice, bool eastAsian) const;
    Run look(const RunProps& props, int slot) const;
    bool fallbackOnly();

    // reader_tables.cpp
    Table table();

    XmlReader& x_;
    const StyleSheet& styles_;
    const ThemeFonts& theme_;
    Package& package_;
    Reporter& report_;
    Document doc_;
    int sections_ = 0;
    std::vector<bool> fields_;  // open fields: whether each shows its result yet
    std::size_t hiddenFields_ = 0;
    std::map<std::string, std::string> relationships_;  // id -> part, of the main part
};

} // namespace docfile::ooxml
