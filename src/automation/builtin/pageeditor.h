#pragma once
// The text area of the document window. What is pasted from elsewhere
// keeps only its text, in the format at the insertion point: a .doc file of
// ours could not keep pictures, links or most of another program's
// formatting, so the editor never holds them.

#include <QTextEdit>

namespace word::builtin {

class PageEditor : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

signals:
    // Rich content was pasted as its text alone.
    void pastedPlainText();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace word::builtin
