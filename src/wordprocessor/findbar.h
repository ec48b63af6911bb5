#pragma once
// The document window's find bar, shown by 查找: the text to find, next
// and previous, and whether case matters. The search goes round the
// document once; what is not found is said on the status bar. Esc closes
// the bar and gives the keyboard back to the text, as in every word
// processor.

#include <QToolBar>

class QCheckBox;
class QLineEdit;
class QStatusBar;

namespace wordprocessor {

class PageEditor;

class FindBar : public QToolBar {
    Q_OBJECT
public:
    FindBar(PageEditor* editor, QStatusBar* status, QWidget* parent);

    // Shows the bar with the text to find selected, the keyboard in it.
    void open();
    // Hides the bar; the keyboard goes back to the text.
    void close();
    void findNext(bool backward);

private:
    PageEditor* m_editor;
    QStatusBar* m_status;
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
};

} // namespace wordprocessor
