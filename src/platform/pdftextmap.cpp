#include "platform/pdftextmap.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <map>

namespace platform {

namespace {

// A radical (CJK Radicals Supplement, Kangxi Radicals) becomes the
// ideograph it is a compatibility form of, where it has one; a tab, whose
// glyph is the space's, becomes the space.
QString ideographsFor(const QString& text)
{
    QString out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == 0x09) {
            out += u' ';
        } else if (u >= 0x2E80 && u <= 0x2FDF) {
            const QString unified = QString(c).normalized(QString::NormalizationForm_KC);
            out += unified;
        } else {
            out += c;
        }
    }
    return out;
}

QString fromHex(const QByteArray& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    QString text;
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(ushort((uchar(bytes[i]) << 8) | uchar(bytes[i + 1])));
    return text;
}

QByteArray toHex(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes += char(c.unicode() >> 8);
        bytes += char(c.unicode() & 0xFF);
    }
    return bytes.toHex().toUpper();
}

using TextMap = std::map<uint, QString>; // glyph code -> text

// Reads the bfchar and bfrange entries of a ToUnicode CMap.
bool readMap(const QByteArray& cmap, TextMap& map)
{
    static const QRegularExpression section(QStringLiteral("begin(bfchar|bfrange)(.*?)end\\1"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression charEntry(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]*)>"));
    static const QRegularExpression rangeEntry(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(?:<([0-9A-Fa-f]*)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression hexString(QStringLiteral("<([0-9A-Fa-f]*)>"));
    const QString text = QString::fromLatin1(cmap);
    bool any = false;
    for (auto s = section.globalMatch(text); s.hasNext();) {
        const auto match = s.next();
        const QString body = match.captured(2);
        if (match.captured(1) == QLatin1String("bfchar")) {
            for (auto e = charEntry.globalMatch(body); e.hasNext();) {
                const auto entry = e.next();
                map[entry.captured(1).toUInt(nullptr, 16)] = fromHex(entry.captured(2).toLatin1());
                any = true;
            }
            continue;
        }
        for (auto e = rangeEntry.globalMatch(body); e.hasNext();) {
            const auto entry = e.next();
            const uint low = entry.captured(1).toUInt(nullptr, 16);
            const uint high = entry.captured(2).toUInt(nullptr, 16);
            if (high < low || high - low > 0xFFFF)
                return false;
            if (!entry.captured(4).isNull()) {
                uint code = low;
                for (auto h = hexString.globalMatch(entry.captured(4)); h.hasNext() && code <= high; ++code)
                    map[code] = fromHex(h.next().captured(1).toLatin1());
            } else {
                // Consecutive codes: the last character counts up.
                QString start = fromHex(entry.captured(3).toLatin1());
                for (uint code = low; code <= high && !start.isEmpty(); ++code) {
                    QString value = start;
                    value[value.size() - 1] = QChar(ushort(start.back().unicode() + (code - low)));
                    map[code] = value;
                }
            }
            any = true;
        }
    }
    return any;
}

QByteArray writeMap(const TextMap& map)
{
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    auto it = map.begin();
    while (it != map.end()) {
        QByteArray block;
        int count = 0;
        for (; it != map.end() && count < 100; ++it, ++count)
            block += "<" + QByteArray::number(it->first, 16).toUpper().rightJustified(4, '0') + "> <"
                     + toHex(it->second) + ">\n";
        out += QByteArray::number(count) + " beginbfchar\n" + block + "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

} // namespace

QByteArray mendTextMaps(const QByteArray& pdf)
{
    if (!pdf.startsWith("%PDF-"))
        return pdf;
    // Qt writes each map as an uncompressed stream of its own.
    static const QRegularExpression object(
        QStringLiteral("(?<![0-9])([0-9]+) ([0-9]+) obj\\s*<<\\s*/Length ([0-9]+)\\s*>>\\s*stream\\r?\\n"));
    const QString latin = QString::fromLatin1(pdf);
    // Only the last version of an object counts (a file mended before has
    // two of each map).
    std::map<int, QRegularExpressionMatch> latest;
    for (auto it = object.globalMatch(latin); it.hasNext();) {
        const auto match = it.next();
        latest[match.captured(1).toInt()] = match;
    }
    QByteArray update;
    QList<QPair<int, qsizetype>> replaced; // object number, offset of the new version
    for (const auto& [number, match] : latest) {
        const qsizetype start = match.capturedEnd(0);
        const qsizetype length = match.captured(3).toLongLong();
        if (start + length > pdf.size())
            continue;
        const QByteArray stream = pdf.mid(start, length);
        if (!stream.contains("begincmap"))
            continue;
        TextMap map;
        if (!readMap(stream, map))
            continue;
        bool changed = false;
        for (auto& [code, text] : map) {
            const QString mended = ideographsFor(text);
            if (mended != text) {
                text = mended;
                changed = true;
            }
        }
        if (!changed)
            continue;
        const QByteArray body = writeMap(map);
        replaced.append({number, pdf.size() + update.size()});
        update += match.captured(1).toLatin1() + " " + match.captured(2).toLatin1() + " obj\n<< /Length "
                  + QByteArray::number(body.size()) + " >>\nstream\n" + body + "endstream\nendobj\n";
    }
    if (replaced.isEmpty())
        return pdf;

    // The incremental update: a cross-reference section for the replaced
    // objects and a trailer that leads back to the original one.
    static const QRegularExpression trailer(QStringLiteral("trailer\\s*<<(.*?)>>\\s*startxref\\s*([0-9]+)"),
                                            QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch last;
    for (auto it = trailer.globalMatch(latin); it.hasNext();)
        last = it.next();
    if (!last.hasMatch())
        return pdf;
    static const QRegularExpression size(QStringLiteral("/Size\\s+([0-9]+)"));
    static const QRegularExpression root(QStringLiteral("/Root\\s+[0-9]+\\s+[0-9]+\\s+R"));
    static const QRegularExpression info(QStringLiteral("/Info\\s+[0-9]+\\s+[0-9]+\\s+R"));
    const QString dictionary = last.captured(1);
    const auto sizeMatch = size.match(dictionary);
    const auto rootMatch = root.match(dictionary);
    if (!sizeMatch.hasMatch() || !rootMatch.hasMatch())
        return pdf;

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qsizetype shift = out.size() - pdf.size();
    out += update;
    const qsizetype xref = out.size();
    out += "xref\n0 1\n0000000000 65535 f \n";
    for (const auto& [number, offset] : replaced)
        out += QByteArray::number(number) + " 1\n" + QByteArray::number(offset + shift).rightJustified(10, '0')
               + " 00000 n \n";
    out += "trailer\n<< /Size " + sizeMatch.captured(1).toLatin1() + " " + rootMatch.captured(0).toLatin1();
    const auto infoMatch = info.match(dictionary);
    if (infoMatch.hasMatch())
        out += " " + infoMatch.captured(0).toLatin1();
    out += " /Prev " + last.captured(2).toLatin1() + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

bool mendTextMapsInFile(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray original = in.readAll();
    in.close();
    const QByteArray mended = mendTextMaps(original);
    if (mended == original)
        return true;
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(mended) == mended.size() && out.commit();
}

} // namespace platform
