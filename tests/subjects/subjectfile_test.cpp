// The subject description file: items, sections, checking, reading, sorting,
// encodings and the shipped default file.

#include "subjects/subjectfile.h"

#include "subjects/fuzz/subjectinvariants.h"
#include "support/printers.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace subjects;

namespace {

class SubjectFile : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("k.list"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString write(const QString& text) { return write(text.toUtf8()); }

    static QString faultText(const QString& path)
    {
        try {
            readFile(path);
        } catch (const FileError& e) {
            return e.message();
        }
        return {};
    }
};

const QString kHead = QStringLiteral("[info]\nsort=0\n[kemu]\n");

} // namespace

TEST(SubjectItems, LinesCommasEmptyLinesAndTheEnd)
{
    EXPECT_EQ(readItems(""), QStringList());
    EXPECT_EQ(readItems("a"), QStringList({"a"}));
    EXPECT_EQ(readItems("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(readItems("a\r\n\r\n"), QStringList({"a", ""}));
    EXPECT_EQ(readItems("\n"), QStringList({""}));
    EXPECT_EQ(readItems("a,b,,c\nd"), QStringList({"a", "b", "", "c", "d"}));
    EXPECT_EQ(readItems("a,"), QStringList({"a", ""}));
    EXPECT_EQ(readItems("a,\r\nb"), QStringList({"a", "", "b"}));
    // CR, LF and CR LF are the same line end.
    for (const char* text : {"a\rb\r\rc\r", "a\nb\n\nc\n", "a\r\nb\r\n\r\nc\r\n"})
        EXPECT_EQ(readItems(text), QStringList({"a", "b", "", "c"})) << text;
}

TEST(SubjectItems, QuotesAndBlanks)
{
    EXPECT_EQ(readItems(" \tyw - 语文 \t,x"), QStringList({"yw - 语文", "x"}));
    EXPECT_EQ(readItems("\" a,b \",c"), QStringList({" a,b ", "c"}));
    EXPECT_EQ(readItems("  \"a\"dropped text,b"), QStringList({"a", "b"}));
    EXPECT_EQ(readItems("\"a\nb\"\nc"), QStringList({"a\nb", "c"}));
    EXPECT_EQ(readItems("x,\"open, to the end\r\nline\r\n"), QStringList({"x", "open, to the end\r\nline"}));
    EXPECT_EQ(readItems("a\"b\",c"), QStringList({"a\"b\"", "c"})); // a quote inside is kept
}

TEST_F(SubjectFile, MarkersAnyCaseSettingsAndSubjectSplitting)
{
    const QString path = write(QStringLiteral("sort=1,-x-\n[kemu]\n[Info]\n sort=1 \n[KEMU]\n"
                                              "b-c-d,-语文\n\"yy-英语, 口语\"\nsx-"));
    EXPECT_EQ(checkFile(path), Fault::None);
    const SubjectList list = readFile(path);
    EXPECT_EQ(list.keys, QStringList({"", "b", "sx", "yy"}));
    EXPECT_EQ(list.names, QStringList({"语文", "c-d", "", "英语, 口语"}));

    // Interior blanks keep "sort = 1" from being the switch; the last switch counts.
    for (const auto& [settings, sorted] : {std::pair{"sort = 1", false}, {"SORT=1", true},
                                           {"sort=1,sort=0", false}, {"sort=0\nsort=1", true},
                                           {"\" sort=1\"", false}}) {
        const SubjectList l = readFile(write(QStringLiteral("[info]\n%1\n[kemu]\nb-2\na-1\n").arg(settings)));
        EXPECT_EQ(l.keys, sorted ? QStringList({"a", "b"}) : QStringList({"b", "a"})) << settings;
    }
}

TEST_F(SubjectFile, CheckFindsEachFaultWithItsMessage)
{
    const struct {
        QString text;
        Fault fault;
    } cases[] = {
        {"", Fault::NoInfo},
        {"a-b\n[kemu]\nc-d\n", Fault::NoInfo},
        {"[info]\r\n", Fault::NoInfo},
        {"[info]", Fault::NoInfo},
        {"[info]\nsort=1\n", Fault::NoKemu},
        {"[info]\n[kemu]\r\n", Fault::NoKemu},
        {kHead + "yw-语文\r\n\r\n", Fault::NoHyphen},
        {kHead + "yw-语文\n\nsx-数学\n", Fault::NoHyphen},
        {kHead + QStringLiteral("yw－语文\n"), Fault::NoHyphen},
        {kHead + "yw-语文,sx\n", Fault::NoHyphen},
        {kHead + "yw-语文\r\n", Fault::None},
    };
    for (const auto& c : cases) {
        const QString path = write(c.text);
        EXPECT_EQ(checkFile(path), c.fault) << c.text.toStdString();
        EXPECT_EQ(faultText(path).isEmpty(), c.fault == Fault::None) << c.text.toStdString();
    }
    EXPECT_EQ(checkMessage(Fault::None), QString());
    EXPECT_EQ(checkMessage(Fault::Missing), QStringLiteral("您所指定的课程描述文件不存在，请重新选择。否则将使用默认设置。"));
    EXPECT_EQ(checkMessage(Fault::NoInfo),
              QStringLiteral("您所指定的课程描述文件中找不到[INFO]部分，请重新选择。否则将使用默认设置。"));
    EXPECT_EQ(checkMessage(Fault::NoKemu),
              QStringLiteral("您所指定的课程描述文件中找不到[KEMU]部分，请重新选择。否则将使用默认设置。"));
    EXPECT_EQ(checkMessage(Fault::NoHyphen),
              QStringLiteral("您所指定的课程描述文件描述课程时缺少“-”字符，请重新选择。否则将使用默认设置。"));
    EXPECT_TRUE(checkMessage(Fault::Unreadable).contains(QStringLiteral("无法打开")));
    EXPECT_TRUE(checkMessage(Fault::TooMany).contains(QStringLiteral("32767")));
}

TEST_F(SubjectFile, MissingHiddenDirectoryAndUnopenableFiles)
{
    const QString content = kHead + "yw-语文\n";
    const QString hidden = write(content.toUtf8(), QStringLiteral(".hidden.list"));
    const QString missing = dir.filePath(QStringLiteral("none.list"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.list"));
    for (const QString& path : {missing, hidden, dir.filePath(QStringLiteral("folder.list")), QString()}) {
        EXPECT_EQ(checkFile(path), Fault::Missing) << path.toStdString();
        try {
            readFile(path);
            ADD_FAILURE() << "read " << path.toStdString();
        } catch (const FileError& e) {
            EXPECT_EQ(e.fault(), Fault::Missing);
            EXPECT_TRUE(e.message().contains(path));
            EXPECT_TRUE(e.message().contains(QStringLiteral("不存在")));
        }
    }

    // A socket file exists but cannot be opened, even by root.
    const QString socketPath = dir.filePath(QStringLiteral("s.list"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(native.size()), sizeof(address.sun_path));
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(checkFile(socketPath), Fault::Unreadable);
    EXPECT_THROW(readFile(socketPath), FileError);
    ::close(fd);
}

TEST_F(SubjectFile, PipesDevicesAndHugeFilesAreRefusedUnread)
{
    // A pipe would keep the program waiting for a writer, /dev/zero would be
    // read until memory runs out.
    const QString pipe = dir.filePath(QStringLiteral("pipe.list"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zero = dir.filePath(QStringLiteral("zero.list"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString& path : {pipe, zero}) {
        EXPECT_EQ(checkFile(path), Fault::Unreadable) << path.toStdString();
        try {
            readFile(path);
            ADD_FAILURE() << "read " << path.toStdString();
        } catch (const FileError& e) {
            EXPECT_EQ(e.fault(), Fault::Unreadable);
        }
    }

    // Up to kMaxFileBytes is read, one byte more is not.
    QByteArray bytes = "[info]\n[kemu]\nk-";
    bytes += QByteArray(kMaxFileBytes - bytes.size(), 'x');
    const QString largest = write(bytes, QStringLiteral("largest.list"));
    EXPECT_EQ(checkFile(largest), Fault::None);
    EXPECT_EQ(readFile(largest).names.first().size(), kMaxFileBytes - 16);
    const QString huge = write(bytes + 'x', QStringLiteral("huge.list"));
    EXPECT_EQ(checkFile(huge), Fault::TooLarge);
    try {
        readFile(huge);
        ADD_FAILURE() << "read a file of more than 16 MiB";
    } catch (const FileError& e) {
        EXPECT_EQ(e.fault(), Fault::TooLarge);
        EXPECT_TRUE(e.message().contains(huge));
    }
    EXPECT_TRUE(checkMessage(Fault::TooLarge).contains(QStringLiteral("16MB")));
}

TEST_F(SubjectFile, ReadErrorsNameTheFileAndTheFault)
{
    const QString noHyphen = write(kHead + "yw-语文\n数学\n");
    EXPECT_TRUE(faultText(noHyphen).contains(noHyphen));
    EXPECT_TRUE(faultText(noHyphen).contains(QStringLiteral("第2门课程“数学”")));
    EXPECT_TRUE(faultText(write(QStringLiteral("x\n"))).contains(QStringLiteral("[INFO]")));
    EXPECT_TRUE(faultText(write(QStringLiteral("[info]\n"))).contains(QStringLiteral("[INFO]")));
    EXPECT_TRUE(faultText(write(QStringLiteral("[info]\nx\n"))).contains(QStringLiteral("[KEMU]")));

    QByteArray many = kHead.toUtf8();
    for (int i = 0; i < kMaxSubjects; ++i)
        many += "k-n\n";
    EXPECT_EQ(readFile(write(many)).keys.size(), kMaxSubjects);
    const QString tooMany = write(many + "k-n\n");
    EXPECT_EQ(checkFile(tooMany), Fault::TooMany);
    try {
        readFile(tooMany);
        ADD_FAILURE() << "read 32768 subjects";
    } catch (const FileError& e) {
        EXPECT_EQ(e.fault(), Fault::TooMany);
        EXPECT_TRUE(e.message().contains(QStringLiteral("32768")));
        EXPECT_STRNE(e.what(), "");
    }
}

TEST(SubjectSort, ExchangeOrderByCodeUnits)
{
    SubjectList list{{"10", "2", "1"}, {"十", "二", "一"}};
    sortSubjects(list);
    EXPECT_EQ(list.keys, QStringList({"1", "10", "2"}));
    EXPECT_EQ(list.names, QStringList({"一", "十", "二"}));

    // Equal keys are never exchanged with each other, but the exchanges with
    // other keys do reorder them: b/甲 ends up after b/乙.
    list = {{"b", "b", "a"}, {"甲", "乙", "丙"}};
    sortSubjects(list);
    EXPECT_EQ(list.keys, QStringList({"a", "b", "b"}));
    EXPECT_EQ(list.names, QStringList({"丙", "乙", "甲"}));
    list = {{"a", "B"}, {"小", "大"}}; // upper case comes first
    sortSubjects(list);
    EXPECT_EQ(list.names, QStringList({"大", "小"}));

    // An empty first key: the names alone are sorted, the keys stay put.
    list = {{"", "b", "a"}, {"甲", "乙", "丙"}};
    sortSubjects(list);
    EXPECT_EQ(list.keys, QStringList({"", "b", "a"}));
    EXPECT_EQ(list.names, QStringList({"丙", "乙", "甲"}));

    list = {{"a"}, {}};
    EXPECT_THROW(sortSubjects(list), std::invalid_argument);
}

TEST(SubjectSort, SameOrderAsTheExchangeStepByStep)
{
    // Lists drawn from 1 to 30 keys (many equal), 500 keys (a few) and
    // 100,000 keys (almost surely distinct), with and without an empty
    // first key.
    quint32 seed = 12345;
    auto next = [&seed](quint32 range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (const quint32 range : {1u, 2u, 3u, 30u, 500u, 100000u}) {
        for (const bool emptyFirst : {false, true}) {
            SubjectList list;
            for (int i = 0; i < 1500; ++i) {
                list.keys.append(QString::number(next(range)));
                list.names.append(QString::number(i));
            }
            if (emptyFirst)
                list.keys.first().clear();
            SubjectList expected = list;
            QStringList& order = emptyFirst ? expected.names : expected.keys;
            for (qsizetype i = 0; i + 1 < order.size(); ++i) {
                for (qsizetype j = i + 1; j < order.size(); ++j) {
                    if (order[i] > order[j]) {
                        order.swapItemsAt(i, j);
                        if (!emptyFirst)
                            expected.names.swapItemsAt(i, j);
                    }
                }
            }
            sortSubjects(list);
            EXPECT_EQ(list.keys, expected.keys) << range << emptyFirst;
            EXPECT_EQ(list.names, expected.names) << range << emptyFirst;
        }
    }
}

TEST_F(SubjectFile, AFullFileOfRepeatedKeysSortsInExchangeOrder)
{
    // The most subjects a file may hold, under two keys taking turns: the
    // exchange done step by step needs half a billion comparisons here
    // (the time is measured by the subject-file benchmark).
    QByteArray text = "[info]\nsort=1\n[kemu]\n";
    for (int i = 0; i < kMaxSubjects; ++i)
        text += (i % 2 ? "a-" : "b-") + QByteArray::number(i) + '\n';
    const QString path = write(text);

    const SubjectList list = readFile(path);

    ASSERT_EQ(list.keys.size(), kMaxSubjects);
    const qsizetype as = kMaxSubjects / 2;
    EXPECT_EQ(list.keys.count(QStringLiteral("a")), as);
    EXPECT_TRUE(std::is_sorted(list.keys.begin(), list.keys.end()));
    // The smallest key is never passed over: its subjects keep file order.
    for (qsizetype i = 0; i < as; ++i)
        EXPECT_EQ(list.names[i], QString::number(2 * i + 1));
    // Every b moved; all of them are still there.
    QStringList bNames = list.names.mid(as);
    std::sort(bNames.begin(), bNames.end(), [](const QString& x, const QString& y) { return x.toInt() < y.toInt(); });
    for (qsizetype i = 0; i < bNames.size(); ++i)
        EXPECT_EQ(bNames[i], QString::number(2 * i));
}

TEST_F(SubjectFile, EncodingsAndLineEndsGiveTheSameList)
{
    const QString text = QStringLiteral("说明\r\n[info]\r\nsort=1\r\n[kemu]\r\nyw-语文\r\nsx-数学\r\nyy-英语\r\n");
    const QByteArray utf8 = text.toUtf8();
    QStringEncoder toGbk("GB18030");
    const QByteArray gbk = toGbk.encode(text);
    ASSERT_FALSE(toGbk.hasError());
    ASSERT_TRUE(gbk.contains("\xD3\xEF\xCE\xC4")); // 语文 in GBK

    const SubjectList expected = readFile(write(utf8));
    EXPECT_EQ(expected.keys, QStringList({"sx", "yw", "yy"}));
    EXPECT_EQ(expected.names, QStringList({"数学", "语文", "英语"}));
    QByteArray lf = gbk, cr = gbk;
    lf.replace("\r\n", "\n");
    cr.replace("\r\n", "\r");
    for (const QByteArray& bytes : {QByteArray("\xEF\xBB\xBF") + utf8, gbk, lf, cr}) {
        const SubjectList list = readFile(write(bytes));
        EXPECT_EQ(list.keys, expected.keys);
        EXPECT_EQ(list.names, expected.names);
    }

    // A UTF-8 character cut off at the end makes the file GB18030; the iconv
    // fallback decodes as Qt does.
    EXPECT_EQ(decodeText(QByteArray("a\xE8\xAF")).size(), 2);
    EXPECT_EQ(decodeText(gbk), text);
    EXPECT_EQ(detail::gb18030ViaIconv(gbk), text);
    EXPECT_EQ(detail::gb18030ViaIconv(QByteArray("a\xFF") + "b"), QStringLiteral("a\uFFFDb"));
}

TEST(DefaultSubjectFile, ShippedListPassesAndReadsSorted)
{
    const QByteArray sourceDir = qgetenv("LUMETRA_SOURCE_DIR");
    ASSERT_FALSE(sourceDir.isEmpty()) << "LUMETRA_SOURCE_DIR is not set";
    const QString path = QString::fromLocal8Bit(sourceDir) + QStringLiteral("/dist/zvn.list");
    ASSERT_EQ(checkFile(path), Fault::None);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")); // CR LF line ends
    EXPECT_NE(decodeText(bytes), QString::fromUtf8(bytes)); // stored as GBK, not UTF-8

    const SubjectList list = readFile(path);
    ASSERT_GE(list.keys.size(), 15);
    for (qsizetype i = 0; i < list.keys.size(); ++i) {
        EXPECT_FALSE(list.keys[i].isEmpty());
        EXPECT_FALSE(list.names[i].isEmpty());
        if (i > 0) {
            EXPECT_LT(list.keys[i - 1], list.keys[i]) << "keys sorted and unique";
        }
    }
    for (const char16_t* subject : {u"语文", u"数学", u"英语", u"物理", u"班会", u"自习"})
        EXPECT_TRUE(list.names.contains(QString::fromUtf16(subject)));
}

TEST_F(SubjectFile, SeedAndRegressionFilesKeepTheInvariants)
{
    // The fuzz target's seeds and every input it has caught misbehaving.
    const QByteArray sourceDir = qgetenv("LUMETRA_SOURCE_DIR");
    ASSERT_FALSE(sourceDir.isEmpty()) << "LUMETRA_SOURCE_DIR is not set";
    const QString root = QString::fromLocal8Bit(sourceDir);
    QStringList files{root + QStringLiteral("/dist/zvn.list")};
    for (const QString& folder : {QStringLiteral("/tests/subjects/data"), QStringLiteral("/tests/subjects/regressions")}) {
        const QDir found(root + folder);
        for (const QString& name : found.entryList(QDir::Files, QDir::Name))
            files.append(found.filePath(name));
    }
    ASSERT_GE(files.size(), 9) << "the seed files are missing";
    for (const QString& path : std::as_const(files)) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(invariants::violation(file.readAll(), dir.filePath(QStringLiteral("replay.list"))), QString())
            << path.toStdString();
    }
}
