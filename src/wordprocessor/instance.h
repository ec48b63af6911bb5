#pragma once
// One instance of the built-in word processor, as one process of an
// external word processor would be: its documents, the active one, its
// window while it is shown, and the recovery copies of unsaved work. An
// instance ends when it quits or its window is closed, and tells its owner
// once.

#include "wordprocessor/document.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

namespace wordprocessor {

class DocumentWindow;
class RecoveryCopies;

// What becomes of unsaved changes when an instance ends.
enum class UnsavedChanges { Ask, Save, Discard };

class Instance : public std::enable_shared_from_this<Instance> {
public:
    bool alive = true;
    bool visible = false;
    // Makes files only (many timetables at once): it never shows a window
    // and keeps no recovery copies; shown, it is visible without one.
    const bool windowless = false;
    int untitledCounter = 0;
    std::vector<std::shared_ptr<DocumentData>> documents;
    std::shared_ptr<DocumentData> active;
    QPointer<DocumentWindow> window;
    std::function<void()> endedHandler; // told once when the instance ends
    std::unique_ptr<RecoveryCopies> recovery; // copies of unsaved work while it runs

    explicit Instance(bool windowless = false);
    ~Instance();

    // A new empty document ("文档1", "文档2", ...), added as the active one.
    std::shared_ptr<DocumentData> addNew();
    // Adds a document (new or read from a file) as the active one: its
    // unsaved work is kept in recovery copies, and the window shows it.
    void add(const std::shared_ptr<DocumentData>& document);
    // Makes one of the documents the active one, shown in the window.
    void activate(const std::shared_ptr<DocumentData>& document);
    // Shows the window (made when first needed) with the active document,
    // or hides it.
    void show(bool visible);
    // Saves a document to its file, asking for one when it has none (see
    // saveDocument). Raises Error when writing fails.
    bool save(DocumentData& document);
    // A document's page setup has changed: lays it out again and shows it.
    void pageChanged(const std::shared_ptr<DocumentData>& document);

    // Settles unsaved changes (see settleUnsavedChanges), then ends.
    // Returns false when the instance goes on: the user cancelled, or a save
    // the user asked for did not happen. Raises Error when a save fails.
    bool quit(UnsavedChanges changes);
    // Ends the instance: closes the window, drops the documents, then tells
    // the owner. Safe to call more than once.
    void end();
};

} // namespace wordprocessor
