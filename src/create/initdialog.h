#pragma once
// The new-timetable dialog `init`: the shape of the week, the title, and
// whether time labels and course entry follow. OK builds the document.

#include "automation/word.h"
#include "schedule/settimedialog.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace app { class Host; }

namespace create {

class InitDialog : public QDialog, public schedule::LabelTarget {
    Q_OBJECT
public:
    explicit InitDialog(app::Host* host);

    // Takes computed time labels: slot i gets element i; slots beyond the
    // given labels keep their text. More labels than slots enlarge the list.
    void changedata(const QStringList& labels) override;
    QString morningCountText() const override;
    QString afternoonCountText() const override;

    bool succ = false;
    QStringList timetable;
    std::shared_ptr<word::Table> mytable;

    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QPushButton* setup;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // The period-time dialog opened from `setup`, while it is open.
    QPointer<QWidget> settime;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void openSetTime();
    void build();
    void beforeClose();

    app::Host* m_host;
    bool m_closing = false;
    bool m_building = false; // OK is being acted on
};

} // namespace create
