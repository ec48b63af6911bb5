#include "automation/libreoffice/charlook.h"

#include "automation/libreoffice/uno.h"

#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

namespace word::libreoffice {

namespace {

const css::uno::Sequence<rtl::OUString>& lookNames()
{
    static const css::uno::Sequence<rtl::OUString> names = [] {
        const char* list[] = {"CharFontName",  "CharFontNameAsian", "CharFontNameComplex", "CharHeight",
                              "CharHeightAsian", "CharHeightComplex", "CharWeight",        "CharWeightAsian",
                              "CharPosture",   "CharPostureAsian",  "CharUnderline",       "CharColor"};
        css::uno::Sequence<rtl::OUString> result(std::size(list));
        for (size_t i = 0; i < std::size(list); ++i)
            result.getArray()[i] = rtl::OUString::createFromAscii(list[i]);
        return result;
    }();
    return names;
}

} // namespace

CharLook lookAt(const Reference<css::text::XTextRange>& at)
{
    const auto cursor = at->getText()->createTextCursorByRange(at->getStart());
    const auto values = as<css::beans::XMultiPropertySet>(cursor)->getPropertyValues(lookNames());
    // Only what has one value there is carried.
    CharLook look;
    for (sal_Int32 i = 0; i < values.getLength(); ++i) {
        if (!values[i].hasValue())
            continue;
        const sal_Int32 n = look.names.getLength();
        look.names.realloc(n + 1);
        look.values.realloc(n + 1);
        look.names.getArray()[n] = lookNames()[i];
        look.values.getArray()[n] = values[i];
    }
    return look;
}

css::uno::Any chineseText()
{
    return css::uno::Any(css::lang::Locale(rtl::OUString::createFromAscii("zh"), rtl::OUString::createFromAscii("CN"),
                                           rtl::OUString()));
}

namespace {

void add(CharLook& look, const char* name, const css::uno::Any& value)
{
    const sal_Int32 n = look.names.getLength();
    look.names.realloc(n + 1);
    look.values.realloc(n + 1);
    look.names.getArray()[n] = rtl::OUString::createFromAscii(name);
    look.values.getArray()[n] = value;
}

} // namespace

void applyLook(const Reference<css::text::XTextRange>& range, const CharLook& look)
{
    CharLook all = look;
    add(all, "CharLocaleAsian", chineseText());
    as<css::beans::XMultiPropertySet>(range)->setPropertyValues(all.names, all.values);
}

void applyFont(const Reference<css::uno::XInterface>& target, const TypingFont& font)
{
    CharLook look;
    if (font.name) {
        const css::uno::Any name(toUno(*font.name));
        for (const char* property : {"CharFontName", "CharFontNameAsian", "CharFontNameComplex"})
            add(look, property, name);
    }
    if (font.size) {
        const css::uno::Any size(*font.size);
        for (const char* property : {"CharHeight", "CharHeightAsian", "CharHeightComplex"})
            add(look, property, size);
    }
    add(look, "CharLocaleAsian", chineseText());
    if (const Reference<css::beans::XMultiPropertySet> all{target, css::uno::UNO_QUERY}; all.is()) {
        all->setPropertyValues(look.names, look.values);
        return;
    }
    // (A table cursor takes them one by one.)
    const auto properties = as<css::beans::XPropertySet>(target);
    for (sal_Int32 i = 0; i < look.names.getLength(); ++i)
        properties->setPropertyValue(look.names[i], look.values[i]);
}

} // namespace word::libreoffice
