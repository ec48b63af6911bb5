// The selection of the LibreOffice engine and the ranges it hands out:
// where typed text goes and how it looks.

#include "automation/libreoffice/documentobjects.h"

#include "automation/libreoffice/charlook.h"
#include "automation/libreoffice/columnfit.h"
#include "automation/libreoffice/tableobjects.h"
#include "automation/libreoffice/uno.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/style/ParagraphAdjust.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

namespace word::libreoffice {

using css::uno::Any;

namespace {
class OfficeParagraphFormat : public ParagraphFormat {
public:
    OfficeParagraphFormat(StatePtr state, DocPtr document) : m_state(std::move(state)), m_document(std::move(document)) {}

    void setAlignment(int alignment) override
    {
        css::style::ParagraphAdjust adjust;
        switch (alignment) {
        case AlignLeft: adjust = css::style::ParagraphAdjust_LEFT; break;
        case AlignCenter: adjust = css::style::ParagraphAdjust_CENTER; break;
        case AlignRight: adjust = css::style::ParagraphAdjust_RIGHT; break;
        case AlignJustify: adjust = css::style::ParagraphAdjust_BLOCK; break;
        default: throw AutomationError(QStringLiteral("段落对齐方式 %1 无效。").arg(alignment));
        }
        set("ParaAdjust", Any(sal_Int16(adjust)));
    }
    void setFirstLineIndent(float points) override { set("ParaFirstLineIndent", Any(pointsToHundredthMm(points))); }

private:
    void set(const char* property, const Any& value)
    {
        m_state->call([&] {
            const DocPtr document = requireOpen(*m_state, m_document);
            const Reference<css::uno::XInterface> target =
                document->selectedTable.is() ? Reference<css::uno::XInterface>(wholeTable(document->selectedTable))
                                             : Reference<css::uno::XInterface>(m_state->viewCursor(*document));
            as<css::beans::XPropertySet>(target)->setPropertyValue(rtl::OUString::createFromAscii(property), value);
        });
    }
    StatePtr m_state;
    DocPtr m_document;
};

class OfficeFont : public Font {
public:
    OfficeFont(StatePtr state, DocPtr document) : m_state(std::move(state)), m_document(std::move(document)) {}

