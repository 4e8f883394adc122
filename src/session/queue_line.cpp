#include "session/queue_line.h"

#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace brisk {
namespace {

constexpr size_t kFields = 14;
constexpr std::array<const char*, 2> kDirections = {"download", "upload"};
constexpr std::array<const char*, 5> kStates = {"queued", "running", "failed", "done", "skipped"};

void appendEscaped(std::string& out, std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : text) {
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == '%') {
            out += '%';
            out += hex[static_cast<unsigned char>(c) >> 4];
            out += hex[c & 0xF];
        } else {
            out += c;
        }
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A "%" not followed by two hex digits, a raw CR or a NUL (raw or escaped) cannot have been written.
bool unescape(std::string_view field, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\r' || c == '\0')
            return false;
        if (c == '%') {
            const int high = i + 2 < field.size() ? hexValue(field[i + 1]) : -1;
            const int low = high < 0 ? -1 : hexValue(field[i + 2]);
            if (low < 0 || (high == 0 && low == 0))
                return false;
            c = char(high * 16 + low);
            i += 2;
        }
        out += c;
    }
    return true;
}

template <typename Number>
bool readNumber(std::string_view text, Number& value, Number low, Number high)
{
    if (text.empty() || (text.front() == '-' && text != "-1"))
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

template <typename Enum, size_t N>
bool readWord(std::string_view text, const std::array<const char*, N>& words, Enum& value)
{
    for (size_t i = 0; i < N; ++i)
        if (text == words[i]) {
            value = Enum(i);
            return true;
        }
    return false;
}

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

const char* readFigures(const std::vector<std::string_view>& f, QueueItem& item)
{
    constexpr int64_t most = std::numeric_limits<int64_t>::max();
    if (!readNumber<uint64_t>(f[0], item.id, 1, std::numeric_limits<uint64_t>::max()))
        return "the id is not a number";
    if (!readWord(f[1], kDirections, item.job.direction) || !readWord(f[2], kStates, item.state))
        return "unknown direction or state";
    if (!readNumber(f[3], item.attempts, 0, std::numeric_limits<int>::max()) ||
        !readNumber<int64_t>(f[4], item.job.size, -1, most) || !readNumber<int64_t>(f[5], item.moved, 0, most))
        return "attempts, size or bytes moved is not a number";
    if (!readNumber<uint16_t>(f[10], item.job.site.port, 0, 65535) ||
        !readNumber<uint8_t>(f[12], item.job.site.security, 0, 255))
        return "port or security mode is not a number";
    return nullptr;
}

const char* readTexts(const std::vector<std::string_view>& f, QueueItem& item)
{
    QueueSite& site = item.job.site;
    std::string* texts[] = {&item.job.localPath, &item.job.remotePath, &site.storedSite, &site.host, &site.user};
    const size_t at[] = {6, 7, 8, 9, 11};
    for (size_t i = 0; i < std::size(texts); ++i)
        if (!unescape(f[at[i]], *texts[i]))
            return "a text is badly escaped or holds a NUL byte";
    if (!unescape(f[13], item.failure))
        return "a text is badly escaped or holds a NUL byte";
    if (!item.failure.empty() && item.state != QueueState::Failed)
        return "a failure reason on an item that did not fail";
    return item.failure.size() > QueueLimits::Failure ? "the failure reason is too long" : nullptr;
}

} // namespace

std::string FormatQueueLine(const QueueItem& item)
{
    const TransferJob& job = item.job;
    std::string line = std::to_string(item.id) + '\t' + kDirections[size_t(job.direction)] + '\t' +
                       kStates[size_t(item.state)] + '\t' + std::to_string(item.attempts) + '\t' +
                       std::to_string(job.size) + '\t' + std::to_string(item.moved);
    for (const std::string* text : {&job.localPath, &job.remotePath, &job.site.storedSite, &job.site.host}) {
        line += '\t';
        appendEscaped(line, *text);
    }
    line += '\t' + std::to_string(job.site.port) + '\t';
    appendEscaped(line, job.site.user);
    line += '\t' + std::to_string(job.site.security) + '\t';
    appendEscaped(line, item.failure);
    return line;
}

const char* ParseQueueLine(std::string_view line, QueueItem& item)
{
    const std::vector<std::string_view> fields = splitTabs(line);
    if (fields.size() != kFields)
        return "wrong number of fields";
    item = QueueItem{};
    if (const char* fault = readFigures(fields, item))
        return fault;
    if (const char* fault = readTexts(fields, item))
        return fault;
    return JobFault(item.job);
}

} // namespace brisk
