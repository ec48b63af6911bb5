#include "platform/printdestination.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

std::unique_ptr<QPrinter> openPrinter(QString* problem)
{
    const QString pdf = qEnvironmentVariable(kPrintToPdfVariable);
    if (!pdf.isEmpty()) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (problem)
            *problem = QPrinterInfo::availablePrinters().isEmpty()
                           ? QStringLiteral("系统中没有安装打印机，无法打印。")
                           : QStringLiteral("系统没有设置默认打印机，无法打印。");
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid()) {
        if (problem)
            *problem = QStringLiteral("打印机“%1”现在不能使用。").arg(info.printerName());
        return nullptr;
    }
    return printer;
}

} // namespace platform
