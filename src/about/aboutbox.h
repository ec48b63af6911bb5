#pragma once
// The about box `frmAbout`: the program's name, version and description, a
// notice for users, and a button that starts the system-information tool.
// Modeless: the main window stays usable while it is open.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace about {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QFrame* Line1;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

    // Starts the system-information tool; says so in a message box when
    // there is none or it will not start. The box stays open either way.
    void StartSysInfo();
};

} // namespace about
