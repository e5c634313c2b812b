// The explorer's directory listing: the entries of one directory in the list's four columns.
#include "explorer/WyExplorerWnd.h"

#include "datetime/DateTimeFormat.h"
#include "explorer/EntryName.h"
#include "explorer/KilobyteText.h"
#include "explorer/ShellTypeNames.h"
#include "explorer/WyListView.h"
#include "filesystem/WyDirectoryEntry.h"
#include "framework/CodePage932.h"
#include "framework/OleDateTime.h"
#include "framework/RedrawOff.h"
#include "framework/ShiftJis.h"

namespace {

// "ファイルフォルダ" followed by the half-width voiced-sound mark (0xDE).
const char kDirectoryTypeText[] = "ファイルフォルダ\xDE";

struct ColumnHeading {
    const char* text;
    int format;
};

constexpr ColumnHeading kColumns[] = {
    {"名前", LVCFMT_LEFT},
    {"サイズ", LVCFMT_RIGHT},
    {"種類", LVCFMT_LEFT},
    {"更新日時", LVCFMT_LEFT},
};
constexpr int kColumnWidth = 100;

std::string LocaleFormat(LCTYPE item)
{
    wchar_t format[256] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, item, format, 256);
    return ToShiftJis(format);
}

// The locale's time picture writes minutes as "m" or "mm", which the
// formatter reads as a month run that writes nothing ("21::00"); its own
// minute tokens are "n" and "nn". Quoted text stays as it is.
std::string WithFormatterMinutes(std::string picture)
{
    bool quoted = false;
    for (size_t i = 0; i < picture.size(); i = ShiftJis::NextCharIndex(picture, i)) {
        if (picture[i] == '\'' || picture[i] == '"')
            quoted = !quoted;
        else if (!quoted && picture[i] == 'm')
            picture[i] = 'n';
    }
    return picture;
}

}  // namespace

void CWyExplorerWnd::PrepareList()
{
    CWyListView* view = GetListView();
    if (!view)
        return;
    for (int index = 0; index < static_cast<int>(std::size(kColumns)); ++index)
        view->List().InsertColumn(index, kColumns[index].text, kColumns[index].format, kColumnWidth);
}

BOOL CWyExplorerWnd::ShowDirectoryInList(const std::string& path)
{
    CWyListView* view = GetListView();
    if (!view)
        return FALSE;
    const CListCtrl list = view->List();
    RedrawOff redraw(list.GetHwnd());
    list.DeleteAllItems();

    std::string directory = path;
    if (ShiftJis::EndsWithChar(directory, '/'))
        directory.pop_back();
    std::vector<CWyDirectoryEntry> entries;
    if (!ListDirectory(directory, entries))
        return FALSE;

    const std::string dateFormat = LocaleFormat(LOCALE_SSHORTDATE);
    const std::string timeFormat = WithFormatterMinutes(LocaleFormat(LOCALE_STIMEFORMAT));
    CShellTypeNames typeNames;
    // Rows go in listing order; the sequence numbers count the rows added.
    LPARAM sequence = 0;
    for (const CWyDirectoryEntry& entry : entries) {
        const bool isDirectory = entry.type == CWyDirectoryEntry::kDirectory;
        if (isDirectory && IsDots(entry.name))
            continue;
        const std::string& name = entry.name;
        const COleDateTime time(entry.lastWriteTime);
        std::string dateText;
        std::string timeText;
        FormatDateTime(dateText, time, dateFormat.c_str(), LOCALE_USER_DEFAULT, 0);
        FormatDateTime(timeText, time, timeFormat.c_str(), LOCALE_USER_DEFAULT, 0);

        if (sequence % kItemsBetweenAnswers == kItemsBetweenAnswers - 1)
            m_owner.AnswerSentMessages();
        const int row = list.InsertItem(list.GetItemCount(), name, isDirectory ? 0 : 1, sequence++);
        if (row < 0)
            continue;
        if (!isDirectory) {
            list.SetItemText(row, 1, FormatKilobytes(entry.length));
            list.SetItemText(row, 2, typeNames.Get(directory + "/" + name));
        } else {
            list.SetItemText(row, 2, kDirectoryTypeText);
        }
        list.SetItemText(row, 3, dateText + " " + timeText);
    }

    if (m_sortColumn == 0)
        SortList(0, 0);
    return TRUE;
}
