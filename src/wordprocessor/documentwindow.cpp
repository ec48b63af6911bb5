#include "wordprocessor/documentwindow.h"

#include "wordprocessor/error.h"
#include "wordprocessor/docfiles.h"
#include "wordprocessor/document.h"
#include "wordprocessor/findbar.h"
#include "wordprocessor/fontbox.h"
#include "wordprocessor/fontsizes.h"
#include "wordprocessor/pagepictures.h"
#include "wordprocessor/pageeditor.h"
#include "wordprocessor/tableediting.h"
#include "common/dialogue.h"
#include "common/numberreading.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTextTable>
#include <QToolBar>

namespace wordprocessor {

namespace {

// An editable box on Linux reaches a screen reader under its text, not its
// name: the name goes on the box's description and on its text field, which
// has the keyboard while the box is in use.
void named(QComboBox* box, const QString& name)
{
    box->setAccessibleName(name);
    box->setAccessibleDescription(name);
    box->lineEdit()->setAccessibleName(name);
    box->lineEdit()->setAccessibleDescription(name);
}

} // namespace

DocumentWindow::DocumentWindow(std::shared_ptr<Instance> instance)
    : m_instance(std::move(instance)), m_editor(new PageEditor(this))
{
    setObjectName(QStringLiteral("documentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_editor->setObjectName(QStringLiteral("documentText"));
    setCentralWidget(m_editor);
    statusBar()->setObjectName(QStringLiteral("documentStatus"));

    m_actions = EditorActions::create(this);
    buildToolBars();
    buildZoom();
    connectActions();
    connectZoom();
}

void DocumentWindow::buildToolBars()
{
    QToolBar* format = addToolBar(QStringLiteral("格式"));
    format->setObjectName(QStringLiteral("documentFormatBar"));
    format->setAccessibleName(QStringLiteral("格式工具栏"));
    m_family = new FontBox(format);
    m_family->setObjectName(QStringLiteral("documentFontFamily"));
    named(m_family, QStringLiteral("字体"));
    format->addWidget(m_family);
    m_size = new QComboBox(format);
    m_size->setObjectName(QStringLiteral("documentFontSize"));
    m_size->setEditable(true);
    named(m_size, QStringLiteral("字号"));
    m_size->setInsertPolicy(QComboBox::NoInsert);
    m_size->addItems(fontSizeChoices());
    m_size->setMinimumContentsLength(4);
    format->addWidget(m_size);
    format->addSeparator();
    for (QAction* action : {m_actions.bold, m_actions.italic, m_actions.underline, m_actions.colour})
        format->addAction(action);
    format->addSeparator();
    for (QAction* action : m_actions.alignment->actions())
        format->addAction(action);

    // The find bar, shown by 查找.
    m_findBar = new FindBar(m_editor, statusBar(), this);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
}

void DocumentWindow::connectActions()
{
    const EditorActions& a = m_actions;
    connect(a.save, &QAction::triggered, this, [this] { save(false); });
    connect(a.saveAs, &QAction::triggered, this, [this] { save(true); });
    connect(a.exportPdf, &QAction::triggered, this, &DocumentWindow::exportPdf);
    connect(a.exportPicture, &QAction::triggered, this, [this] {
        if (const auto document = m_shown.lock())
            askAndExportPictures(this, document);
    });
    connect(a.printPreview, &QAction::triggered, this, &DocumentWindow::printPreview);
    connect(a.print, &QAction::triggered, this, &DocumentWindow::print);
    connect(a.close, &QAction::triggered, this, &QWidget::close);

    connect(a.undo, &QAction::triggered, m_editor, &QTextEdit::undo);
    connect(a.redo, &QAction::triggered, m_editor, &QTextEdit::redo);
    connect(a.cut, &QAction::triggered, m_editor, &QTextEdit::cut);
    connect(a.copy, &QAction::triggered, m_editor, &QTextEdit::copy);
    connect(a.paste, &QAction::triggered, m_editor, &QTextEdit::paste);
    connect(a.selectAll, &QAction::triggered, m_editor, &QTextEdit::selectAll);
    connect(m_editor, &QTextEdit::undoAvailable, a.undo, &QAction::setEnabled);
    connect(m_editor, &QTextEdit::redoAvailable, a.redo, &QAction::setEnabled);
    connect(m_editor, &QTextEdit::copyAvailable, a.cut, &QAction::setEnabled);
    connect(m_editor, &QTextEdit::copyAvailable, a.copy, &QAction::setEnabled);
    a.undo->setEnabled(false);
    a.redo->setEnabled(false);
    a.cut->setEnabled(false);
    a.copy->setEnabled(false);
    connect(a.find, &QAction::triggered, m_findBar, &FindBar::open);

    connect(a.bold, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        mergeFormat(format);
    });
    connect(a.italic, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontItalic(on);
        mergeFormat(format);
    });
    connect(a.underline, &QAction::triggered, this, [this](bool on) {
        QTextCharFormat format;
        format.setFontUnderline(on);
        mergeFormat(format);
    });
    connect(a.colour, &QAction::triggered, this, &DocumentWindow::chooseColour);
    // A family or size chosen from the list or typed and confirmed with
    // Enter applies, and the keyboard goes back to the text.
    const auto applyFamily = [this] {
        QTextCharFormat format;
        format.setFontFamilies(QStringList{m_family->currentText()});
        mergeFormat(format);
        m_editor->setFocus();
    };
    const auto applySize = [this] {
        this->applySize(m_size->currentText());
        m_editor->setFocus();
    };
    // 字体 and 字号 in the menu (Ctrl+Shift+F, Ctrl+Shift+P) take the
    // keyboard to the boxes; Esc there goes back to the text unchanged.
    const auto focusBox = [](QComboBox* box) {
        box->setFocus(Qt::ShortcutFocusReason);
        box->lineEdit()->selectAll();
    };
    connect(a.chooseFamily, &QAction::triggered, this, [this, focusBox] { focusBox(m_family); });
    connect(a.chooseSize, &QAction::triggered, this, [this, focusBox] { focusBox(m_size); });
    for (QComboBox* box : {static_cast<QComboBox*>(m_family), m_size}) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), box, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(escape, &QShortcut::activated, this, [this] {
            showFormat();
            m_editor->setFocus();
        });
    }
    const auto stepSize = [this](bool larger) {
        const QTextCharFormat current = m_editor->currentCharFormat();
        const double points = current.fontPointSize() > 0 ? current.fontPointSize()
                                                            : m_editor->document()->defaultFont().pointSizeF();
        QTextCharFormat format;
        format.setFontPointSize(nextFontSize(points, larger));
        mergeFormat(format);
    };
    connect(a.growFont, &QAction::triggered, this, [stepSize] { stepSize(true); });
    connect(a.shrinkFont, &QAction::triggered, this, [stepSize] { stepSize(false); });
    connect(m_family, &QComboBox::activated, this, applyFamily);
    connect(m_family->lineEdit(), &QLineEdit::returnPressed, this, applyFamily);
    connect(m_size, &QComboBox::activated, this, applySize);
    connect(m_size->lineEdit(), &QLineEdit::returnPressed, this, applySize);
    const auto align = [this](Qt::Alignment alignment) {
        m_editor->setAlignment(alignment);
        showFormat();
    };
    connect(a.alignLeft, &QAction::triggered, this, [align] { align(Qt::AlignLeft | Qt::AlignAbsolute); });
    connect(a.alignCenter, &QAction::triggered, this, [align] { align(Qt::AlignHCenter); });
    connect(a.alignRight, &QAction::triggered, this, [align] { align(Qt::AlignRight | Qt::AlignAbsolute); });
    connect(a.alignJustify, &QAction::triggered, this, [align] { align(Qt::AlignJustify); });

    using namespace tableediting;
    connect(a.insertRowAbove, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return insertRows(c, false); }); });
    connect(a.insertRowBelow, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return insertRows(c, true); }); });
    connect(a.insertColumnLeft, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return insertColumns(c, false); }); });
    connect(a.insertColumnRight, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return insertColumns(c, true); }); });
    connect(a.deleteRows, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return removeRows(c); }); });
    connect(a.deleteColumns, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return removeColumns(c); }); });
    connect(a.mergeCells, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return mergeCells(c); }); });
    connect(a.splitCells, &QAction::triggered, this, [this] { tableCommand([](auto& c) { return splitCells(c); }); });
    connect(a.columnWidth, &QAction::triggered, this, &DocumentWindow::askColumnWidth);
    connect(a.rowHeight, &QAction::triggered, this, &DocumentWindow::askRowHeight);
    connect(a.cellTop, &QAction::triggered, this, [this] {
        tableCommand([](auto& c) { return setVerticalAlignment(c, QTextCharFormat::AlignTop); });
    });
    connect(a.cellCenter, &QAction::triggered, this, [this] {
        tableCommand([](auto& c) { return setVerticalAlignment(c, QTextCharFormat::AlignMiddle); });
    });
    connect(a.cellBottom, &QAction::triggered, this, [this] {
        tableCommand([](auto& c) { return setVerticalAlignment(c, QTextCharFormat::AlignBottom); });
    });

    connect(m_editor, &QTextEdit::currentCharFormatChanged, this, &DocumentWindow::showFormat);
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &DocumentWindow::showFormat);
    connect(m_editor, &PageEditor::pastedPlainText, this, [this] {
        statusBar()->showMessage(QStringLiteral("粘贴的内容只保留了文字：本程序的文档不能保存其中的图片、链接和其他格式。"),
                                 8000);
    });
}

