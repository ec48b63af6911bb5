// The subject file as text: its bytes decoded (UTF-8, otherwise GB18030)
// and the text cut into items.
#include "subjects/subjectfile.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace subjects {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool endsItem(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

QString trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from).toString();
}

// Length of the line break at position p (CR LF counts as one), 0 if none.
qsizetype lineBreakAt(const QString& text, qsizetype p)
{
    if (p >= text.size())
        return 0;
    if (text[p] == u'\r')
        return (p + 1 < text.size() && text[p + 1] == u'\n') ? 2 : 1;
    return text[p] == u'\n' ? 1 : 0;
}

} // namespace

QString decodeText(const QByteArray& bytes)
{
    // Stateless, so that a sequence cut off at the end of the file counts as
    // an error instead of being held back for more input.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;

    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid())
        return gb18030.decode(bytes);
    return detail::gb18030ViaIconv(bytes);
}

QString detail::gb18030ViaIconv(const QByteArray& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);

    QByteArray out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four bytes out per byte in is always enough
        // A byte that starts no valid character (or a character cut off at the
        // end): put a replacement character and go on with the next byte.
        static const char kReplacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3)
            break;
        memcpy(outPtr, kReplacement, 3);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(outPtr - out.data());
    return QString::fromUtf8(out);
}

QStringList readItems(const QString& text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype p = 0;
    if (n == 0)
        return items;

    for (;;) {
        qsizetype q = p;
        while (q < n && isBlank(text[q]))
            ++q;

        if (q < n && text[q] == u'"') {
            const qsizetype close = text.indexOf(u'"', q + 1);
            if (close < 0) {
                // An unclosed quote runs to the end of the file; the file's
                // last line break is not part of it.
                qsizetype end = n;
                if (end > q + 1 && text[end - 1] == u'\n')
                    --end;
                if (end > q + 1 && text[end - 1] == u'\r')
                    --end;
                items.append(text.mid(q + 1, end - q - 1));
                break;
            }
            items.append(text.mid(q + 1, close - q - 1));
            // Whatever stands between the closing quote and the end of the
            // item is dropped.
            p = close + 1;
            while (p < n && !endsItem(text[p]))
                ++p;
        } else {
            qsizetype end = p;
            while (end < n && !endsItem(text[end]))
                ++end;
            items.append(trimBlanks(QStringView(text).mid(p, end - p)));
            p = end;
        }

        if (p >= n)
            break;
        if (text[p] == u',') {
            // A comma always has an item after it, if only an empty one.
            ++p;
            continue;
        }
        p += lineBreakAt(text, p);
        // Nothing left but this item's line break: the end of the file.
        if (p >= n)
            break;
    }
    return items;
}

} // namespace subjects
