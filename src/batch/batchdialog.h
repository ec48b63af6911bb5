#pragma once
// 批量生成课程表: the table of classes (a CSV file), the shape of the week
// with the new-timetable dialog's fields and defaults, the folder, and the
// file format. 生成 reads and checks the table, shows what is wrong, asks
// before anything is written or written over, then makes the timetables
// with a progress bar that can be cancelled.

#include "batch/maker.h"
#include "schedule/settimedialog.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace batch {

class BatchDialog : public QDialog, public schedule::LabelTarget {
    Q_OBJECT
public:
    explicit BatchDialog(QWidget* parent);

    void changedata(const QStringList& labels) override;
    QString morningCountText() const override;
    QString afternoonCountText() const override;

    QLineEdit* csvFile;
    QPushButton* chooseCsv;
    QLineEdit* morning;
    QLineEdit* afternoon;
    QLineEdit* days;
    QCheckBox* withTimes;
    QPushButton* setup;
    QLineEdit* title;
    QLineEdit* folder;
    QPushButton* chooseFolder;
    QComboBox* format;
    QPushButton* makeButton;
    QPushButton* closeButton;

    QStringList timeLabels;
    QPointer<QWidget> settime;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void make();
    // The settings from the fields, or nothing after saying what is wrong.
    std::optional<Settings> settings();

    bool m_making = false;
};

} // namespace batch
