// The listing benchmark's sorts: the filled list sorted by each column in both orders.
#include "bench/ListingSections.h"

#include <iterator>

namespace {

const char* const kColumns[] = {"name", "size", "type", "date"};
const char* const kOrders[] = {"asc", "desc"};

}  // namespace

void RunSortSection(HostedExplorer& explorer, const std::string& label, const std::string& directory, long rows)
{
    Expect(explorer.ListCount(), rows, label + ": rows before sorting " + directory);
    std::wstring firstByName;
    // Each sort starts from the order the previous one left, as a user's
    // header clicks do.
    for (long column = 0; column < static_cast<long>(std::size(kColumns)); ++column) {
        for (long order = 0; order < static_cast<long>(std::size(kOrders)); ++order) {
            ListingSample sample = explorer.Time(L"SortListItem", {Argument(column), Argument(order)});
            sample.label = label;
            sample.what = std::string(kColumns[column]) + "-" + kOrders[order];
            sample.directory = directory;
            Expect(sample.entries, rows, label + ": rows after sorting by " + sample.what);
            // Names are unique: the first by name ascending is the last
            // descending, which shows that the sort took place.
            if (column == 0 && order == 0)
                firstByName = explorer.ListName(0);
            if (column == 0 && order == 1 && explorer.ListName(rows - 1) != firstByName)
                throw BenchError(label + ": sorting by name descending did not put the first name ascending last");
            PrintSample(sample);
        }
    }
}
