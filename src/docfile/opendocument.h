// The document model written as an OpenDocument text (.odt), for those who
// keep their files in LibreOffice's own format. What the model holds is
// written so that LibreOffice lays it out as the .doc of the same model:
// the page, the fonts for Chinese and Latin text alike, and the tables cell
// for cell.
#pragma once

#include "docfile/document.h"

#include <cstdint>
#include <string>
#include <vector>

namespace docfile {

// Throws docfile::Error when the file cannot be written.
std::vector<unsigned char> writeOpenDocumentBytes(const Document& document);
void writeOpenDocumentFile(const Document& document, const std::string& path);

namespace odt {

// A table's rows as a grid of columns: the edges of every row's cells
// (edges closer than a few twips taken as one), and where each cell lies
// on it. Rows keep their own cell widths in the model, so a row merged into
// one cell spans every column, and cells merged down a column span rows.
struct GridCell {
    const Cell* cell = nullptr;
    int column = 0;       // first column
    int columns = 1;      // columns spanned
    int rows = 1;         // rows spanned (more than 1 starts a vertical merge)
    bool covered = false; // continues the vertical merge of a cell above
};

struct Grid {
    std::vector<std::int32_t> columnWidths;        // twips
    std::vector<std::vector<GridCell>> rows;       // per row, in column order
};

// `textWidth` is what a cell without a width takes a share of.
Grid tableGrid(const Table& table, std::int32_t textWidth);

} // namespace odt

} // namespace docfile
