#include "automation/factory.h"

#include "automation/builtin/builtinapplication.h"

namespace word {

namespace {
EngineFactory& overrideFactory()
{
    static EngineFactory factory;
    return factory;
}
} // namespace

std::shared_ptr<Application> createObject(const QString& className)
{
    if (className.compare(QLatin1String("word.application"), Qt::CaseInsensitive) != 0)
        throw AutomationError(QStringLiteral("无法创建对象“%1”：没有这个名称的文字处理程序。").arg(className));
    if (overrideFactory())
        return overrideFactory()();
    return builtin::BuiltinApplication::create();
}

void setEngineFactory(EngineFactory factory)
{
    overrideFactory() = std::move(factory);
}

} // namespace word
