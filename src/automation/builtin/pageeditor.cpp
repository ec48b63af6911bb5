#include "automation/builtin/pageeditor.h"

#include <QMimeData>

namespace word::builtin {

bool PageEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return source->hasText();
}

void PageEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    textCursor().insertText(source->text());
    ensureCursorVisible();
    if (source->hasHtml() || source->hasImage())
        emit pastedPlainText();
}

} // namespace word::builtin
