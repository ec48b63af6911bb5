#include "wordprocessor/fontbox.h"

#include <QFontDatabase>

namespace wordprocessor {

FontBox::FontBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems({QStringLiteral("黑体"), QStringLiteral("宋体")});
    // As wide as the system's font box would be.
    setMinimumContentsLength(14);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void FontBox::showPopup()
{
    listFamilies();
    QComboBox::showPopup();
}

void FontBox::focusInEvent(QFocusEvent* event)
{
    listFamilies();
    QComboBox::focusInEvent(event);
}

void FontBox::listFamilies()
{
    if (m_listed)
        return;
    m_listed = true;
    const QString typed = currentText();
    const QSignalBlocker quiet(this);
    for (const QString& family : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(family) && findText(family, Qt::MatchFixedString) < 0)
            addItem(family);
    setEditText(typed);
}

} // namespace wordprocessor
