#pragma once
// The main window `main`: the menu bar every command starts from, the title
// picture, and the application state all other windows read and write.

#include "shell/appstate.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMenu;
class QLabel;

namespace create { class InitDialog; }
namespace entry { class EntryDialog; }
namespace about { class AboutBox; }

namespace shell {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    AppState& state() { return m_state; }

    // The five document commands, enabled or disabled together.
    void setDocumentCommandsEnabled(bool enabled);
    // opened = false and the document commands disabled.
    void enterNoTimetable();
    // Takes over a built or opened timetable: opened = true, commands enabled.
    void adoptTimetable(std::shared_ptr<word::Application> wd, std::shared_ptr<word::Table> table, int morning,
                        int hang, int lie);

    // The close sequence: quit the word processor, no timetable open.
    // Returns false when the user cancelled the word processor's quit.
    bool closeSequence();

    // Reports that the word processor has been closed by the user and puts
    // the window in the no-timetable state.
    void reportWordProcessorClosed();

    // Runs an action that drives the word processor; a failure is reported
    // in a message box. Returns whether it went through.
    template <typename F>
    bool guarded(QWidget* parent, F action);

    // Commands, as the menus run them.
    void newTimetable();
    void closeTimetable();
    void runHelp();
    void loadSubjectFile();
    void openTimetable();
    void printTimetable();
    void saveTimetable();
    void showAbout();

    // Starts course entry on the open timetable.
    void startEntry();

    QPointer<create::InitDialog> initDialog;
    QPointer<entry::EntryDialog> entryDialog;
    QPointer<about::AboutBox> aboutBox;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void opendoc();
    // With a timetable open, asks whether to close it and does so on Yes.
    // Returns whether the command may go on.
    bool closeFirst(const QString& question);
    // False, after reporting it, when the timetable's word processor is gone.
    bool wordProcessorRunning();
    void reportError(QWidget* parent, const word::AutomationError& error);

    AppState m_state;
    QMenu* m_edit = nullptr;
    QAction* m_inp = nullptr;
    QAction* m_prin = nullptr;
    QAction* m_savefile = nullptr;
    QAction* m_closewd = nullptr;
};

template <typename F>
bool MainWindow::guarded(QWidget* parent, F action)
{
    try {
        action();
        return true;
    } catch (const word::AutomationError& error) {
        reportError(parent, error);
        return false;
    }
}

} // namespace shell
