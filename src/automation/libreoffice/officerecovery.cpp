#include "automation/libreoffice/officerecovery.h"

#include "automation/libreoffice/uno.h"
#include "platform/recovery.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

namespace word::libreoffice {

OfficeRecovery::OfficeRecovery(EngineState& state) : m_state(state)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(platform::recoveryInterval());
    connect(&m_timer, &QTimer::timeout, this, &OfficeRecovery::writeWhenIdle);
    m_look.setInterval(std::max(platform::recoveryInterval(), 1000));
    connect(&m_look, &QTimer::timeout, this, &OfficeRecovery::writeWhenIdle);
    m_look.start();
}

OfficeRecovery::~OfficeRecovery()
{
    for (const auto& [key, watched] : m_watched)
        platform::removeRecoveryCopy(watched.file);
}

void OfficeRecovery::watch(const DocPtr& document)
{
    static int counter = 0;
    Watched& watched = m_watched[document.get()];
    watched.document = document;
    watched.file = platform::recoveryFile(QStringLiteral("office-%1").arg(++counter));
}

void OfficeRecovery::changed()
{
    // At most one copy an interval: the first change starts the clock.
    if (!m_timer.isActive())
        m_timer.start();
}

void OfficeRecovery::writeWhenIdle()
{
    // The timer may fire while a call waits for the office; the copies are
    // a call of their own, made once that one is done.
    m_state.whenIdle([](EngineState& state) {
        if (state.recovery)
            state.recovery->writeNow();
    });
}

void OfficeRecovery::writeNow()
{
    m_timer.stop();
    // An office lost on the way ends the instance once the walk is over;
    // its end keeps the copies written so far apart.
    const EngineState::Walk walk(m_state);
    for (auto it = m_watched.begin(); it != m_watched.end() && m_state.alive();) {
        const DocPtr document = it->second.document.lock();
        if (!document || document->closed) {
            platform::removeRecoveryCopy(it->second.file);
            it = m_watched.erase(it);
            continue;
        }
        Watched& watched = it->second;
        ++it;
        try {
            const bool modified =
                m_state.call([&] { return bool(as<css::util::XModifiable>(document->model)->isModified()); });
            m_state.settle(*document);
            if (!modified) {
                // Saved since: the file itself holds the work now.
                if (watched.written)
                    platform::removeRecoveryCopy(watched.file);
                watched.written = false;
                continue;
            }
            watched.written |= platform::writeRecoveryCopy(
                watched.file,
                [&](const QString& temporary) {
                    try {
                        m_state.call([&] {
                            const auto url = QUrl::fromLocalFile(QFileInfo(temporary).absoluteFilePath());
                            as<css::frame::XStorable>(document->model)
                                ->storeToURL(toUno(url.toString(QUrl::FullyEncoded)),
                                             arguments({{"FilterName", css::uno::Any(toUno(QStringLiteral("MS Word 97")))}}));
                        });
                        return QString();
                    } catch (const AutomationError& error) {
                        if (error.kind() != AutomationError::NotRunning)
                            return error.message();
                        // Not a problem of the copies: the office is gone.
                        QFile::remove(temporary);
                        throw;
                    }
                },
                document->name, document->path);
        } catch (const AutomationError&) {
            // The office is gone or refused: the copy written before stays.
        }
    }
}

QStringList OfficeRecovery::keepApart()
{
    QStringList kept;
    for (auto& [key, watched] : m_watched) {
        const DocPtr document = watched.document.lock();
        if (!watched.written || !QFileInfo::exists(watched.file))
            continue;
        QString problem;
        const QString file = platform::keepRecoveryCopyApart(
            {watched.file, document ? document->name : QString(), document ? document->path : QString(), {}}, &problem);
        kept << (file.isEmpty() ? problem : QDir::toNativeSeparators(file));
    }
    m_watched.clear();
    return kept;
}

} // namespace word::libreoffice
