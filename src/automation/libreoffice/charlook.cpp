#include "automation/libreoffice/charlook.h"

#include "automation/libreoffice/uno.h"

#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
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

void applyLook(const Reference<css::text::XTextRange>& range, const CharLook& look)
{
    if (look.names.getLength() > 0)
        as<css::beans::XMultiPropertySet>(range)->setPropertyValues(look.names, look.values);
}

void applyFont(const Reference<css::uno::XInterface>& target, const TypingFont& font)
{
    const auto properties = as<css::beans::XPropertySet>(target);
    if (font.name) {
        const css::uno::Any name(toUno(*font.name));
        for (const char* property : {"CharFontName", "CharFontNameAsian", "CharFontNameComplex"})
            properties->setPropertyValue(rtl::OUString::createFromAscii(property), name);
    }
    if (font.size) {
        const css::uno::Any size(*font.size);
        for (const char* property : {"CharHeight", "CharHeightAsian", "CharHeightComplex"})
            properties->setPropertyValue(rtl::OUString::createFromAscii(property), size);
    }
}

} // namespace word::libreoffice
