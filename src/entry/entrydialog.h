#pragma once
// The course entry dialog `enter`: walks the timetable cell by cell and
// writes the chosen subject into each cell of the document's table.

#include "entry/entrycursor.h"
#include "entry/typeahead.h"
#include "automation/word.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace app { class Host; }

namespace entry {

class EntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit EntryDialog(app::Host* host);

    // The load sequence: reads the subject file in force and takes the grid
    // from the main window. Returns false, after telling the user which file
    // is wrong and how, when the subject file cannot be read; the dialog
    // must then not be shown.
    bool load();

    // Fills the subject lists from a subject file (throws subjects::FileError).
    void readfile(const QString& filename);

    // Collapsed and expanded client heights, in pixels.
    int collapsedHeight() const;
    int expandedHeight() const;

    QStringList index; // subject keys
    QStringList kemu;  // subject names
    int kemuindex = 0;
    std::shared_ptr<word::Table> mytable;
    int hang = 0, lie = 0, morning = 0;
    EntryCursor cursor{0, 0, 0};

    QLabel* l1;
    QComboBox* com1;
    QLabel* Label2;
    QPushButton* c1;
    QPushButton* c2;
    QPushButton* c3;
    QPushButton* c4;
    QPushButton* fini;
    QPushButton* Command1;
    QCheckBox* Check1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void nextPeriod();
    void previousPeriod();
    void previousDay();
    void nextDay();
    void toggleDetails();
    void showCursor(bool focusList);

    app::Host* m_host;
    TypeAhead m_typeAhead;
    bool m_searching = false; // the subject list's choice is being made by a typed key
};

} // namespace entry
