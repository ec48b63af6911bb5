// lumetra-timetables: one timetable for each class of a table, from the
// command line (run as `lumetra-doctool timetables`, which starts this
// program: the document tool itself knows nothing of Qt or the word
// processor). The same checks, questions and messages as 工具 → 批量生成课程表,
// with the questions answered by options:
//
//   --from FILE.csv --out DIR [--periods M,A] [--days D] [--title T]
//   [--no-times] [--format doc|docx] [--skip-bad] [--overwrite | --skip-existing]
//
// Exit status: 0 when every timetable asked for was made; 1 when the table
// or the folder is wrong, nothing was made because of it, or making failed;
// 2 for a wrong command line.

#include "batch/maker.h"
#include "create/grid.h"
#include "platform/fontsetup.h"
#include "platform/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

// Where the program's own files are, seen from this program's folder once
// installed (CMake passes the one its install folders give).
#ifndef LUMETRA_BIN_FROM_HELPER
#define LUMETRA_BIN_FROM_HELPER "../../bin"
#endif

namespace {

void say(FILE* to, const QString& text)
{
    std::fputs((text + u'\n').toUtf8().constData(), to);
}

int usage(const QString& problem = QString())
{
    if (!problem.isEmpty())
        say(stderr, QStringLiteral("lumetra-doctool timetables：%1").arg(problem));
    say(stderr, QStringLiteral("usage: lumetra-doctool timetables --from FILE.csv --out DIR [--periods M,A] [--days D]\n"
                               "                                  [--title T] [--no-times] [--format doc|docx]\n"
                               "                                  [--skip-bad]\n"
                               "                                  [--overwrite | --skip-existing]"));
    return 2;
}

struct Options {
    QString from, out;
    batch::Settings settings;
    bool skipBad = false, overwrite = false, skipExisting = false;
};

// The program's folder: this one in a build, the one beside the
// installed programs otherwise; fontconfig is pointed at its fonts.conf.
void findProgramFiles()
{
    std::error_code error;
    const auto self = std::filesystem::canonical("/proc/self/exe", error);
    if (error)
        return;
    const QString here = QFile::decodeName(self.parent_path().c_str());
    QString folder = here;
    if (!QFileInfo::exists(QDir(here).filePath(QStringLiteral("zvn.list"))))
        folder = QDir::cleanPath(QDir(here).filePath(QStringLiteral(LUMETRA_BIN_FROM_HELPER)));
    platform::setProgramFolder(folder);
    const QString config = platform::programFontConfig(folder);
    if (!config.isEmpty())
        setenv("FONTCONFIG_FILE", QFile::encodeName(config).constData(), 0);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    Options o;
    o.settings.request = {QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("课程表"), true,
                          grid::defaultTimeLabels()};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> v;
        if (a == QLatin1String("--skip-bad"))
            o.skipBad = true;
        else if (a == QLatin1String("--overwrite"))
            o.overwrite = true;
        else if (a == QLatin1String("--skip-existing"))
            o.skipExisting = true;
        else if (a == QLatin1String("--no-times"))
            o.settings.request.withTimes = false;
        else if (a != QLatin1String("--from") && a != QLatin1String("--out") && a != QLatin1String("--periods")
                 && a != QLatin1String("--days") && a != QLatin1String("--title")
                 && a != QLatin1String("--format"))
            return usage(QStringLiteral("不认识的参数“%1”。").arg(a));
        else if (!(v = value()))
            return usage(QStringLiteral("%1 后面缺少值。").arg(a));
        else if (a == QLatin1String("--from"))
            o.from = *v;
        else if (a == QLatin1String("--out"))
            o.out = *v;
        else if (a == QLatin1String("--days"))
            o.settings.request.dayCount = *v;
        else if (a == QLatin1String("--title"))
            o.settings.request.title = *v;
        else if (a == QLatin1String("--format")) {
            if (*v == QLatin1String("doc"))
                o.settings.format = batch::FileFormat::Word97;
            else if (*v == QLatin1String("docx"))
                o.settings.format = batch::FileFormat::OfficeOpenXml;
            else
                return usage(QStringLiteral("--format 只能是 doc 或 docx。"));
        }
        else {
            const QStringList counts = v->split(u',');
            if (counts.size() != 2)
                return usage(QStringLiteral("--periods 的值应为“上午节数,下午节数”，例如 4,4。"));
            o.settings.request.morningCount = counts[0];
            o.settings.request.afternoonCount = counts[1];
        }
    }
    if (o.from.isEmpty() || o.out.isEmpty())
        return usage(QStringLiteral("需要 --from 和 --out。"));
    if (o.overwrite && o.skipExisting)
        return usage(QStringLiteral("--overwrite 和 --skip-existing 只能选一个。"));

    // No window is ever shown: the word processor makes files only.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    findProgramFiles();
    QApplication application(argc, argv);

    const auto shape = batch::readShape(o.settings.request);
    if (const QString* problem = std::get_if<QString>(&shape)) {
        say(stderr, *problem);
        return 1;
    }
    o.settings.shape = std::get<batch::Shape>(shape);
    QFile file(o.from);
    if (!file.open(QIODevice::ReadOnly)) {
        say(stderr, QStringLiteral("无法读取“%1”：%2").arg(o.from, file.errorString()));
        return 1;
    }
    if (!QFileInfo(o.out).isDir()) {
        say(stderr, QStringLiteral("文件夹“%1”不存在。").arg(o.out));
        return 1;
    }
    batch::Plan plan = batch::makePlan(batch::parseCsv(batch::decodeCsv(file.readAll())), o.settings.shape);
    batch::placeFiles(plan, o.out, o.settings.format);
    if (plan.unusable || plan.classes.empty()) {
        say(stderr, QStringLiteral("课程总表中有下面的问题，没有可以生成的班级：\n%1").arg(batch::problemList(plan, 1000)));
        return 1;
    }
    if (!plan.problems.empty()) {
        say(stderr, QStringLiteral("课程总表中有下面的问题：\n%1").arg(batch::problemList(plan, 1000)));
        if (!o.skipBad) {
            say(stderr, QStringLiteral("没有生成任何课程表。加上 --skip-bad 可以只生成完整的 %1 个班级。").arg(plan.classes.size()));
            return 1;
        }
        if (!plan.leftOut.isEmpty())
            say(stderr, QStringLiteral("这些班级不会生成：%1。").arg(plan.leftOut.join(QStringLiteral("、"))));
    }
    QStringList existing;
    for (const batch::ClassPlan& one : plan.classes)
        if (one.exists)
            existing << one.path;
    if (!existing.isEmpty() && !o.overwrite && !o.skipExisting) {
        say(stderr, QStringLiteral("文件夹中已经有 %1 个同名的课程表文件：\n%2\n没有生成任何课程表。"
                                   "加上 --overwrite 覆盖它们，或 --skip-existing 跳过它们。")
                        .arg(existing.size())
                        .arg(existing.join(u'\n')));
        return 1;
    }
    const batch::Outcome outcome = batch::makeAll(o.settings, plan, o.overwrite);
    say(outcome.failure.isEmpty() ? stdout : stderr, batch::outcomeMessage(outcome, o.out));
    return outcome.failure.isEmpty() ? 0 : 1;
}
