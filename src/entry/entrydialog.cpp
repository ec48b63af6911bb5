#include "entry/entrydialog.h"

#include "common/dialogue.h"
#include "common/units.h"
#include "common/widgets.h"
#include "common/apphost.h"
#include "subjects/subjectfile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace entry {

namespace {

// The frame's title bar and borders, in twips: the designed window heights
// include them, the client area does not.
constexpr int kFrameTwips = 405;
constexpr int kCollapsedTwips = 2820;
constexpr int kExpandedTwips = 3510;

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(units::twipsToPixels(left, widget), units::twipsToPixels(top, widget),
                        units::twipsToPixels(width, widget), units::twipsToPixels(height, widget));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* b = place(widgets::button(parent, name, caption), name, left, top, 1545, 375);
    b->setAutoDefault(false);
    return b;
}

} // namespace

EntryDialog::EntryDialog(app::Host* host)
    : QDialog(host->mainWindow(), Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_host(host)
{
    setObjectName(QStringLiteral("enter"));
    setWindowTitle(QStringLiteral("请输入课程"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    l1 = place(new QLabel(QStringLiteral("星期一第一节上"), this), "l1", 1028, 360, 1335, 255);
    l1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    com1 = place(new QComboBox(this), "com1", 2468, 300, 1935, 300);
    com1->setAccessibleName(QStringLiteral("课程"));
    l1->setBuddy(com1);
    Label2 = place(new QLabel(QStringLiteral("课"), this), "Label2", 4628, 360, 255, 255);
    c1 = button(this, "c1", QStringLiteral("下一节(&N)"), 255, 960);
    c1->setDefault(true);
    c2 = button(this, "c2", QStringLiteral("上一节(&P)"), 2205, 960);
    fini = button(this, "fini", QStringLiteral("取消(&A)"), 4155, 960);
    c3 = button(this, "c3", QStringLiteral("前一天(&Q)"), 255, 1680);
    c4 = button(this, "c4", QStringLiteral("后一天(&H)"), 2205, 1680);
    Command1 = button(this, "Command1", QStringLiteral("详细设置(&D)"), 4155, 1680);
    Check1 = place(new QCheckBox(QStringLiteral("按下 下一节 按钮时更新课程表"), this), "Check1", 1530, 2550, 2850,
                   315);
    Check1->setChecked(true);
    Check1->setAccessibleName(Check1->text());

    resize(units::twipsToPixels(5910, this), units::twipsToPixels(3105, this));

    connect(c1, &QPushButton::clicked, this, &EntryDialog::nextPeriod);
    connect(c2, &QPushButton::clicked, this, &EntryDialog::previousPeriod);
    connect(c3, &QPushButton::clicked, this, &EntryDialog::previousDay);
    connect(c4, &QPushButton::clicked, this, &EntryDialog::nextDay);
    connect(Command1, &QPushButton::clicked, this, &EntryDialog::toggleDetails);
    connect(fini, &QPushButton::clicked, this, &QWidget::close);
    connect(com1, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position >= 0)
            kemuindex = position;
        if (!m_searching)
            m_typeAhead.reset(); // chosen by arrow keys or the mouse
    });
    com1->installEventFilter(this);
}

int EntryDialog::collapsedHeight() const
{
    return units::twipsToPixels(kCollapsedTwips - kFrameTwips, this);
}

int EntryDialog::expandedHeight() const
{
    return units::twipsToPixels(kExpandedTwips - kFrameTwips, this);
}

void EntryDialog::readfile(const QString& filename)
{
    const subjects::SubjectList list = subjects::readFile(filename);
    index = list.keys;
    kemu = list.names;
}

bool EntryDialog::load()
{
    const app::AppState& state = m_host->state();
    if (const auto problem = EntryCursor::tableProblem(state.hang, state.lie)) {
        dialogue::warn(m_host->mainWindow(), *problem);
        return false;
    }
    // The subject file is read before anything else changes, so that a file
    // that cannot be used leaves the main window as it was.
    try {
        readfile(state.kemufile);
    } catch (const subjects::FileError& error) {
        dialogue::warn(m_host->mainWindow(), error.message());
        return false;
    }
    m_host->mainWindow()->hide();
    for (int k = 0; k < index.size(); ++k)
        com1->addItem(index[k] + kemu[k]);
    mytable = state.mytable;
    morning = state.morning - 1;
    hang = state.hang;
    lie = state.lie;
    cursor = EntryCursor(hang, lie, morning);
    com1->setCurrentIndex(0);
    kemuindex = 0;
    resize(width(), collapsedHeight());
    com1->setFocus();
    return true;
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The subject list's own type-ahead joins keys typed within a short
    // time into one search, so a quick typist's next key after Enter
    // would go on the last search; ours starts afresh after each write.
    if (watched == com1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool printable = text.size() == 1 && text.at(0).isPrint() && !text.at(0).isSpace();
        if (printable && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            QStringList entries;
            for (int i = 0; i < com1->count(); ++i)
                entries << com1->itemText(i);
            const int found = m_typeAhead.type(text, entries);
            if (found >= 0) {
                m_searching = true;
                com1->setCurrentIndex(found);
                m_searching = false;
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EntryDialog::showCursor(bool focusList)
{
    m_typeAhead.reset();
    l1->setText(cursor.label());
    c1->setEnabled(cursor.nextEnabled());
    if (cursor.finished())
        widgets::setCaption(fini, QStringLiteral("完成(&F)"));
    if (focusList)
        com1->setFocus();
}

void EntryDialog::nextPeriod()
{
    if (const auto cell = cursor.cellToWrite(Check1->isChecked())) {
        try {
            if (!mytable)
                throw word::AutomationError::notRunning();
            mytable->cell(cell->row, cell->column)->range()->setText(kemu.value(kemuindex));
        } catch (const word::AutomationError& error) {
            if (error.kind() == word::AutomationError::NotRunning) {
                // The word processor is gone: say so once and end entry.
                m_host->reportEngineError(this, error);
                close();
                return;
            }
            // A cell the table does not have: the cursor stays where it was.
            dialogue::warn(this, QStringLiteral("无法把课程写入表格第 %1 行第 %2 列：%3")
                                     .arg(cell->row)
                                     .arg(cell->column)
                                     .arg(error.message()));
            return;
        }
    }
    showCursor(cursor.nextPeriod());
}

void EntryDialog::previousPeriod()
{
    showCursor(cursor.previousPeriod());
}

void EntryDialog::previousDay()
{
    cursor.previousDay();
    showCursor(false);
}

void EntryDialog::nextDay()
{
    cursor.nextDay();
    showCursor(false);
}

void EntryDialog::toggleDetails()
{
    if (height() == collapsedHeight()) {
        resize(width(), expandedHeight());
        widgets::setCaption(Command1, QStringLiteral("无详细设置(&D)"));
    } else {
        resize(width(), collapsedHeight());
        widgets::setCaption(Command1, QStringLiteral("详细设置(&D)"));
    }
}

void EntryDialog::reject()
{
    // Esc finishes entry like the close button.
    close();
}

void EntryDialog::closeEvent(QCloseEvent* event)
{
    // However the dialog closes (the close button, Esc, the window frame),
    // the main window comes back, and what was entered is kept safe at once
    // rather than at the word processor's next turn.
    if (const auto& wd = m_host->state().wd; wd && wd->running())
        wd->keepRecoveryCopies();
    m_host->mainWindow()->show();
    event->accept();
}

} // namespace entry
