#pragma once
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace brisk {

class QuickConnect;

// The quick-connect bar above the remote panel: an address (with the recent ones to pick from),
// user, password and port, Connect and "Save as site". What it means lies in the QuickConnect model;
// the bar keeps the model's fields in step with its boxes.
class QuickConnectBar : public QWidget {
public:
    explicit QuickConnectBar(QuickConnect& model, QWidget* parent = nullptr);

    // Connect (the button or Enter in a box) and "Save as site"; the model's fields are current.
    std::function<void()> onConnect;
    std::function<void()> onSave;

    // Shows the model's history, keeping what is typed, and which buttons work now.
    void refresh(bool canConnect, bool canSave);

protected:
    // Tab moves among the bar's boxes: they take the focus by click only, so that Tab elsewhere
    // still goes from one panel to the other.
    bool focusNextPrevChild(bool next) override;

private:
    void buildBoxes();
    void store();
    void showFields();
    void historyChosen(int index);

    QuickConnect& model_;
    QComboBox* address_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace brisk
