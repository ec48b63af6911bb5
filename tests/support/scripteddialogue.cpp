#include "scripteddialogue.h"

#include <gtest/gtest.h>

namespace testsupport {

ScriptedDialogue::ScriptedDialogue()
{
    dialogue::setCurrent(this);
}

ScriptedDialogue::~ScriptedDialogue()
{
    dialogue::setCurrent(nullptr);
}

QMessageBox::StandardButton ScriptedDialogue::message(QWidget*, const dialogue::Message& message)
{
    if (onMessage)
        onMessage(message);
    if (message.text.startsWith(QStringLiteral("是否保存对"))) {
        saveQuestions.push_back(message);
        return saveAnswer;
    }
    messages.push_back(message);
    if (!answers.empty()) {
        const auto answer = answers.front();
        answers.pop_front();
        EXPECT_TRUE(message.buttons.testFlag(answer)) << "answer not offered by: " << message.text.toStdString();
        return answer;
    }
    const bool question = message.buttons.testAnyFlags(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_FALSE(question) << "unanswered question: " << message.text.toStdString();
    return message.defaultButton != QMessageBox::NoButton ? message.defaultButton : QMessageBox::Ok;
}

std::optional<QString> ScriptedDialogue::input(QWidget*, const QString& prompt, const QString& title,
                                               const QString& initial)
{
    inputRequests.push_back({prompt, title, initial});
    if (inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    auto answer = inputs.front();
    inputs.pop_front();
    return answer;
}

std::optional<QColor> ScriptedDialogue::colour(QWidget*, const QColor&, const QString& title)
{
    if (colours.empty()) {
        ADD_FAILURE() << "unexpected colour dialog: " << title.toStdString();
        return std::nullopt;
    }
    auto answer = colours.front();
    colours.pop_front();
    return answer;
}

QString ScriptedDialogue::openFile(QWidget*, const dialogue::FileRequest& request)
{
    fileRequests.push_back(request);
    if (files.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
        return QString();
    }
    const QString answer = files.front();
    files.pop_front();
    return answer;
}

QString ScriptedDialogue::folder(QWidget*, const QString& title, const QString&)
{
    if (folders.empty()) {
        ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
        return QString();
    }
    const QString answer = folders.front();
    folders.pop_front();
    return answer;
}

QString ScriptedDialogue::saveFile(QWidget* parent, const dialogue::FileRequest& request)
{
    return openFile(parent, request);
}

} // namespace testsupport
