#pragma once
#include <cstdint>
#include <string>

namespace brisk {

// Where a transfer shows its figures: the progress window in the program, nothing elsewhere.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void open() {}
    virtual void startFile(const std::string& name, int64_t size, bool sending) { (void)name, (void)size, (void)sending; }
    virtual void update(int64_t count) { (void)count; }
    virtual void endFile() {}
    virtual void close() {}
};

} // namespace brisk
