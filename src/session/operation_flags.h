#pragma once
#include <cstdint>

namespace brisk {

// Which multi-request operation is under way; the request-completion handler reads them.
enum OperationFlag : uint16_t {
    ofDeleteScan = 1u << 0,
    ofDeleteRemove = 1u << 1,
    ofDownloadTree = 1u << 2,
    ofUploadTree = 1u << 3,
    ofChmodTree = 1u << 4,
    ofMirrorRun = 1u << 5,
    ofMirrorFlag6 = 1u << 6,
    ofMirrorFlag8 = 1u << 8,
    ofUploadParentCwd = 1u << 10,
    ofMirrorFlag11 = 1u << 11,
};

class OperationFlags {
public:
    bool has(OperationFlag f) const { return (bits_ & f) != 0; }
    void set(OperationFlag f) { bits_ = uint16_t(bits_ | f); }
    void remove(uint16_t f) { bits_ = uint16_t(bits_ & ~f); }
    void assign(OperationFlag f, bool on) { on ? set(f) : remove(f); }
    void clear() { bits_ = 0; }
    bool empty() const { return bits_ == 0; }
    uint16_t bits() const { return bits_; }

private:
    uint16_t bits_ = 0;
};

} // namespace brisk