void DocumentWindow::mergeFormat(const QTextCharFormat& format)
{
    QTextCursor cursor = m_editor->textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    m_editor->mergeCurrentCharFormat(format);
    showFormat();
}

void DocumentWindow::applySize(const QString& text)
{
    const auto points = fontSizeFromText(text);
    if (!points) {
        statusBar()->showMessage(QStringLiteral("“%1”不是有效的字号。").arg(text), 5000);
        showFormat();
        return;
    }
    QTextCharFormat format;
    format.setFontPointSize(*points);
    mergeFormat(format);
}

void DocumentWindow::chooseColour()
{
    const auto colour = dialogue::current().colour(this, m_editor->textColor(), QStringLiteral("字体颜色"));
    if (!colour)
        return;
    QTextCharFormat format;
    format.setForeground(*colour);
    mergeFormat(format);
}

void DocumentWindow::showFormat()
{
    const QTextCharFormat format = m_editor->currentCharFormat();
    const QFont font = format.font();
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? m_editor->document()->defaultFont().family() : families.first();
    if (m_family->currentText() != family)
        m_family->setEditText(family);
    const double size = format.fontPointSize() > 0 ? format.fontPointSize() : m_editor->document()->defaultFont().pointSizeF();
    m_size->setEditText(fontSizeText(size));
    m_actions.bold->setChecked(format.fontWeight() >= QFont::Bold);
    m_actions.italic->setChecked(format.fontItalic());
    m_actions.underline->setChecked(format.fontUnderline());
    const Qt::Alignment alignment = m_editor->alignment();
    if (alignment & Qt::AlignHCenter)
        m_actions.alignCenter->setChecked(true);
    else if (alignment & Qt::AlignJustify)
        m_actions.alignJustify->setChecked(true);
    else if (alignment & Qt::AlignRight)
        m_actions.alignRight->setChecked(true);
    else
        m_actions.alignLeft->setChecked(true);

    QTextCursor cursor = m_editor->textCursor();
    QTextTable* table = cursor.currentTable();
    for (QAction* action : {m_actions.insertRowAbove, m_actions.insertRowBelow, m_actions.insertColumnLeft,
                            m_actions.insertColumnRight, m_actions.deleteRows, m_actions.deleteColumns,
                            m_actions.mergeCells, m_actions.splitCells, m_actions.columnWidth, m_actions.rowHeight,
                            m_actions.cellTop, m_actions.cellCenter,
                            m_actions.cellBottom})
        action->setEnabled(table != nullptr);
    if (table) {
        switch (table->cellAt(cursor).format().verticalAlignment()) {
        case QTextCharFormat::AlignMiddle: m_actions.cellCenter->setChecked(true); break;
        case QTextCharFormat::AlignBottom: m_actions.cellBottom->setChecked(true); break;
        default: m_actions.cellTop->setChecked(true);
        }
    }
}

void DocumentWindow::closeForQuit()
{
    m_quitting = true;
    m_editor->showDocument(nullptr, m_editor->pageLayout().page);
    close();
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    // The user closed the window: the instance ends with it, once unsaved
    // changes are settled.
    try {
        if (!settleUnsavedChanges(*m_instance, UnsavedChanges::Ask)) {
            event->ignore();
            refresh();
            return;
        }
    } catch (const Error& error) {
        dialogue::warn(this, error.message());
        event->ignore();
        refresh();
        return;
    }
    m_quitting = true;
    m_editor->showDocument(nullptr, m_editor->pageLayout().page);
    m_instance->window = nullptr;
    m_instance->end();
    event->accept();
}

} // namespace wordprocessor
