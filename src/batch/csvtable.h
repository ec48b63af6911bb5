#pragma once
// Reading the table an academic office keeps in a spreadsheet, saved as
// CSV: the text (UTF-8 with or without a byte-order mark, or GBK as Chinese
// spreadsheets save it), then its records as spreadsheets write them
// (fields in double quotes may hold commas, line breaks and doubled quotes).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace batch {

// The file's text: valid UTF-8 is read as UTF-8 (a byte-order mark
// dropped), anything else as GBK (read as GB 18030, which contains it).
QString decodeCsv(const QByteArray& bytes);

struct CsvRecord {
    int row = 0; // the spreadsheet's row number, from 1 (the header)
    QStringList fields;
};

// The records in order. A line break inside quotes belongs to the field; a
// record of nothing but empty fields is left out (its number is not reused).
std::vector<CsvRecord> parseCsv(const QString& text);

} // namespace batch
