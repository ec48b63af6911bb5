#pragma once
// Qt's own dialogs and buttons (是/否/确定/取消, the file dialog) speak
// Simplified Chinese: Qt's zh_CN translations are loaded at start.

class QCoreApplication;

namespace platform {

// Returns false when Qt's Chinese translations are not installed.
bool loadChineseTranslations(QCoreApplication& application);

} // namespace platform
