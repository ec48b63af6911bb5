// libFuzzer target: any bytes offered as a subject file must be checked,
// read and sorted without a crash, a hang or running out of memory, with the
// check and the reader agreeing (see subjectinvariants.h).
#include "subjectinvariants.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
QTemporaryDir* workDir = nullptr;
QString* filePath = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    workDir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/fuzz-subjects-XXXXXX"));
    if (!workDir->isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        std::abort();
    }
    std::atexit([] { delete workDir; });
    filePath = new QString(workDir->filePath(QStringLiteral("subjects.list")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = subjects::invariants::violation(bytes, *filePath);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "subject file invariant broken: %s\n", problem.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
