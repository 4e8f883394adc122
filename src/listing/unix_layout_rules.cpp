#include "listing/listing_rules.h"

#include "listing/text_util.h"

#include <string>

namespace brisk {

namespace {

// Front-of-line word taking of the fixed Unix types: the word ends at the first blank, and the
// blanks after it go. The end of the line is left alone: it belongs to the name.
std::string_view takeWord(std::string_view& rest)
{
    const size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    const size_t next = blank == std::string_view::npos ? std::string_view::npos : rest.find_first_not_of(' ', blank);
    rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next);
    return word;
}

// The word before the name: the name begins after exactly one blank, so blanks that begin the
// name are the name's (ls and the servers write one blank after the time or year column).
std::string_view takeLastWordBeforeName(std::string_view& rest)
{
    const size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view{} : rest.substr(blank + 1);
    return word;
}

// A time "hh:mm" or a year: what the column before the name holds in a Unix listing.
bool isTimeOrYear(std::string_view word)
{
    const size_t colon = word.find(':');
    if (colon == std::string_view::npos)
        return decimalValue(word).has_value();
    return decimalValue(word.substr(0, colon)) && decimalValue(word.substr(colon + 1));
}

// The automatic parser's cursor: words end at a blank or at the end of the line.
class LineCursor {
public:
    explicit LineCursor(std::string_view line) : line_(line) {}

    void skipOneBlank()
    {
        if (pos_ < line_.size() && line_[pos_] == ' ')
            ++pos_;
    }

    void skipBlanks()
    {
        while (pos_ < line_.size() && line_[pos_] == ' ')
            ++pos_;
    }

    std::string_view word()
    {
        const size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ')
            ++pos_;
        return line_.substr(start, pos_ - start);
    }

    std::string_view wordAfterBlanks()
    {
        skipBlanks();
        return word();
    }

    std::string_view rest() const { return line_.substr(pos_); }

private:
    std::string_view line_;
    size_t pos_ = 0;
};

// At least two digits, zero-padded: "%2d" with its blank turned into "0".
void appendTwoDigits(std::string& out, int64_t value)
{
    if (value < 10)
        out += '0';
    out += std::to_string(value);
}

std::string dayMonthYearText(int64_t day, int month, int64_t year)
{
    std::string text;
    appendTwoDigits(text, day);
    text += '.';
    appendTwoDigits(text, month);
    text += '.';
    appendTwoDigits(text, year % 100);
    return text;
}

// Year inference: a time means a date within the year up to the start date. Fails on a day and
// month that are no date of that year, or on a year word that is no number.
bool inferDate(int64_t day, int month, std::string_view timeWord, const CalendarDate& startDate,
               RemoteEntry& entry)
{
    int64_t year = 0;
    if (timeWord.find(':') != std::string_view::npos) {
        if (day > 31)
            return false;
        const CalendarDate date{startDate.year, month, int(day)};
        if (!isValidDate(date))
            return false;
        year = listingYear(month, int(day), startDate);
    } else {
        const auto number = decimalValue(timeWord);
        if (!number)
            return false;
        year = *number;
        entry.time.clear();
    }
    entry.date = dayMonthYearText(day, month, year);
    // The record text keeps two digits; the panels need the century too.
    entry.year = year >= 1 && year <= 9999 ? int(year) : 0;
    return true;
}

} // namespace

bool applyUnixColumnsRule(std::string_view line, int discardedWords, RemoteEntry& entry)
{
    if (startsWithNoCase(line, "total "))
        return false;
    std::string_view rest = line;
    entry.attributes = takeWord(rest);
    entry.isDirectory = entry.attributes.starts_with('d');
    for (int i = 0; i < discardedWords; ++i)
        takeWord(rest);
    entry.size = takeWord(rest);
    entry.date = takeWord(rest);
    entry.date += ' ';
    entry.date += takeWord(rest);
    entry.time = takeLastWordBeforeName(rest);
    entry.unreadable = !decimalValue(entry.size) || !isTimeOrYear(entry.time) || rest.empty();
    if (entry.time.find(':') == std::string::npos) {
        entry.date += ' ';
        entry.date += entry.time;
        entry.time.clear();
    }
    entry.name = rest;
    return true;
}

bool applyAutomaticRule(std::string_view line, const CalendarDate& startDate, RemoteEntry& entry)
{
    if (IsEplfLine(line)) {
        applyEplfRule(line, entry);
        return true;
    }
    LineCursor cursor(line);
    entry.attributes = cursor.word();
    if (startsWithNoCase(line, "total "))
        return false;
    cursor.wordAfterBlanks();  // link count
    cursor.wordAfterBlanks();  // owner
    cursor.skipBlanks();
    entry.size = cursor.word();  // group, or the size when the server shows no group
    std::string_view monthWord = cursor.wordAfterBlanks();
    if (decimalValue(trimBlanks(monthWord))) {
        entry.size = trimBlanks(monthWord);
        monthWord = cursor.wordAfterBlanks();
    }
    const int month = monthFromWordPosition(monthWord);
    const int64_t day = decimalValue(cursor.wordAfterBlanks()).value_or(1);
    const std::string_view timeWord = cursor.wordAfterBlanks();
    entry.time = timeWord;
    cursor.skipOneBlank();
    if (!inferDate(day, month == 0 ? 1 : month, timeWord, startDate, entry)) {
        entry.date = "error";
        entry.unreadable = true;
        return true;
    }
    entry.name = cursor.rest();
    entry.unreadable = entry.name.empty();
    entry.isDirectory = entry.attributes.starts_with('d');
    return true;
}

} // namespace brisk
