#pragma once
// Every command of the document window, made in one place: its caption with
// access key, its objectName, its shortcut (the platform's standard one where
// there is one) and its accessible name; and the menus that hold them. The
// window connects them to the work.

#include <QObject>

class QAction;
class QActionGroup;
class QMainWindow;

namespace wordprocessor {

struct EditorActions {
    // 文件
    QAction* save;
    QAction* saveAs;
    QAction* exportPdf;
    QAction* exportPicture;
    QAction* printPreview;
    QAction* print;
    QAction* close;
    // 编辑
    QAction* undo;
    QAction* redo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* selectAll;
    QAction* find;
    // 视图: the zoom of the page view, which changes nothing in the document
    QAction* zoomIn;
    QAction* zoomOut;
    QAction* zoomReset;
    QAction* zoomFitWidth;
    // 格式: the first two take the keyboard to the toolbar's family and
    // size boxes
    QAction* chooseFamily;
    QAction* chooseSize;
    QAction* growFont;
    QAction* shrinkFont;
    QAction* bold;
    QAction* italic;
    QAction* underline;
    QAction* colour;
    QAction* alignLeft;
    QAction* alignCenter;
    QAction* alignRight;
    QAction* alignJustify;
    QActionGroup* alignment;
    // 表格
    QAction* insertRowAbove;
    QAction* insertRowBelow;
    QAction* insertColumnLeft;
    QAction* insertColumnRight;
    QAction* deleteRows;
    QAction* deleteColumns;
    QAction* mergeCells;
    QAction* splitCells;
    QAction* columnWidth;
    QAction* rowHeight;
    QAction* cellTop;
    QAction* cellCenter;
    QAction* cellBottom;
    QActionGroup* cellAlignment;

    // Makes the actions and puts them in the window's menus 文件, 编辑,
    // 视图, 格式 and 表格.
    static EditorActions create(QMainWindow* window);
};

} // namespace wordprocessor
