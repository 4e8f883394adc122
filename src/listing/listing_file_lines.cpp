#include "listing/listing_file_lines.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace brisk {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Joins the pieces of one line across chunks, never beyond the line limit.
class LineAssembler {
public:
    explicit LineAssembler(const std::function<void(std::string_view)>& onLine) : onLine_(onLine) {}

    void add(std::string_view data)
    {
        while (!data.empty()) {
            const size_t end = data.find('\n');
            append(data.substr(0, end));
            if (end == std::string_view::npos)
                return;
            emit();
            data.remove_prefix(end + 1);
        }
    }
    void finish()
    {
        if (started_)
            emit();
    }

private:
    void append(std::string_view piece)
    {
        started_ = true;
        // One byte beyond the limit is kept, so that a cut line is told from one that fits.
        const size_t room = line_.size() <= kMaxListingLineBytes ? kMaxListingLineBytes + 1 - line_.size() : 0;
        line_.append(piece.substr(0, room));
    }
    void emit()
    {
        std::string_view line(line_);
        if (line.size() > kMaxListingLineBytes)
            line = line.substr(0, kMaxListingLineBytes);
        else if (line.ends_with('\r'))
            line.remove_suffix(1);
        onLine_(line);
        line_.clear();
        started_ = false;
    }

    const std::function<void(std::string_view)>& onLine_;
    std::string line_;
    bool started_ = false;
};

} // namespace

bool forEachListingLine(const std::string& path, const std::function<void(std::string_view line)>& onLine)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    std::vector<char> chunk(kChunkBytes);
    LineAssembler lines(onLine);
    size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0)
        lines.add(std::string_view(chunk.data(), n));
    lines.finish();
    return !std::ferror(file.get());
}

} // namespace brisk
