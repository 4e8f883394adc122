#pragma once
#include "i18n/main_messages.h"
#include "sites/site_properties.h"
#include "ui/site_properties_messages.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace brisk {

// The FTP server properties dialog: the controls of SiteProperties' form. Every control writes its
// field as it changes; which controls are enabled or shown is the model's decision. Save keeps the
// dialog open while the model refuses; Cancel, Escape and closing the window cancel the model.
class TFFtpBase : public QDialog {
    Q_OBJECT
public:
    explicit TFFtpBase(SiteProperties& model, QWidget* parent = nullptr,
                       MessageList messages = SitePropertiesMessagesEnglish());

    void reject() override;

    MessageList msl;

private:
    QWidget* buildSitePage();
    QWidget* buildOptionsPage();
    QWidget* buildListingPage();
    QGroupBox* buildCustomPanel();
    QLineEdit* boundEdit(std::string& field, const char* objectName);
    QCheckBox* boundCheck(const QString& text, bool& field, const char* objectName);

    void save();
    void addLayout();
    void editLayout();
    void deleteLayout();
    void layoutSelected(int row);
    void browseLocalDir();
    void addSlashToggled(bool on);
    void descriptionEdited();

    void showLayouts();
    void showPositions();
    void refreshControls();

    SiteProperties& model_;
    QLineEdit* edUser_ = nullptr;
    QLineEdit* edPassword_ = nullptr;
    QLineEdit* edAccount_ = nullptr;
    QLineEdit* edEmail_ = nullptr;
    QLineEdit* edInitDir_ = nullptr;
    QLineEdit* edLocalDir_ = nullptr;
    QPlainTextEdit* meDesc_ = nullptr;
    QComboBox* cbResponse_ = nullptr;
    QGroupBox* gbCustom_ = nullptr;
    QListWidget* lbLayouts_ = nullptr;
    std::array<QLineEdit*, 6> edPositions_{};
};

} // namespace brisk