    void setName(const QString& name) override
    {
        if (name.trimmed().isEmpty())
            throw AutomationError(QStringLiteral("字体名称不能为空。"));
        TypingFont font;
        font.name = name;
        apply(font);
    }
    void setSize(float points) override
    {
        if (!(points >= 1 && points <= 1638))
            throw AutomationError(QStringLiteral("字号 %1 磅超出了允许的范围（1 到 1638 磅）。").arg(double(points)));
        TypingFont font;
        font.size = points;
        apply(font);
    }

private:
    // A selected table takes the font at once; at the insertion point it is
    // the font of what is typed next, as when set by hand.
    void apply(const TypingFont& font)
    {
        m_state->call([&] {
            const DocPtr document = requireOpen(*m_state, m_document);
            if (document->selectedTable.is()) {
                applyFont(wholeTable(document->selectedTable), font);
                return;
            }
            if (font.name)
                document->typing.name = font.name;
            if (font.size)
                document->typing.size = font.size;
            const auto cursor = m_state->viewCursor(*document);
            if (!cursor->isCollapsed())
                applyFont(cursor, font);
        });
    }
    StatePtr m_state;
    DocPtr m_document;
};

// Writes text at a place in the look of the text there, then gives it the
// typing font; returns the written text as a range.
Reference<css::text::XTextRange> writeAt(const Reference<css::text::XTextRange>& place, const QString& text,
                                         const TypingFont& typing, bool replace)
{
    const auto cursor = place->getText()->createTextCursorByRange(replace ? place : place->getEnd());
    const auto written = up<css::text::XTextRange>(cursor);
    const CharLook look = lookAt(written);
    cursor->setString(toUno(text)); // leaves the new text selected
    applyLook(written, look);
    if (!typing.empty())
        applyFont(cursor, typing);
    return written;
}

} // namespace

// ---------------------------------------------------------------- selection

std::shared_ptr<ParagraphFormat> OfficeSelection::paragraphFormat()
{
    return std::make_shared<OfficeParagraphFormat>(m_state, m_state->requireActive());
}

std::shared_ptr<Font> OfficeSelection::font()
{
    return std::make_shared<OfficeFont>(m_state, m_state->requireActive());
}

void OfficeSelection::typeText(const QString& text)
{
    const DocPtr document = m_state->requireActive();
    m_state->call([&] {
        const auto view = m_state->viewCursor(*document);
        document->selectedTable.clear();
        const auto written = writeAt(up<css::text::XTextRange>(view), text, document->typing, true);
        view->gotoRange(written->getEnd(), false);
    });
}

void OfficeSelection::typeParagraph()
{
    const DocPtr document = m_state->requireActive();
    m_state->call([&] {
        const auto view = m_state->viewCursor(*document);
        document->selectedTable.clear();
        view->getText()->insertControlCharacter(up<css::text::XTextRange>(view),
                                                css::text::ControlCharacter::PARAGRAPH_BREAK, true);
    });
}

std::shared_ptr<Range> OfficeSelection::range()
{
    const DocPtr document = m_state->requireActive();
    return m_state->call([&] {
        const auto view = m_state->viewCursor(*document);
        return std::make_shared<OfficeRange>(
            m_state, document, up<css::text::XTextRange>(view->getText()->createTextCursorByRange(view->getStart())));
    });
}

std::shared_ptr<Cells> OfficeSelection::cells()
{
    const DocPtr document = m_state->requireActive();
    return m_state->call([&]() -> std::shared_ptr<Cells> {
        if (document->selectedTable.is())
            return std::make_shared<OfficeCells>(m_state, document, document->selectedTable, 1,
                                                 document->selectedTable->getRows()->getCount());
        Reference<css::text::XTextTable> table;
        Reference<css::table::XCell> cell;
        const auto view = as<css::beans::XPropertySet>(m_state->viewCursor(*document));
        view->getPropertyValue(toUno(QStringLiteral("TextTable"))) >>= table;
        view->getPropertyValue(toUno(QStringLiteral("Cell"))) >>= cell;
        if (!table.is() || !cell.is())
            throw AutomationError(QStringLiteral("此命令无效，因为插入点不在表格中。"));
        rtl::OUString name;
        as<css::beans::XPropertySet>(cell)->getPropertyValue(toUno(QStringLiteral("CellName"))) >>= name;
        return std::make_shared<OfficeCells>(m_state, document, table, fromUno(name));
    });
}

// ---------------------------------------------------------------- range

Reference<css::text::XText> OfficeRange::cellText()
{
    return as<css::text::XText>(
        m_table->getCellByName(cellName(m_state->cellNames(*m_document, m_table), m_row, m_column)));
}

void OfficeRange::wroteCell(const QString& text, bool added)
{
    if (KnownTable* known = knownTable(*m_document, m_table)) {
        const rtl::OUString name = cellName(m_state->cellNames(*m_document, m_table), m_row, m_column);
        known->texts[name] = added ? known->texts[name] + text : text;
    }
    refitCell(*m_document, m_table, m_row, m_column, text, added);
}

QString OfficeRange::text()
{
    return m_state->call([&] {
        requireOpen(*m_state, m_document);
        QString text = fromUno((m_table.is() ? up<css::text::XTextRange>(cellText()) : m_place)->getString());
        text.replace(QLatin1String("\r\n"), QLatin1String("\r")).replace(u'\n', u'\r');
        return text;
    });
}

void OfficeRange::setText(const QString& text)
{
    m_state->call([&] {
        requireOpen(*m_state, m_document);
        if (!m_table.is()) {
            m_place = writeAt(m_place, text, m_document->typing, true);
            return;
        }
        // Writer keeps the look of the text it replaces.
        cellText()->setString(toUno(text));
        wroteCell(text, false);
    });
}

void OfficeRange::insertAfter(const QString& text)
{
    m_state->call([&] {
        requireOpen(*m_state, m_document);
        if (!m_table.is()) {
            m_place = writeAt(m_place, text, m_document->typing, false);
            return;
        }
        // Added at the end, in the look of the text before it.
        const auto content = cellText();
        content->insertString(content->getEnd(), toUno(text), false);
        wroteCell(text, true);
    });
}

} // namespace word::libreoffice
