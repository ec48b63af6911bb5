#pragma once
// 导出图片: the small dialog with the picture's choices (resolution, whole
// page), then the file through the dialogue. The main window and the
// built-in word processor's window both ask this way.

#include "common/pagepictures.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace pictures {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent);
    Options options() const;

    QComboBox* resolution;
    QCheckBox* wholePage;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

// Shows the choices (the caller goes on; the dialog is modal to its
// window), then asks for the file, proposing `proposedPath`. `save` runs
// once the user has given both, with the path's suffix settled.
void ask(QWidget* parent, const QString& proposedPath,
         std::function<void(const QString& path, const Options& options)> save);

} // namespace pictures
