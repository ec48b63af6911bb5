#pragma once
// The period-time dialog `settime`: the school day's bells and breaks. OK
// computes one time label per period and hands them to the new-timetable
// dialog, which opened it and which it closes with.

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace create { class InitDialog; }

namespace schedule {

class SetTimeDialog : public QWidget {
    Q_OBJECT
public:
    explicit SetTimeDialog(create::InitDialog* init);

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QLineEdit* Text10;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QPushButton* Command1;
    QPushButton* Command2;

    // The labels of the last confirmation (kept after a failed one).
    QStringList ttable;

private:
    void confirm();
    void restoreDefaults();

    create::InitDialog* m_init;
};

} // namespace schedule
