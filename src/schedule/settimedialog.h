#pragma once
// The period-time dialog `settime`: the school day's bells and breaks. OK
// computes one time label per period and hands them to the new-timetable
// dialog, which opened it and which it closes with.

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace schedule {

// What the period-time dialog needs of the dialog that opened it: the
// period counts as typed there, and where the computed labels go.
class LabelTarget {
public:
    virtual ~LabelTarget() = default;
    virtual QString morningCountText() const = 0;
    virtual QString afternoonCountText() const = 0;
    virtual void changedata(const QStringList& labels) = 0;
};

class SetTimeDialog : public QWidget {
    Q_OBJECT
public:
    // A window of its own beside `parent`, closed with it.
    SetTimeDialog(QWidget* parent, LabelTarget* target);

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

    LabelTarget* m_target;
};

} // namespace schedule
