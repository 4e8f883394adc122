#include "ui/site_properties_dialog.h"

#include "sites/response_types.h"
#include "ui/position_edit.h"
#include "ui/qt_text.h"
#include "ui/qt_translatable_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// The controls of the properties dialog, laid out on three pages.
namespace brisk {

QLineEdit* TFFtpBase::boundEdit(std::string& field, const char* objectName)
{
    auto* edit = new QLineEdit(toQt(field), this);
    edit->setObjectName(objectName);
    KeepUntranslated(edit);   // the site's own data
    connect(edit, &QLineEdit::textChanged, this, [&field](const QString& text) { field = fromQt(text); });
    return edit;
}

QCheckBox* TFFtpBase::boundCheck(const QString& text, bool& field, const char* objectName)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(objectName);
    box->setChecked(field);
    connect(box, &QCheckBox::toggled, this, [this, &field](bool on) {
        field = on;
        refreshControls();
    });
    return box;
}

QWidget* TFFtpBase::buildSitePage()
{
    SiteForm& form = model_.form;
    edUser_ = boundEdit(form.user, "edUser");
    edPassword_ = boundEdit(form.password, "edPassword");
    edAccount_ = boundEdit(form.account, "edAccount");
    edEmail_ = boundEdit(form.email, "edEmail");

    auto* page = new QWidget(this);
    auto* fields = new QFormLayout;
    fields->addRow(tr("Name"), boundEdit(form.name, "edName"));
    fields->addRow(tr("FTP Server"), boundEdit(form.server, "edServer"));
    fields->addRow(tr("FTP Port"), boundEdit(form.port, "edPort"));
    fields->addRow(tr("User ID"), edUser_);
    fields->addRow(tr("Password"), edPassword_);
    fields->addRow(tr("Account"), edAccount_);
    fields->addRow(tr("E-Mail"), edEmail_);
    auto* security = new QComboBox(this);
    security->setObjectName("cbSecurity");
    for (const std::string& text : SiteProperties::securityTexts())
        security->addItem(toQt(text));
    security->setCurrentIndex(form.security);
    connect(security, &QComboBox::currentIndexChanged, this, [&form](int index) { form.security = index; });
    fields->addRow(tr("Security"), security);

    auto* checks = new QGridLayout;
    checks->addWidget(boundCheck(tr("Anonymous Login"), form.anonymous, "cbAno"), 0, 0);
    checks->addWidget(boundCheck(tr("Save Password"), form.savePassword, "cbSavePsw"), 0, 1);
    checks->addWidget(boundCheck(tr("Mask Password"), form.maskPassword, "cbMaskPsw"), 1, 0);
    checks->addWidget(boundCheck(tr("Passive Mode"), form.passive, "cbPasv"), 1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addLayout(checks);
    layout->addStretch();
    return page;
}

QWidget* TFFtpBase::buildOptionsPage()
{
    SiteForm& form = model_.form;
    edInitDir_ = boundEdit(form.initialDir, "edInitDir");
    auto* addSlash = new QCheckBox(tr("Add \"/\""), this);
    addSlash->setObjectName("cbAddSlash");
    addSlash->setChecked(form.addSlash);
    connect(addSlash, &QCheckBox::toggled, this, &TFFtpBase::addSlashToggled);
    auto* remoteDir = new QHBoxLayout;
    remoteDir->addWidget(edInitDir_);
    remoteDir->addWidget(addSlash);

    edLocalDir_ = boundEdit(form.localDir, "edLocalDir");
    auto* browse = new QPushButton(tr("Browse..."), this);
    browse->setObjectName("btBrowse");
    connect(browse, &QPushButton::clicked, this, &TFFtpBase::browseLocalDir);
    auto* localDir = new QHBoxLayout;
    localDir->addWidget(edLocalDir_);
    localDir->addWidget(browse);

    auto* zones = new QComboBox(this);
    zones->setObjectName("cbZones");
    KeepUntranslated(zones);   // the system's time zones
    for (const std::string& text : model_.zoneTexts())
        zones->addItem(toQt(text));
    zones->setCurrentIndex(form.zoneIndex);
    connect(zones, &QComboBox::currentIndexChanged, this, [&form](int index) { form.zoneIndex = index; });

    meDesc_ = new QPlainTextEdit(this);
    meDesc_->setObjectName("meDesc");
    QStringList lines;
    for (const std::string& line : form.descLines)
        lines << toQt(line);
    meDesc_->setPlainText(lines.join('\n'));
    connect(meDesc_, &QPlainTextEdit::textChanged, this, &TFFtpBase::descriptionEdited);

    auto* page = new QWidget(this);
    auto* layout = new QFormLayout(page);
    layout->addRow(boundCheck(tr("Shared virtual host"), form.sharedVirtualHost, "cbVHost"));
    layout->addRow(boundCheck(tr("Show hidden files"), form.showHidden, "cbHidden"));
    layout->addRow(boundCheck(tr("Use relative pathname"), form.relativePath, "cbRelative"));
    layout->addRow(tr("Initial Directory on FTP Server"), remoteDir);
    layout->addRow(tr("Initial Directory on Local Machine"), localDir);
    layout->addRow(tr("Time Zone"), zones);
    layout->addRow(tr("Description"), meDesc_);
    return page;
}

QWidget* TFFtpBase::buildListingPage()
{
    cbResponse_ = new QComboBox(this);
    cbResponse_->setObjectName("cbResponse");
    for (int code = 0; code < kResponseTypeCount; ++code)
        cbResponse_->addItem(toQt(ResponseTypeName(code)));
    cbResponse_->setCurrentIndex(model_.form.responseType);
    connect(cbResponse_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.form.responseType = index;
        refreshControls();
    });

    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* type = new QFormLayout;
    type->addRow(tr("Response Type"), cbResponse_);
    layout->addLayout(type);
    layout->addWidget(buildCustomPanel());
    layout->addStretch();
    return page;
}

