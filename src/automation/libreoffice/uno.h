#pragma once
// Small helpers for talking UNO from Qt code: strings, property lists,
// interface queries, units.

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <initializer_list>
#include <utility>

namespace word::libreoffice {

namespace uno = css::uno;

inline rtl::OUString toUno(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

inline QString fromUno(const rtl::OUString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

// A named-argument list: {{"Hidden", uno::Any(true)}, ...}.
inline uno::Sequence<css::beans::PropertyValue> arguments(
    std::initializer_list<std::pair<const char*, uno::Any>> values)
{
    uno::Sequence<css::beans::PropertyValue> result(sal_Int32(values.size()));
    css::beans::PropertyValue* out = result.getArray();
    for (const auto& [name, value] : values) {
        out->Name = rtl::OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return result;
}

// The interface `To` of an object; raises when the object lacks it.
template <typename To, typename From>
uno::Reference<To> as(const uno::Reference<From>& object)
{
    return uno::Reference<To>(object, uno::UNO_QUERY_THROW);
}

template <typename To>
uno::Reference<To> as(const uno::Any& object)
{
    return uno::Reference<To>(object, uno::UNO_QUERY_THROW);
}

// The same object as one of the interfaces it derives from (UNO's references
// do not convert by themselves).
template <typename Base, typename Derived>
uno::Reference<Base> up(const uno::Reference<Derived>& object)
{
    return uno::Reference<Base>(static_cast<Base*>(object.get()));
}

// Lengths: callers give points, LibreOffice counts hundredths of a
// millimetre.
inline sal_Int32 pointsToHundredthMm(double points)
{
    return sal_Int32(points * 2540.0 / 72.0 + (points >= 0 ? 0.5 : -0.5));
}

} // namespace word::libreoffice
