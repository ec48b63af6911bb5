#include "wordprocessor/recoverycopies.h"

#include "wordprocessor/docconvert.h"
#include "wordprocessor/document.h"
#include "docfile/document.h"
#include "platform/recovery.h"

#include <QTextDocument>

namespace wordprocessor {

RecoveryCopies::RecoveryCopies()
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(platform::recoveryInterval());
    connect(&m_timer, &QTimer::timeout, this, &RecoveryCopies::writeNow);
}

RecoveryCopies::~RecoveryCopies()
{
    for (const auto& [key, watched] : m_watched)
        platform::removeRecoveryCopy(watched.file);
}

void RecoveryCopies::watch(const std::shared_ptr<DocumentData>& document)
{
    static int counter = 0;
    Watched& watched = m_watched[document.get()];
    watched.document = document;
    watched.file = platform::recoveryFile(QString::number(++counter));
    connect(document->text.get(), &QTextDocument::contentsChanged, this, &RecoveryCopies::changed);
    connect(document->text.get(), &QTextDocument::modificationChanged, this, [this, file = watched.file](bool changed) {
        if (!changed)
            platform::removeRecoveryCopy(file); // saved: the file itself holds the work now
    });
}

void RecoveryCopies::changed()
{
    // At most one copy an interval: the first change starts the clock.
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryCopies::writeNow()
{
    m_timer.stop();
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        const auto document = it->second.document.lock();
        if (!document || !document->text) {
            platform::removeRecoveryCopy(it->second.file);
            it = m_watched.erase(it);
            continue;
        }
        if (document->text->isModified()) {
            // A copy that cannot be written is no reason to stop the user's
            // work: the store says so once, and the next change tries again.
            platform::writeRecoveryCopy(
                it->second.file,
                [&](const QString& temporary) {
                    try {
                        const std::vector<unsigned char> bytes = docfile::writeBytes(toModel(*document));
                        return platform::writeFileBytes(
                            temporary, QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
                    } catch (const docfile::Error& error) {
                        return QStringLiteral("文档不能写成 .doc 文件（%1）").arg(QString::fromStdString(error.what()));
                    }
                },
                document->name, document->path);
        }
        ++it;
    }
}

} // namespace wordprocessor
