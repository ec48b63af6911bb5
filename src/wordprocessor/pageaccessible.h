#pragma once
// What screen readers and magnifiers learn of the page view: its text, the
// insertion point and the selection, and where each character is on the
// screen. Qt's own interface for a text edit places characters by the
// text's layout alone; the page view shows that layout scaled by the zoom
// and cut into sheets, so the places here go through the view's mapping,
// as the text is painted.

#include <QAccessibleWidget>

namespace wordprocessor {

class PageEditor;

class PageAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface {
public:
    explicit PageAccessible(PageEditor* editor);

    // Makes the page view use this interface (once, at start).
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    PageEditor* editor() const;
};

} // namespace wordprocessor
