#include "batch/csvtable.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace batch {

namespace {

// GBK through the C library's converter: Qt reads only the Unicode
// encodings without ICU.
QString fromGbk(const QByteArray& bytes)
{
    iconv_t converter = iconv_open("UTF-8", "GB18030");
    if (converter == iconv_t(-1))
        return QString::fromLatin1(bytes);
    QByteArray out(bytes.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* to = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &to, &outLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const auto used = to - out.data();
            out.resize(out.size() * 2);
            to = out.data() + used;
            outLeft = size_t(out.size() - used);
            continue;
        }
        // A byte that is not GBK either: shown as a replacement character,
        // so the row that holds it reads as wrong rather than vanishing.
        if (outLeft < 3) {
            const auto used = to - out.data();
            out.resize(out.size() * 2);
            to = out.data() + used;
            outLeft = size_t(out.size() - used);
        }
        memcpy(to, "\xEF\xBF\xBD", 3);
        to += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    out.resize(to - out.data());
    return QString::fromUtf8(out);
}

} // namespace

QString decodeCsv(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return fromGbk(bytes);
}

std::vector<CsvRecord> parseCsv(const QString& text)
{
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the field began with a quote
    int row = 1;
    auto endField = [&] {
        record.fields << field;
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool empty = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const QString& f) { return f.trimmed().isEmpty(); });
        if (!empty)
            records.push_back(std::move(record));
        record = CsvRecord{++row, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            field.clear(); // spaces before the opening quote are not the field's
            quoted = wasQuoted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.fields.isEmpty() || quoted)
        endRecord();
    return records;
}

} // namespace batch
