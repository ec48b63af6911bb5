#pragma once
// Makes the text of the PDF files Qt writes searchable as typed.
//
// A PDF keeps, beside the glyphs it draws, a map from each glyph back to the
// characters it stands for. Qt builds that map by asking the font which
// character gives each glyph, and takes the lowest. CJK fonts draw an
// ideograph and the Kangxi radical of the same shape (一 U+4E00 and ⼀
// U+2F00, 二 and ⼆, 八 and ⼋, ...) with one glyph, so the map names the
// radical: a search for 星期一 in the PDF finds nothing, and copied text
// holds radicals. mendTextMaps puts the ideographs in their place.

#include <QByteArray>
#include <QString>

namespace platform {

// The same PDF with its glyph-to-text maps naming ideographs instead of
// radicals, added as an incremental update (the original bytes stay as they
// are); the input itself when it needs no change or is not a PDF as Qt
// writes them.
QByteArray mendTextMaps(const QByteArray& pdf);

// mendTextMaps on a file in place. Returns false, leaving the file as it
// was, when it cannot be read or written.
bool mendTextMapsInFile(const QString& path);

} // namespace platform
