#pragma once
// The built-in word processor's window: the active document shown at its
// page width with its margins, readable and editable by the user, with its
// own Save and Save As. Closing it ends the instance, as closing an
// external word processor would, after asking about unsaved changes.

#include <QMainWindow>
#include <memory>

class QTextEdit;

namespace word::builtin {

class EngineState;
struct DocumentData;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(std::shared_ptr<EngineState> state);

    void showDocument(const std::shared_ptr<DocumentData>& document);
    void pageChanged(const std::shared_ptr<DocumentData>& document);
    // Shows the document's current name in the title.
    void refresh();
    // Closes the window because the instance quit.
    void closeForQuit();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void save(bool saveAs);

    std::shared_ptr<EngineState> m_state; // kept while the window is open
    std::weak_ptr<DocumentData> m_shown;
    QTextEdit* m_editor;
    bool m_quitting = false;
};

} // namespace word::builtin
