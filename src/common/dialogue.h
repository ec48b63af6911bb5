#pragma once
// Every question, message and file dialog the program shows goes through
// this one interface, so that tests can answer the questions and check each
// box's exact text, title, buttons and icon.

#include <QColor>
#include <QMap>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace dialogue {

struct Message {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // A question that may stop standing while it is asked (what it waits
    // for has happened): the box closes by itself once this is true, and
    // the answer is NoButton.
    std::function<bool()> over;
    // Captions of the box's own for some of its buttons (全部覆盖 on
    // YesToAll, say); the answer is still the standard button.
    QMap<QMessageBox::StandardButton, QString> captions;
};

struct FileRequest {
    QString title;
    QString filter;            // "label|pattern" pairs separated by "|"
    QString defaultExtension;  // as stored, e.g. "*.doc"
    QString initialFolder;
    QString fileName;
};

class Dialogue {
public:
    virtual ~Dialogue() = default;
    virtual QMessageBox::StandardButton message(QWidget* parent, const Message& message) = 0;
    // The entered text, or nothing when cancelled.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                         const QString& initial) = 0;
    // The chosen full path, or an empty text when cancelled.
    virtual QString openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QString saveFile(QWidget* parent, const FileRequest& request) = 0;
    // The chosen colour, or nothing when cancelled.
    virtual std::optional<QColor> colour(QWidget* parent, const QColor& initial, const QString& title) = 0;
    // The chosen folder, or an empty text when cancelled.
    virtual QString folder(QWidget* parent, const QString& title, const QString& initialFolder) = 0;
};

// The dialogue in force: the real one, unless a test has put its own.
Dialogue& current();
// Puts a dialogue in force (nullptr restores the real one); not owned.
void setCurrent(Dialogue* dialogue);

// The message box title every box without its own title carries.
QString applicationTitle();

// Shorthands.
QMessageBox::StandardButton show(QWidget* parent, const Message& message);
inline void inform(QWidget* parent, const QString& text, const QString& title = applicationTitle())
{
    show(parent, {text, title, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok});
}
inline void warn(QWidget* parent, const QString& text, const QString& title = applicationTitle())
{
    show(parent, {text, title, QMessageBox::Ok, QMessageBox::Warning, QMessageBox::Ok});
}

// Turns a filter of "label|pattern|label|pattern" into Qt's form
// "label (patterns);;…". Patterns already named in a label are not repeated.
QString toQtFilter(const QString& filter);

} // namespace dialogue
