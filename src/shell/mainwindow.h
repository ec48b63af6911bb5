#pragma once
// The main window `main`: the menu bar every command starts from, the title
// picture, and the application state all other windows read and write.

#include "automation/word.h"
#include "common/apphost.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QMenu;
class QLabel;

namespace create { class InitDialog; }
namespace entry { class EntryDialog; }
namespace about { class AboutBox; }
namespace batch { class BatchDialog; }

namespace shell {

// The default subject file: the program folder, one separator, "zvn.list".
QString defaultSubjectFile();

class MainWindow : public QMainWindow, public app::Host {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QWidget* mainWindow() override { return this; }
    app::AppState& state() override { return m_state; }

    // The five document commands, enabled or disabled together.
    void setDocumentCommandsEnabled(bool enabled);
    void enterNoTimetable() override;
    void adoptTimetable(std::shared_ptr<word::Application> wd, std::shared_ptr<word::Table> table, int morning,
                        int hang, int lie) override;
    void reportEngineError(QWidget* parent, const word::AutomationError& error) override;
    bool guarded(QWidget* parent, const std::function<void()>& action) override;

    // The close sequence: quit the word processor, no timetable open.
    // Returns false when the user cancelled the word processor's quit.
    bool closeSequence();

    // Reports that the word processor has been closed by the user and puts
    // the window in the no-timetable state.
    void reportWordProcessorClosed();

    // Commands, as the menus run them.
    void newTimetable();
    void closeTimetable();
    void runHelp();
    void loadSubjectFile();
    void openTimetable();
    // Opens a file named outside the Open dialog (the command line, the
    // desktop's "Open with"): the same steps and messages as Open.
    void openFile(const QString& path);
    // At start: offers to open each recovery copy a crash left behind, or
    // to discard it. An opened copy becomes a file of its own beside the
    // document's file (or in the documents folder), named "…（恢复）.doc".
    void offerRecoveredCopies();
    void printTimetable();
    void saveTimetable();
    void showAbout();
    // 工具: the open timetable's pages as pictures, and many classes'
    // timetables from a table at once (toolcommands.cpp).
    void exportPicture();
    void makeTimetables();

    void startEntry() override;

    QPointer<create::InitDialog> initDialog;
    QPointer<entry::EntryDialog> entryDialog;
    QPointer<about::AboutBox> aboutBox;
    QPointer<batch::BatchDialog> batchDialog;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolsMenu();
    void opendoc();
    void openPath(const QString& path);
    // With a timetable open, asks whether to close it and does so on Yes.
    // Returns whether the command may go on.
    bool closeFirst(const QString& question);
    // False, after reporting it, when the timetable's word processor is gone.
    bool wordProcessorRunning();
    // Quits the word processor for a closing command. An instance the user
    // has already closed counts as quit. Returns false when the user
    // cancelled the quit; the instance then stays.
    bool quitWordProcessor();
    // The instance `which` has ended, however it ended.
    void wordProcessorEnded(const word::Application* which);
    // Ends course entry once no box is up.
    void closeEntryDialog();

    app::AppState m_state;
    bool m_closing = false; // the window is closing: nothing new is started
    bool m_endTold = false; // the timetable's word processor ended by itself, and the user was told
    QMenu* m_edit = nullptr;
    QAction* m_inp = nullptr;
    QAction* m_prin = nullptr;
    QAction* m_savefile = nullptr;
    QAction* m_closewd = nullptr;
    QAction* m_picture = nullptr;
};

} // namespace shell
