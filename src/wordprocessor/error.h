#pragma once
// The one exception the word processor raises when a command cannot be
// done: a file that cannot be read or written, a printer that refuses. Its
// message is a complete Chinese sentence, ready for a message box.

#include <QString>
#include <stdexcept>

namespace wordprocessor {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace wordprocessor
