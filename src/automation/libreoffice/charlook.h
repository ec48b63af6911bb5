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
// Gives text a look, and Simplified Chinese as its East Asian language
// (see chineseText).
void applyLook(const Reference<css::text::XTextRange>& range, const CharLook& look);
// Font name and size, for the Latin, East Asian and complex scripts alike,
// and Simplified Chinese as the East Asian language; in one call.
void applyFont(const Reference<css::uno::XInterface>& target, const TypingFont& font);
// The East Asian language of what the program writes: Simplified Chinese,
// so that Writer draws its text in the Simplified Chinese forms of the CJK
// faces (it takes the Japanese ones for text of no language).
css::uno::Any chineseText();

} // namespace word::libreoffice
