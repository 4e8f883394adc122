#pragma once
#include <QLineEdit>

namespace brisk {

// A column position field of a custom layout: at most two digits; a typed key that is not a digit
// erases the last character instead.
class PositionEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PositionEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace brisk
