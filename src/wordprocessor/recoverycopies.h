#pragma once
// Keeps a recovery copy of each document of an instance while it has
// unsaved changes, in the store of platform/recovery.h: written by the .doc
// writer at most every recoveryInterval() after a change; removed when the
// document is saved, closed or the instance quits. Copies left by a crash
// are offered at the next start.

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

namespace wordprocessor {

struct DocumentData;

class RecoveryCopies : public QObject {
    Q_OBJECT
public:
    RecoveryCopies();
    // Removes every copy of the instance: it ended as it should.
    ~RecoveryCopies() override;

    // Starts watching a document of the instance.
    void watch(const std::shared_ptr<DocumentData>& document);
    // Writes the copies of every changed document now.
    void writeNow();

private:
    struct Watched {
        std::weak_ptr<DocumentData> document;
        QString file;
    };
    void changed();

    QTimer m_timer;
    std::map<const DocumentData*, Watched> m_watched;
};

} // namespace wordprocessor
