#pragma once
// A dialogue for tests: records every box the program shows and answers
// from queues the test fills. An unexpected question fails the test.

#include "printers.h"
#include "common/dialogue.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace testsupport {

class ScriptedDialogue : public dialogue::Dialogue {
public:
    ScriptedDialogue();  // puts itself in force
    ~ScriptedDialogue() override; // restores the real dialogue

    QMessageBox::StandardButton message(QWidget* parent, const dialogue::Message& message) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override;
    QString openFile(QWidget* parent, const dialogue::FileRequest& request) override;
    QString saveFile(QWidget* parent, const dialogue::FileRequest& request) override;
    std::optional<QColor> colour(QWidget* parent, const QColor& initial, const QString& title) override;
    QString folder(QWidget* parent, const QString& title, const QString& initialFolder) override;

    // Answers, taken in order. A message box with no answer queued is
    // answered with its default button (OK boxes need no answer).
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> files;
    std::deque<std::optional<QColor>> colours;
    std::deque<QString> folders;

    std::vector<dialogue::Message> messages;

    // The word processor's question whether to save changes is answered
    // with this and recorded apart, so that tests about other boxes need not
    // answer it each time a timetable is closed.
    QMessageBox::StandardButton saveAnswer = QMessageBox::No;
    std::vector<dialogue::Message> saveQuestions;
    struct Input { QString prompt, title, initial; };
    std::vector<Input> inputRequests;
    std::vector<dialogue::FileRequest> fileRequests;

    // A hook run when a box is shown (the save question too), before it is
    // answered (to look at the program's state, or change it, while the box
    // is up).
    std::function<void(const dialogue::Message&)> onMessage;
};

} // namespace testsupport
