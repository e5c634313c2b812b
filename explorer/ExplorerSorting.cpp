// The explorer's list sorting: eight orders over the four columns, and the header clicks that choose them.
#include "explorer/WyExplorerWnd.h"

#include "explorer/KilobyteText.h"
#include "explorer/WyListView.h"
#include "filesystem/WyDirectoryEntry.h"
#include "framework/ShiftJis.h"

#include <limits>
#include <unordered_map>

namespace {

// What the comparisons read of one row, read once per sort rather than once
// per comparison (the list's own sort compares each row many times).
struct SortRow {
    int image = 0;
    std::string name;  // as shown, to look the row's time up
    std::string key;   // the name's or the type's text in lower case: the text order

    bool hasSize = false;
    ULONGLONG kilobytes = 0;
    DATE time = -std::numeric_limits<DATE>::infinity();  // an entry the store no longer has is the earliest
};

struct SortContext {
    std::unordered_map<LPARAM, SortRow> rows;
    int column = 0;
    bool descending = false;
};

int Sign(bool descending, int ascendingResult)
{
    return descending ? -ascendingResult : ascendingResult;
}

int CompareSizes(const SortRow& a, const SortRow& b, bool descending)
{
    if (!a.hasSize || !b.hasSize)
        return Sign(descending, (a.hasSize ? 1 : 0) - (b.hasSize ? 1 : 0));
    if (a.kilobytes == b.kilobytes)
        return 0;
    return Sign(descending, a.kilobytes > b.kilobytes ? 1 : -1);
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM parameter)
{
    const auto& context = *reinterpret_cast<const SortContext*>(parameter);
    const SortRow& a = context.rows.at(first);
    const SortRow& b = context.rows.at(second);
    if (context.column == 1)
        return CompareSizes(a, b, context.descending);
    // Directories (the lower image) go first ascending and last descending.
    if (a.image != b.image)
        return Sign(context.descending, a.image > b.image ? 1 : -1);
    switch (context.column) {
    case 0:
    case 2: {
        // Lower-cased once per sort; byte order is then the order of the characters.
        const int order = a.key.compare(b.key);
        return Sign(context.descending, order < 0 ? -1 : (order > 0 ? 1 : 0));
    }
    default:  // date
        // Equal times never compare equal: the first row counts as earlier.
        return Sign(context.descending, a.time > b.time ? 1 : -1);
    }
}

// The last-write times of the rows, from one listing of their directory.
void ReadRowTimes(const std::vector<CWyDirectoryEntry>& entries, SortContext& context)
{
    std::unordered_map<std::string, DATE> times;
    for (const CWyDirectoryEntry& entry : entries)
        times[entry.name] = entry.lastWriteTime;
    for (auto& [data, row] : context.rows) {
        const auto found = times.find(row.name);
        if (found != times.end())
            row.time = found->second;
    }
}

}  // namespace

void CWyExplorerWnd::SortList(int column, int descending)
{
    CWyListView* view = GetListView();
    if (!view || column < 0 || column > 3 || descending < 0 || descending > 1)
        return;
    const CListCtrl list = view->List();
    SortContext context;
    context.column = column;
    context.descending = descending == 1;
    const int count = list.GetItemCount();
    context.rows.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        SortRow row;
        row.image = list.GetItemImage(index);
        row.name = list.GetItemText(index, 0);
        if (column == 0)
            row.key = ShiftJis::ToLower(row.name);
        else if (column == 1)
            row.hasSize = ParseKilobytes(list.GetItemText(index, 1), &row.kilobytes);
        else if (column == 2)
            row.key = ShiftJis::ToLower(list.GetItemText(index, 2));
        context.rows[list.GetItemData(index)] = std::move(row);
    }
    if (column == 3) {
        std::vector<CWyDirectoryEntry> entries;
        ListDirectory(m_owner.GetCurrentDirectoryString(), entries);
        ReadRowTimes(entries, context);
    }
    list.SortItems(&CompareRows, reinterpret_cast<LPARAM>(&context));
}

void CWyExplorerWnd::OnListColumnClick(int column)
{
    const CWyOwnerCall call(m_owner);
    // A sort by date reads the directory, which a running transfer's
    // connection cannot do meanwhile.
    if (m_owner.IsTransferring())
        return;
    m_sortDescending = m_sortDescending ? 0 : 1;
    if (column != 0)
        m_sortColumn = column;
    SortList(column, m_sortDescending);
}
