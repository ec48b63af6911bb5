#pragma once
// The built-in word processor's window: the active document shown as pages
// of its page size with their margins, at a zoom of the user's choosing,
// editable with the menus 文件, 编辑, 视图, 格式 and 表格 and a format
// toolbar that shows the format at the cursor. Closing it ends the
// instance, as closing an external word processor would, after asking about
// unsaved changes.

#include "wordprocessor/editoractions.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTextCharFormat;
class QTextCursor;
class QToolBar;

namespace wordprocessor {

class Instance;
class FindBar;
class FontBox;
class PageEditor;
struct DocumentData;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(std::shared_ptr<Instance> instance);

    void showDocument(const std::shared_ptr<DocumentData>& document);
    void pageChanged(const std::shared_ptr<DocumentData>& document);
    // Shows the document's current name in the title.
    void refresh();
    // Closes the window because the instance quit.
    void closeForQuit();

    const EditorActions& actions() const { return m_actions; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBars();
    void connectActions();
    // The zoom box on the status bar and the 视图 commands.
    void buildZoom();
    void connectZoom();
    void showZoom(double zoom, bool fitWidth);
    void applyZoomText(const QString& text);
    void save(bool saveAs);
    void exportPdf();
    void printPreview();
    void print();
    // The format at the cursor, shown on the toolbar and in the menus.
    void showFormat();
    void mergeFormat(const QTextCharFormat& format);
    void chooseColour();
    void applySize(const QString& text);
    // Asks for the covered columns' width or rows' height in centimetres.
    void askColumnWidth();
    void askRowHeight();
    // A length in centimetres from `least` to 55 asked of the user (a
    // wrong one told); nothing when cancelled or wrong.
    std::optional<double> askLength(const QString& prompt, const QString& what, double current, double least);
    // Runs a table command; outside a table it says so in the status bar.
    void tableCommand(const std::function<bool(QTextCursor&)>& command);

    std::shared_ptr<Instance> m_instance; // kept while the window is open
    std::weak_ptr<DocumentData> m_shown;
    PageEditor* m_editor;
    EditorActions m_actions;
    FontBox* m_family = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_zoom = nullptr;
    FindBar* m_findBar = nullptr;
    bool m_quitting = false;
};

} // namespace wordprocessor
