#include "common/picturedialog.h"

#include "common/dialogue.h"
#include "common/widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pictures {

OptionsDialog::OptionsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("pictureOptions"));
    setWindowTitle(QStringLiteral("导出图片"));
    setAccessibleName(windowTitle());

    resolution = new QComboBox(this);
    resolution->setObjectName(QStringLiteral("pictureResolution"));
    resolution->setAccessibleName(QStringLiteral("分辨率"));
    for (int dpi : resolutions())
        resolution->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    resolution->setCurrentIndex(int(resolutions().indexOf(Options().dpi)));
    auto* resolutionLabel = new QLabel(QStringLiteral("分辨率(&R)："), this);
    resolutionLabel->setObjectName(QStringLiteral("pictureResolutionLabel"));
    resolutionLabel->setBuddy(resolution);

    wholePage = new QCheckBox(QStringLiteral("保留整页(&W)"), this);
    wholePage->setObjectName(QStringLiteral("pictureWholePage"));
    widgets::setCaption(wholePage, wholePage->text());
    auto* note = new QLabel(QStringLiteral("不选时只保留表格和标题，四周留少许空白。"), this);
    note->setObjectName(QStringLiteral("pictureNote"));

    okButton = widgets::button(this, "pictureOk", QStringLiteral("确定(&O)"));
    okButton->setDefault(true);
    cancelButton = widgets::button(this, "pictureCancel", QStringLiteral("取消(&C)"));

    auto* form = new QFormLayout;
    form->addRow(resolutionLabel, resolution);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* lines = new QVBoxLayout(this);
    lines->addLayout(form);
    lines->addWidget(wholePage);
    lines->addWidget(note);
    lines->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

Options OptionsDialog::options() const
{
    return {resolution->currentData().toInt(), wholePage->isChecked()};
}

void ask(QWidget* parent, const QString& proposedPath,
         std::function<void(const QString& path, const Options& options)> save)
{
    auto* dialog = new OptionsDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> owner(parent);
    QObject::connect(dialog, &QDialog::accepted, dialog, [dialog, owner, proposedPath, save] {
        // The rest once the dialog is gone: the file dialog and the export
        // run event loops, in which a closed dialog is deleted.
        QTimer::singleShot(0, owner, [owner, options = dialog->options(), proposedPath, save] {
            const QString folder = QFileInfo(proposedPath).absolutePath();
            const QString path = dialogue::current().saveFile(
                owner, {QStringLiteral("导出图片"), fileFilter(), QStringLiteral("*.png"), folder, proposedPath});
            if (!path.isEmpty() && owner)
                save(withPictureSuffix(path), options);
        });
    });
    dialog->open();
}

} // namespace pictures
