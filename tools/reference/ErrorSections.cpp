// The reference's error tables: the status codes, the control's own numbers and the Internet library's numbers.
#include "tools/reference/ErrorSections.h"

#include "filesystem/InternetError.h"
#include "filesystem/WyFTPException.h"
#include "resources/resource.h"
#include "tools/reference/ErrorMeanings.h"
#include "tools/reference/LibrarySections.h"
#include "tools/reference/MarkdownTable.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

namespace {

// The control's own numbers lie in 200xx to 209xx.
constexpr int kFirstOwnError = 20000;
constexpr int kLastOwnError = 20999;
// Every value an FtpErrorCode can hold, past its last name, so the store's
// fallback number is among them.
constexpr int kFtpErrorCodeValues = 256;

std::string StatusText(SCODE status)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

std::string NumbersText(const std::set<long>& numbers)
{
    std::string text;
    for (long number : numbers)
        text += (text.empty() ? "" : ", ") + std::to_string(number);
    return text;
}

// Fails when two lists of the same numbers differ, naming what each lacks.
void RequireSameNumbers(const std::set<long>& expected, const char* expectedSource, const std::set<long>& listed,
                        const char* listedSource)
{
    std::set<long> missing;
    std::set<long> extra;
    std::set_difference(expected.begin(), expected.end(), listed.begin(), listed.end(),
                        std::inserter(missing, missing.end()));
    std::set_difference(listed.begin(), listed.end(), expected.begin(), expected.end(),
                        std::inserter(extra, extra.end()));
    if (missing.empty() && extra.empty())
        return;
    std::string message = std::string(listedSource) + " does not match " + expectedSource + ":";
    if (!missing.empty())
        message += " it lacks " + NumbersText(missing) + ";";
    if (!extra.empty())
        message += " it has " + NumbersText(extra) + ", which " + expectedSource + " does not;";
    throw std::runtime_error(message);
}

template <typename Entry>
std::set<long> NumbersOf(const std::vector<Entry>& entries)
{
    std::set<long> numbers;
    for (const Entry& entry : entries)
        numbers.insert(entry.number);
    return numbers;
}

// The library's names of the control's own numbers.
std::map<long, std::string> ErrorCodeNames(const LibraryModel& library)
{
    const auto found = std::find_if(library.types.begin(), library.types.end(), [](const TypeModel& type) {
        return type.kind == TKIND_ENUM && type.name == kErrorCodeEnumeration;
    });
    if (found == library.types.end())
        throw std::runtime_error(std::string("the type library has no enumeration ") + kErrorCodeEnumeration);
    std::map<long, std::string> names;
    for (const MemberModel& constant : found->members) {
        if (!constant.hasNumber)
            throw std::runtime_error(kErrorCodeEnumeration + (" holds a constant without a number: " + constant.name));
        names[static_cast<long>(constant.number)] = constant.name;
    }
    return names;
}

std::set<long> NumbersWithMessages()
{
    std::set<long> numbers;
    for (int code = kFirstOwnError; code <= kLastOwnError; ++code) {
        if (ErrorMessageId(code) != 0)
            numbers.insert(code);
    }
    return numbers;
}

std::set<long> NumbersTheStoreRaises()
{
    std::set<long> numbers;
    for (int value = 0; value < kFtpErrorCodeValues; ++value) {
        if (const DWORD number = InternetErrorNumber(static_cast<FtpErrorCode>(value)))
            numbers.insert(static_cast<long>(number));
    }
    return numbers;
}

template <typename Entry>
std::vector<Entry> ByNumber(std::vector<Entry> entries)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return entries;
}

std::string StatusTable(const ModuleStrings& strings)
{
    std::vector<StatusMeaning> statuses = StatusMeanings();
    std::sort(statuses.begin(), statuses.end(),
              [](const StatusMeaning& a, const StatusMeaning& b) { return static_cast<unsigned long>(a.status) < static_cast<unsigned long>(b.status); });
    MarkdownTable table({"status", "Err.Number:", "description", "meaning", "GetLastError() afterwards"});
    for (const StatusMeaning& status : statuses)
        table.AddRow({CodeSpan(StatusText(status.status)), std::to_string(status.status & 0xFFFF),
                      strings.Load(status.categoryId), status.meaning, status.lastError});
    return "### Status codes\n\n"
           "A method that fails raises an automation error (`DISP_E_EXCEPTION`) with one of these status codes and "
           "its category as the description; the `Error` event carries the same status code as `Scode` and its low "
           "word as `Number`. Visual Basic and VBScript show the low word as `Err.Number`. `GetLastError()` and "
           "`GetErrorMessage()` then tell what failed.\n\n"
           + table.Text();
}

std::string OwnErrorTable(const LibraryModel& library, const ModuleStrings& strings)
{
    const std::map<long, std::string> names = ErrorCodeNames(library);
    const std::set<long> withMessages = NumbersWithMessages();
    std::set<long> named;
    for (const auto& entry : names)
        named.insert(entry.first);
    RequireSameNumbers(withMessages, "the control's error messages (ErrorMessageId)", named,
                       "the type library's WyFTPErrorCode");
    RequireSameNumbers(withMessages, "the control's error messages (ErrorMessageId)", NumbersOf(OwnErrorMeanings()),
                       "tools/reference/ErrorMeanings.cpp (OwnErrorMeanings)");

    MarkdownTable table({"number:", "constant", "message", "meaning"});
    for (const NumberMeaning& error : ByNumber(OwnErrorMeanings()))
        table.AddRow({std::to_string(error.number), CodeSpan(names.at(error.number)),
                      strings.Load(ErrorMessageId(static_cast<int>(error.number))), error.meaning});
    return "### The control's own errors\n\n"
           "Status code `" + StatusText(WyFTPScodeOwn) + "`. `GetLastError()` answers the number and "
           "`GetErrorMessage()` the message after \"" + strings.Load(IDS_ERROR_PREFIX) + "\". The enumeration "
           "[`" + kErrorCodeEnumeration + "`](#" + AnchorOf(kErrorCodeEnumeration) + ") names the numbers.\n\n"
           + table.Text();
}

std::string InternetErrorTable()
{
    RequireSameNumbers(NumbersTheStoreRaises(), "the numbers the FTP store raises (InternetErrorNumber)",
                       NumbersOf(InternetErrorMeanings()), "tools/reference/ErrorMeanings.cpp (InternetErrorMeanings)");
    MarkdownTable table({"number:", "name", "meaning"});
    for (const NumberMeaning& error : ByNumber(InternetErrorMeanings()))
        table.AddRow({std::to_string(error.number), CodeSpan(error.name), error.meaning});
    return "### Internet library numbers\n\n"
           "Status code `" + StatusText(WyFTPScodeInternet) + "`. `GetLastError()` answers the number; "
           "`GetErrorMessage()` the server's reply for 12003, and otherwise the text of the host system for the "
           "number, in its language.\n\n"
           + table.Text();
}

}  // namespace

std::string ErrorsSection(const LibraryModel& library, const ModuleStrings& strings)
{
    return "## Errors\n\n" + StatusTable(strings) + OwnErrorTable(library, strings) + InternetErrorTable();
}
