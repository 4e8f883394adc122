#pragma once
#include "sites/custom_layouts.h"
#include "sites/descriptor.h"
#include "sites/server_info.h"
#include "sites/time_zones.h"

#include <string>
#include <vector>

namespace brisk {

// What the controls of the properties dialog hold.
struct SiteForm {
    std::string name, server, port, user, password, account, email;
    bool anonymous = false, savePassword = false, maskPassword = false, passive = false;
    bool sharedVirtualHost = false, showHidden = false, relativePath = false;
    std::string initialDir;
    bool addSlash = false;
    std::string localDir;
    std::vector<std::string> descLines;
    int zoneIndex = -1;
    int responseType = 0;
    int security = 0;         // the index of securityTexts()
    PositionFields positions;
};

// Why the form cannot be saved; each names the field to mend.
enum class SiteFormError { None, MissingName, BadServer, BadPort };

// The logic of the site properties dialog: it edits a working copy of one site, including the
// custom column layouts of "Answer.txt", which is written whenever the dialog closes.
class SiteProperties {
public:
    static constexpr const char* kMissingNameMessage = "FTP Server Name must be defined";

    // Opens the dialog on a copy of site. defaultLayoutName is the translated "Default".
    SiteProperties(const TFTPServerInfo& site, TimeZoneList zones, std::string defaultLayoutName = "Default");

    SiteForm form;

    const std::vector<std::string>& zoneTexts() const { return zones_.texts; }
    static const std::vector<std::string>& securityTexts();
    const std::vector<CustomLayout>& layouts() const { return layouts_; }
    int selectedLayout() const { return layout_; }

    bool emailEnabled() const { return form.anonymous; }
    bool loginEnabled() const { return !form.anonymous; }
    bool customPanelVisible() const { return form.responseType == 4; }
    bool positionFieldsEditable() const { return layout_ > 0; }

    void setAddSlash(bool on);

    void selectLayout(int index);
    void addLayout(const std::string& name);
    // Renames the selected layout; with entry 0 or none selected it adds one instead.
    void editLayout(const std::string& name);
    bool deleteLayout();

    std::string BuildDescriptor() const;

    // What keeps the form from being saved: an empty name, or a server or port against the
    // field rules (site_field_rules.h).
    SiteFormError check() const;
    // Save: false (the dialog stays open, nothing is written) when check() finds a fault;
    // otherwise stores every control into the result and writes "Answer.txt".
    bool save();
    // Cancel: the working copy is discarded; "Answer.txt" is still written.
    void cancel();

    const TFTPServerInfo& result() const { return site_; }
    bool answerFileWritten() const { return answerWritten_; }

private:
    void fillForm();
    void openResponseType();
    int layoutNamed(const std::string& name) const;
    void storeFieldsIntoLayout();
    void storeForm();
    void close();

    TFTPServerInfo site_;
    TimeZoneList zones_;
    std::string defaultName_;
    std::vector<CustomLayout> layouts_;
    int layout_ = -1;
    bool answerWritten_ = false;
};

} // namespace brisk
