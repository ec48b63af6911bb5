#pragma once
// The character look of text in a Writer document, read at one place and
// given to other text: what text written into a cell or typed at the
// insertion point takes on, as it would when typed by hand.

#include "automation/libreoffice/enginestate.h"

#include <com/sun/star/text/XTextRange.hpp>

namespace word::libreoffice {

struct CharLook {
    css::uno::Sequence<rtl::OUString> names;
    css::uno::Sequence<css::uno::Any> values;
};

// The look at a place (a collapsed cursor or the start of a range).
CharLook lookAt(const Reference<css::text::XTextRange>& at);
void applyLook(const Reference<css::text::XTextRange>& range, const CharLook& look);
// Font name and size, for the Latin, East Asian and complex scripts alike.
void applyFont(const Reference<css::uno::XInterface>& target, const TypingFont& font);

} // namespace word::libreoffice
