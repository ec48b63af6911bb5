#pragma once
// The one exception every word-processor engine raises when a call fails.
// Its message is a complete Chinese sentence, ready for a message box.

#include <QString>
#include <stdexcept>

namespace word {

class AutomationError : public std::runtime_error {
public:
    enum Kind {
        Failed,     // the call was refused or went wrong
        NotRunning, // the instance has quit or its window was closed
    };

    explicit AutomationError(const QString& message, Kind kind = Failed)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind)
    {
    }

    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }

    static AutomationError notRunning()
    {
        return AutomationError(QStringLiteral("文字处理程序已经被关闭，无法继续操作这个课程表。"), NotRunning);
    }

private:
    QString m_message;
    Kind m_kind;
};

} // namespace word
