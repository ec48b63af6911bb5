#include "platform/commandline.h"

#include "platform/printdestination.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cstdio>

#ifndef LUMETRA_VERSION
#error "LUMETRA_VERSION comes from project(VERSION) in CMakeLists.txt"
#endif

namespace platform {

namespace {

const QCommandLineOption& helpOption()
{
    static const QCommandLineOption option({QStringLiteral("h"), QStringLiteral("help")},
                                           QStringLiteral("显示本帮助并退出"));
    return option;
}

const QCommandLineOption& versionOption()
{
    static const QCommandLineOption option({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("显示版本号并退出"));
    return option;
}

const QCommandLineOption& wordProcessorOption()
{
    static const QCommandLineOption option(
        QStringLiteral("word-processor"),
#ifdef LUMETRA_HAVE_LIBREOFFICE
        QStringLiteral("使用的文字处理程序：builtin（程序自带，默认）或 libreoffice（LibreOffice Writer）"),
#else
        QStringLiteral("使用的文字处理程序：builtin（程序自带，默认）；libreoffice 在本版本中不可用"),
#endif
        QStringLiteral("引擎"));
    return option;
}

bool knownWordProcessor(const QString& name)
{
    return name == QLatin1String("builtin") || name == QLatin1String("libreoffice");
}

// The program's options, in the order --help lists them. A new option is
// added here, given a field in CommandLine and read in parseCommandLine.
QList<QCommandLineOption> options()
{
    return {helpOption(), versionOption(), wordProcessorOption()};
}

// "-h, --help" or "--name=<值>".
QString namesOf(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral("=<%1>").arg(option.valueName());
    return text;
}

QString fileFrom(const QString& argument)
{
    QString path = argument;
    if (argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isLocalFile())
            path = url.toLocalFile();
    }
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // One dash or two alike, as Qt's own options: "-reverse" must not read
    // as -r -e -v ... before Qt has taken it off the line.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options());
    const bool parsed = parser.parse(arguments);

    CommandLine line;
    if (parser.isSet(helpOption())) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(versionOption())) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    line.action = CommandLine::Action::Error;
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty()) {
            line.error = parser.errorText();
        } else {
            const QString& name = unknown.constFirst();
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            line.error = QStringLiteral("未知选项“%1%2”。").arg(dashes, name);
        }
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.error = QStringLiteral("一次只能打开一个文件，命令行上给出了 %1 个。").arg(files.size());
        return line;
    }
    if (files.size() == 1 && files.constFirst().isEmpty()) {
        line.error = QStringLiteral("文件名是空的。");
        return line;
    }
    if (parser.isSet(wordProcessorOption())) {
        line.wordProcessor = parser.value(wordProcessorOption()).trimmed().toLower();
        if (!knownWordProcessor(line.wordProcessor)) {
            line.error = QStringLiteral("文字处理程序“%1”不存在，只能是 builtin 或 libreoffice。")
                             .arg(parser.value(wordProcessorOption()));
            return line;
        }
    }
    line.action = CommandLine::Action::Run;
    if (files.size() == 1)
        line.file = fileFrom(files.constFirst());
    return line;
}

QString chosenWordProcessor(const CommandLine& line, QString* problem)
{
    if (!line.wordProcessor.isEmpty())
        return line.wordProcessor;
    const QString fromEnvironment = qEnvironmentVariable(kWordProcessorVariable).trimmed().toLower();
    if (fromEnvironment.isEmpty() || knownWordProcessor(fromEnvironment))
        return fromEnvironment;
    if (problem)
        *problem = QStringLiteral("环境变量 %1 的值“%2”不是 builtin 或 libreoffice，已忽略。")
                       .arg(QLatin1String(kWordProcessorVariable), qEnvironmentVariable(kWordProcessorVariable));
    return QString();
}

QString programVersion()
{
    return QStringLiteral(LUMETRA_VERSION);
}

QString usageText()
{
    QString text = QStringLiteral("用法：lumetra [选项] [文件.doc]\n"
                                  "在文字处理文档中制作每周课程表。给出一个 Word 97–2003 文档（.doc）时，\n"
                                  "程序启动后像“打开”命令一样打开它。\n\n"
                                  "选项：\n");
    const QList<QCommandLineOption> list = options();
    qsizetype width = 0;
    for (const QCommandLineOption& option : list)
        width = std::max(width, namesOf(option).size());
    for (const QCommandLineOption& option : list)
        text += QStringLiteral("  %1  %2\n").arg(namesOf(option).leftJustified(width), option.description());
    text += QStringLiteral("\n程序也接受 Qt 的标准选项，如 -platform、-style。\n\n"
                           "环境变量：\n"
                           "  %1  打印时不送往打印机，而把打印结果写入这个 PDF 文件\n"
                           "  %2  命令行没有 --word-processor 时使用的文字处理程序\n"
                           "  %3  已设置时，程序不使用自带的 fonts.conf\n")
                .arg(QString::fromLatin1(kPrintToPdfVariable).leftJustified(22),
                     QString::fromLatin1(kWordProcessorVariable).leftJustified(22),
                     QStringLiteral("FONTCONFIG_FILE").leftJustified(22));
    return text;
}

QString versionText()
{
    return QStringLiteral("lumetra %1\n").arg(programVersion());
}

int answerCommandLine(const CommandLine& line)
{
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText().toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(versionText().toUtf8().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fputs(QStringLiteral("lumetra：%1\n请用“lumetra --help”查看用法。\n")
                       .arg(line.error)
                       .toUtf8()
                       .constData(),
                   stderr);
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}

} // namespace platform
