#pragma once
// The format toolbar's font family box: editable, the two faces timetables
// are made in first, then the system's families. The families are listed
// when the box is first used (opened, or the keyboard taken to it), not
// when the window is made: listing them took a tenth of the time a new
// timetable's window takes to appear.

#include <QComboBox>

namespace wordprocessor {

class FontBox : public QComboBox {
public:
    explicit FontBox(QWidget* parent = nullptr);
    void showPopup() override;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void listFamilies();
    bool m_listed = false;
};

} // namespace wordprocessor
