#include "common/dialogue.h"

#include "common/widgets.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace dialogue {

namespace {

class RealDialogue : public Dialogue {
public:
    QMessageBox::StandardButton message(QWidget* parent, const Message& m) override
    {
        const widgets::FocusReturn focusBack(parent);
        // On the heap: a parent closed while the box is up (its work ended
        // meanwhile) takes the box with it, and exec() then returns.
        QPointer<QMessageBox> box = new QMessageBox(m.icon, m.title, m.text, m.buttons, parent);
        if (m.defaultButton != QMessageBox::NoButton)
            box->setDefaultButton(m.defaultButton);
        for (auto caption = m.captions.begin(); caption != m.captions.end(); ++caption)
            if (QAbstractButton* button = box->button(caption.key()))
                widgets::setCaption(button, caption.value());
        QTimer watch;
        if (m.over) {
            QObject::connect(&watch, &QTimer::timeout, box, [&m, box] {
                if (m.over())
                    box->done(QMessageBox::NoButton);
            });
            watch.start(100);
        }
        const int answer = box->exec();
        delete box;
        return QMessageBox::StandardButton(answer);
    }

    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override
    {
        const widgets::FocusReturn focusBack(parent);
        bool ok = false;
        const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

    QString openFile(QWidget* parent, const FileRequest& r) override
    {
        return askFile(parent, r, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    }

    QString saveFile(QWidget* parent, const FileRequest& r) override
    {
        return askFile(parent, r, QFileDialog::AcceptSave, QFileDialog::AnyFile);
    }

    std::optional<QColor> colour(QWidget* parent, const QColor& initial, const QString& title) override
    {
        const widgets::FocusReturn focusBack(parent);
        const QColor chosen = QColorDialog::getColor(initial, parent, title);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }

    QString folder(QWidget* parent, const QString& title, const QString& initialFolder) override
    {
        const widgets::FocusReturn focusBack(parent);
        return QFileDialog::getExistingDirectory(parent, title, initialFolder);
    }

private:
    static QString askFile(QWidget* parent, const FileRequest& r, QFileDialog::AcceptMode mode,
                           QFileDialog::FileMode files)
    {
        const widgets::FocusReturn focusBack(parent);
        QPointer<QFileDialog> dialog = new QFileDialog(parent, r.title, r.initialFolder, toQtFilter(r.filter));
        dialog->setAcceptMode(mode);
        dialog->setFileMode(files);
        dialog->setDefaultSuffix(suffix(r.defaultExtension));
        // A name typed without a suffix takes that of the type chosen.
        QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
            static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
            if (const auto match = pattern.match(filter); match.hasMatch())
                dialog->setDefaultSuffix(match.captured(1));
        });
        dialog->selectFile(r.fileName);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        const QStringList chosen = dialog ? dialog->selectedFiles() : QStringList();
        delete dialog;
        return accepted && !chosen.isEmpty() ? chosen.constFirst() : QString();
    }

    // "*.doc" as stored gives the suffix "doc".
    static QString suffix(QString extension)
    {
        while (extension.startsWith(u'*') || extension.startsWith(u'.'))
            extension.remove(0, 1);
        return extension;
    }
};

Dialogue* g_current = nullptr;

} // namespace

Dialogue& current()
{
    static RealDialogue real;
    return g_current ? *g_current : real;
}

void setCurrent(Dialogue* dialogue)
{
    g_current = dialogue;
}

QString applicationTitle()
{
    return QStringLiteral("Lumetra");
}

QMessageBox::StandardButton show(QWidget* parent, const Message& message)
{
    return current().message(parent, message);
}

QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        // Qt reads the patterns from the parentheses that end the label.
        if (label.endsWith(QStringLiteral("(%1)").arg(patterns)))
            entries << label;
        else
            entries << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace dialogue