QGroupBox* TFFtpBase::buildCustomPanel()
{
    gbCustom_ = new QGroupBox(tr("Custom layout"), this);
    gbCustom_->setObjectName("gbCustom");
    lbLayouts_ = new QListWidget(gbCustom_);
    lbLayouts_->setObjectName("lbLayouts");
    connect(lbLayouts_, &QListWidget::currentRowChanged, this, &TFFtpBase::layoutSelected);

    auto* buttons = new QVBoxLayout;
    const struct {
        QString text;
        const char* name;
        void (TFFtpBase::*slot)();
    } commands[] = {
        {tr("Add"), "btAdd", &TFFtpBase::addLayout},
        {tr("Edit"), "btEdit", &TFFtpBase::editLayout},
        {tr("Delete"), "btDelete", &TFFtpBase::deleteLayout},
    };
    for (const auto& command : commands) {
        auto* button = new QPushButton(command.text, gbCustom_);
        button->setObjectName(command.name);
        connect(button, &QPushButton::clicked, this, command.slot);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    const QString names[] = {tr("Name"), tr("Size"), tr("Month"), tr("Day"), tr("Time"), tr("Attribute")};
    auto* positions = new QFormLayout;
    for (size_t i = 0; i < edPositions_.size(); ++i) {
        auto* edit = new PositionEdit(gbCustom_);
        edit->setObjectName(QString("edPos%1").arg(i));
        std::string& field = model_.form.positions[i];
        connect(edit, &QLineEdit::textChanged, this, [&field](const QString& text) { field = fromQt(text); });
        positions->addRow(names[i], edit);
        edPositions_[i] = edit;
    }

    auto* layout = new QHBoxLayout(gbCustom_);
    layout->addWidget(lbLayouts_);
    layout->addLayout(buttons);
    layout->addLayout(positions);
    return gbCustom_;
}

} // namespace brisk
