#pragma once
#include <QWidget>

#include <cstdint>
#include <string>

class QPlainTextEdit;

namespace brisk {

// A read-only window showing a local file's bytes as UTF-8 text (invalid sequences show as U+FFFD).
class TextViewer : public QWidget {
    Q_OBJECT
public:
    // Files larger than this show only their beginning.
    static constexpr int64_t kMaxBytes = 64 * 1024 * 1024;

    explicit TextViewer(QWidget* parent = nullptr);

    // Shows the file and titles the window with its name; false when it cannot be read.
    bool load(const std::string& path);
    QString text() const;

private:
    QPlainTextEdit* view_;
};

} // namespace brisk
