#include "automation/factory.h"

#include "automation/builtin/builtinapplication.h"
#include "common/dialogue.h"
#ifdef LUMETRA_HAVE_LIBREOFFICE
#include "automation/libreoffice/officeapplication.h"
#endif

namespace word {

namespace {

EngineFactory& overrideFactory()
{
    static EngineFactory factory;
    return factory;
}

Engine& chosenEngine()
{
    static Engine engine = Engine::Builtin;
    return engine;
}

// A LibreOffice instance, or the reason there is none.
std::shared_ptr<Application> startLibreOffice(QString* problem)
{
#ifdef LUMETRA_HAVE_LIBREOFFICE
    try {
        return libreoffice::OfficeApplication::create();
    } catch (const AutomationError& error) {
        *problem = error.message();
    }
#else
    *problem = QStringLiteral("这个版本的 Lumetra 在构建时没有包含 LibreOffice 引擎。");
#endif
    return nullptr;
}

} // namespace

std::optional<Engine> engineFromName(const QString& name)
{
    if (name.compare(QLatin1String("builtin"), Qt::CaseInsensitive) == 0)
        return Engine::Builtin;
    if (name.compare(QLatin1String("libreoffice"), Qt::CaseInsensitive) == 0)
        return Engine::LibreOffice;
    return std::nullopt;
}

QString engineTitle(Engine engine)
{
    return engine == Engine::Builtin ? QStringLiteral("Lumetra 自带的文字处理程序")
                                     : QStringLiteral("LibreOffice Writer");
}

bool engineAvailable(Engine engine)
{
    if (engine == Engine::Builtin)
        return true;
#ifdef LUMETRA_HAVE_LIBREOFFICE
    return libreoffice::libreOfficeInstalled();
#else
    return false;
#endif
}

void setPreferredEngine(Engine engine)
{
    chosenEngine() = engine;
#ifdef LUMETRA_HAVE_LIBREOFFICE
    if (engine != Engine::LibreOffice)
        libreoffice::endLibreOfficeStartedAhead();
#endif
}

bool engineReadyAhead()
{
#ifdef LUMETRA_HAVE_LIBREOFFICE
    return libreoffice::libreOfficeReadyAhead();
#else
    return false;
#endif
}

void prepareEngine()
{
#ifdef LUMETRA_HAVE_LIBREOFFICE
    if (chosenEngine() == Engine::LibreOffice && !overrideFactory()
        && qEnvironmentVariable("LUMETRA_LIBREOFFICE_AHEAD") != QLatin1String("0"))
        libreoffice::startLibreOfficeAhead();
#endif
}

Engine preferredEngine()
{
    return chosenEngine();
}

std::shared_ptr<Application> createObject(const QString& className)
{
    if (className.compare(QLatin1String("word.application"), Qt::CaseInsensitive) != 0)
        throw AutomationError(QStringLiteral("无法创建对象“%1”：没有这个名称的文字处理程序。").arg(className));
    if (overrideFactory())
        return overrideFactory()();
    if (chosenEngine() == Engine::LibreOffice) {
        QString problem;
        if (auto office = startLibreOffice(&problem))
            return office;
        const auto answer = dialogue::show(
            nullptr, {QStringLiteral("无法使用 LibreOffice Writer：%1\n\n要改用 Lumetra 自带的文字处理程序吗？").arg(problem),
                      QStringLiteral("LibreOffice"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
                      QMessageBox::Yes});
        if (answer != QMessageBox::Yes)
            throw AutomationError(QStringLiteral("无法使用 LibreOffice Writer：%1").arg(problem));
        chosenEngine() = Engine::Builtin;
    }
    return builtin::BuiltinApplication::create();
}

std::shared_ptr<Application> createWindowless()
{
    return builtin::BuiltinApplication::createWindowless();
}

void setEngineFactory(EngineFactory factory)
{
    overrideFactory() = std::move(factory);
}

} // namespace word
