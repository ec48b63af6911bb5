#pragma once
// A fake word processor that records every call made on it, as text, so
// tests can check the exact sequence of operations and values. It can be
// told to fail at the n-th call.

#include "printers.h"
#include "automation/word.h"

#include <QStringList>

namespace testsupport {

struct RecordingLog {
    QStringList calls;
    int failAt = -1;       // 0-based index of the call that fails, -1 never
    bool running = true;
    int quits = 0;
    int rowsCount = 0, columnsCount = 0; // what Rows.Count / Columns.Count answer
    std::function<int(int)> cellsInRow;  // what Rows(n).cells.Count answers

    void record(const QString& call);
};

// An application object recording into `log`.
std::shared_ptr<word::Application> makeRecordingApplication(std::shared_ptr<RecordingLog> log);

} // namespace testsupport
