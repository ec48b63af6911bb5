#pragma once
// Recovery copies of an office's unsaved work, kept as the built-in word
// processor keeps them (platform/recovery.h): a Word 97-2003 copy of each
// document with unsaved changes, written by the office itself as a copy
// (its own file and modified state stay as they are), at most every
// recoveryInterval() after the program changed it, at once when asked
// (course entry has closed), and, for what the user changes in Writer
// itself, whenever a look every interval (at least a second) finds it
// changed. Writer could tell of every change as it is made, but a call
// back to the program for each one made its work several times slower.
// Copies are removed when the document is saved or closed, or the
// instance quits. When the office is lost, the copies become files of
// their own.

#include "automation/libreoffice/enginestate.h"

#include <QObject>
#include <QTimer>

#include <map>

namespace word::libreoffice {

class OfficeRecovery : public QObject {
public:
    explicit OfficeRecovery(EngineState& state);
    // Removes the copies left: the instance ended as it should.
    ~OfficeRecovery() override;

    // Keeps copies of a document of the instance from now on.
    void watch(const DocPtr& document);
    // The program changed a document (on the thread of the windows): the
    // clock starts.
    void changed();
    // Writes the copies of every changed document now, and removes those of
    // documents that have no unsaved changes any more.
    void writeNow();
    // The office is gone: its copies become files of their own, beside the
    // documents' files or in the documents folder. Returns, for each, the
    // file (as shown to the user) or why it could not be made.
    QStringList keepApart();

private:
    struct Watched {
        std::weak_ptr<DocumentData> document;
        QString file;
        bool written = false;
    };
    void writeWhenIdle();

    EngineState& m_state;
    QTimer m_timer;
    QTimer m_look; // for the user's own changes in Writer
    std::map<const DocumentData*, Watched> m_watched;
};

} // namespace word::libreoffice
