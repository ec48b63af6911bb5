#include "create/builder.h"

#include "automation/factory.h"
#include "common/numberreading.h"

#include <cmath>

namespace create {

namespace {

// A count as a whole number; values far outside any limit are clamped so
// that the limit check names them instead of overflowing.
int count(const QString& text)
{
    const double value = numbers::roundHalfEven(numbers::leading(text));
    if (!(value > -1e6))
        return -1000000;
    if (!(value < 1e6))
        return 1000000;
    return int(value);
}

} // namespace

void fillTimetable(const BuildRequest& request, word::Application& wd, Timetable& result)
{
    const grid::Dimensions& d = result.dimensions;

    wd.documents()->add();
    const auto page = wd.activeDocument()->pageSetup();
    page->setTopMargin(centimetresToPoints(2.54));
    page->setBottomMargin(centimetresToPoints(2.54));
    page->setLeftMargin(centimetresToPoints(3.17));
    page->setRightMargin(centimetresToPoints(3.17));
    page->setHeaderDistance(centimetresToPoints(1.5));
    page->setFooterDistance(centimetresToPoints(1.75));
    page->setPageWidth(centimetresToPoints(18.2));
    page->setPageHeight(centimetresToPoints(25.7));
    page->setVerticalAlignment(word::PageAlignTop);

    // The title, centred, in the sans face at the document's own size.
    wd.selection()->paragraphFormat()->setAlignment(word::AlignCenter);
    wd.selection()->paragraphFormat()->setFirstLineIndent(0);
    wd.selection()->font()->setName(QStringLiteral("黑体"));
    wd.selection()->typeText(request.title);
    wd.selection()->typeParagraph();

    // The table, made at an insertion point set to the serif face, 9 pt.
    wd.selection()->font()->setSize(9);
    wd.selection()->font()->setName(QStringLiteral("宋体"));
    const auto table = wd.activeDocument()->tables()->add(wd.selection()->range(), d.hang, d.lie,
                                                          word::Word9TableBehavior);
    result.table = table;

    for (int c = 2; c <= d.lie; ++c)
        table->cell(1, c)->range()->insertAfter(grid::dayNames().value(c - 2));
    for (int r = 2; r <= d.morning; ++r)
        table->cell(r, 1)->range()->insertAfter(grid::periodLabel(r - 2, request.withTimes, request.timeLabels));
    table->rows()->item(d.morning + 1)->cells()->merge();
    table->cell(d.morning + 1, 1)->range()->insertAfter(grid::lunchText());
    wd.selection()->paragraphFormat()->setAlignment(word::AlignLeft);
    for (int r = d.morning + 2; r <= d.hang; ++r)
        table->cell(r, 1)->range()->insertAfter(grid::periodLabel(r - 3, request.withTimes, request.timeLabels));

    table->select();
    wd.selection()->paragraphFormat()->setAlignment(word::AlignCenter);
    wd.selection()->cells()->setVerticalAlignment(word::CellAlignCenter);
    table->autoFitBehavior(word::AutoFitContent);
    wd.setVisible(true);
    table->autoFitBehavior(word::AutoFitWindow);
}


std::variant<Counts, QString> readCounts(const BuildRequest& request)
{
    Counts counts{count(request.morningCount), count(request.afternoonCount), count(request.dayCount)};
    if (auto problem = grid::checkLimits(counts.morning, counts.afternoon, counts.days, request.withTimes,
                                         int(request.timeLabels.size())))
        return *problem;
    return counts;
}

float centimetresToPoints(double centimetres)
{
    return float(centimetres * 28.34646);
}

Timetable build(const BuildRequest& request, const Counts& counts)
{
    Timetable result;
    result.dimensions = grid::fromCounts(counts.morning, counts.afternoon, counts.days);
    result.application = word::createObject(QStringLiteral("word.application"));
    try {
        fillTimetable(request, *result.application, result);
    } catch (const word::AutomationError&) {
        // Leave nothing half-built behind, and ask nothing about it: the
        // document is the program's, not the user's. The first error is the
        // one to report.
        try {
            if (result.application->running())
                result.application->quit(word::DoNotSaveChanges);
        } catch (const word::AutomationError&) {
        }
        throw;
    }
    return result;
}

} // namespace create
