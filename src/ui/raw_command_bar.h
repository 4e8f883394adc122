#pragma once
#include <QWidget>

#include <functional>

class QComboBox;
class QPushButton;

namespace brisk {

class RawCommandBox;

// The raw-command bar above the remote path box: an editable list of this run's commands, "Do It"
// and "Commands". What it means lies in the RawCommandBox model; the bar keeps the model's text
// and pick in step with the box.
class RawCommandBar : public QWidget {
public:
    explicit RawCommandBar(RawCommandBox& model, QWidget* parent = nullptr);
    // The model may be gone by now (the main window drops its models before its widgets).
    ~RawCommandBar() override;

    // "Do It" (the button or Enter in the box) and "Commands"; the model's text is current.
    std::function<void()> onDoIt;
    std::function<void()> onCommands;

    // Shows the model: whether the bar is there, its items, pick and text; "Do It" works only
    // when the session can take a command.
    void refresh(bool canSend);

private:
    void showItems();

    RawCommandBox& model_;
    QComboBox* box_ = nullptr;
    QPushButton* doIt_ = nullptr;
    QPushButton* commands_ = nullptr;
};

} // namespace brisk
