#include "wordprocessor/editoractions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace wordprocessor {

namespace {

QAction* make(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    // Screen readers read the caption without its access-key mark.
    QString spoken = caption;
    spoken.remove(QLatin1String("...")).remove(u'&');
    action->setProperty("accessibleName", spoken);
    action->setStatusTip(spoken);
    return action;
}

QAction* toggle(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = make(menu, name, caption, shortcut);
    action->setCheckable(true);
    return action;
}

QMenu* menu(QMainWindow* window, const char* name, const QString& caption)
{
    QMenu* m = window->menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    return m;
}

} // namespace

EditorActions EditorActions::create(QMainWindow* window)
{
    EditorActions a{};
    QMenu* file = menu(window, "documentFile", QStringLiteral("文件(&F)"));
    a.save = make(file, "documentSave", QStringLiteral("保存(&S)"), QKeySequence::Save);
    a.saveAs = make(file, "documentSaveAs", QStringLiteral("另存为(&A)..."), QKeySequence::SaveAs);
    file->addSeparator();
    a.exportPdf = make(file, "documentExportPdf", QStringLiteral("导出为 PDF(&E)..."));
    a.exportPicture = make(file, "documentExportPicture", QStringLiteral("导出图片(&I)..."));
    a.printPreview = make(file, "documentPrintPreview", QStringLiteral("打印预览(&V)..."));
    a.print = make(file, "documentPrint", QStringLiteral("打印(&P)..."), QKeySequence::Print);
    file->addSeparator();
    a.close = make(file, "documentClose", QStringLiteral("关闭(&C)"), QKeySequence::Close);

    QMenu* edit = menu(window, "documentEdit", QStringLiteral("编辑(&E)"));
    a.undo = make(edit, "documentUndo", QStringLiteral("撤销(&U)"), QKeySequence::Undo);
    a.redo = make(edit, "documentRedo", QStringLiteral("重做(&R)"), QKeySequence::Redo);
    edit->addSeparator();
    a.cut = make(edit, "documentCut", QStringLiteral("剪切(&T)"), QKeySequence::Cut);
    a.copy = make(edit, "documentCopy", QStringLiteral("复制(&C)"), QKeySequence::Copy);
    a.paste = make(edit, "documentPaste", QStringLiteral("粘贴(&P)"), QKeySequence::Paste);
    a.selectAll = make(edit, "documentSelectAll", QStringLiteral("全选(&L)"), QKeySequence::SelectAll);
    edit->addSeparator();
    a.find = make(edit, "documentFind", QStringLiteral("查找(&F)..."), QKeySequence::Find);

    QMenu* view = menu(window, "documentView", QStringLiteral("视图(&V)"));
    a.zoomIn = make(view, "documentZoomIn", QStringLiteral("放大(&I)"), QKeySequence::ZoomIn);
    // Ctrl+= too: on most keyboards "+" is the shifted "=".
    a.zoomIn->setShortcuts(QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence(Qt::CTRL | Qt::Key_Equal));
    a.zoomOut = make(view, "documentZoomOut", QStringLiteral("缩小(&O)"), QKeySequence::ZoomOut);
    a.zoomReset = make(view, "documentZoomReset", QStringLiteral("实际大小(&R)"), Qt::CTRL | Qt::Key_0);
    a.zoomFitWidth = make(view, "documentZoomFitWidth", QStringLiteral("适合宽度(&W)"));

    QMenu* format = menu(window, "documentFormat", QStringLiteral("格式(&O)"));
    a.chooseFamily = make(format, "documentChooseFamily", QStringLiteral("字体(&F)..."), Qt::CTRL | Qt::SHIFT | Qt::Key_F);
    a.chooseSize = make(format, "documentChooseSize", QStringLiteral("字号(&Z)..."), Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    a.growFont = make(format, "documentGrowFont", QStringLiteral("增大字号(&G)"), Qt::CTRL | Qt::Key_BracketRight);
    a.shrinkFont = make(format, "documentShrinkFont", QStringLiteral("减小字号(&H)"), Qt::CTRL | Qt::Key_BracketLeft);
    format->addSeparator();
    a.bold = toggle(format, "documentBold", QStringLiteral("加粗(&B)"), QKeySequence::Bold);
    a.italic = toggle(format, "documentItalic", QStringLiteral("倾斜(&I)"), QKeySequence::Italic);
    a.underline = toggle(format, "documentUnderline", QStringLiteral("下划线(&U)"), QKeySequence::Underline);
    a.colour = make(format, "documentColour", QStringLiteral("字体颜色(&C)..."));
    format->addSeparator();
    a.alignment = new QActionGroup(window);
    a.alignLeft = toggle(format, "documentAlignLeft", QStringLiteral("左对齐(&L)"), Qt::CTRL | Qt::Key_L);
    a.alignCenter = toggle(format, "documentAlignCenter", QStringLiteral("居中(&E)"), Qt::CTRL | Qt::Key_E);
    a.alignRight = toggle(format, "documentAlignRight", QStringLiteral("右对齐(&R)"), Qt::CTRL | Qt::Key_R);
    a.alignJustify = toggle(format, "documentAlignJustify", QStringLiteral("两端对齐(&J)"), Qt::CTRL | Qt::Key_J);
    for (QAction* action : {a.alignLeft, a.alignCenter, a.alignRight, a.alignJustify})
        a.alignment->addAction(action);

    QMenu* table = menu(window, "documentTable", QStringLiteral("表格(&A)"));
    a.insertRowAbove = make(table, "documentInsertRowAbove", QStringLiteral("在上方插入行(&A)"));
    a.insertRowBelow = make(table, "documentInsertRowBelow", QStringLiteral("在下方插入行(&B)"));
    a.insertColumnLeft = make(table, "documentInsertColumnLeft", QStringLiteral("在左侧插入列(&L)"));
    a.insertColumnRight = make(table, "documentInsertColumnRight", QStringLiteral("在右侧插入列(&R)"));
    table->addSeparator();
    a.deleteRows = make(table, "documentDeleteRows", QStringLiteral("删除行(&D)"));
    a.deleteColumns = make(table, "documentDeleteColumns", QStringLiteral("删除列(&C)"));
    table->addSeparator();
    a.mergeCells = make(table, "documentMergeCells", QStringLiteral("合并单元格(&M)"));
    a.splitCells = make(table, "documentSplitCells", QStringLiteral("拆分单元格(&S)"));
    table->addSeparator();
    a.columnWidth = make(table, "documentColumnWidth", QStringLiteral("列宽(&W)..."));
    a.rowHeight = make(table, "documentRowHeight", QStringLiteral("行高(&H)..."));
    table->addSeparator();
    a.cellAlignment = new QActionGroup(window);
    a.cellTop = toggle(table, "documentCellTop", QStringLiteral("单元格顶端对齐(&T)"));
    a.cellCenter = toggle(table, "documentCellCenter", QStringLiteral("单元格垂直居中(&V)"));
    a.cellBottom = toggle(table, "documentCellBottom", QStringLiteral("单元格底端对齐(&O)"));
    for (QAction* action : {a.cellTop, a.cellCenter, a.cellBottom})
        a.cellAlignment->addAction(action);
    return a;
}

} // namespace wordprocessor
