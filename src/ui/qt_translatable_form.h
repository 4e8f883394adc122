#pragma once
#include "i18n/main_messages.h"
#include "i18n/translatable_form.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace brisk {

// Keeps a control out of language files: it shows data (a path, a file name, the log), not texts of
// the program.
void KeepUntranslated(QObject* control);
// Keeps only what a control holds out of language files (an edit's text, a combo box's lines): they
// are the user's, while its hints are texts of the program.
void KeepDataUntranslated(QObject* control);

// A Qt window as language files see it. Every named child is a component (actions and menus too):
// "Caption" is a button's, label's, group box's, action's text or a menu's title, "Hint" the tool tip,
// "Text" an edit's text and "Items" a combo box's lines. Message lists and column headers are added
// by name. Controls that have no name yet get one from their kind and place ("Label3").
class QtTranslatableForm : public TranslatableForm {
public:
    QtTranslatableForm(QWidget& window, std::string className);

    void addMessageList(const std::string& component, MessageList& list);
    // A list's column headers, "component.property.N.Caption"; `changed` runs after a caption is set.
    void addColumns(const std::string& component, const std::string& property, QStringList& captions,
                    std::function<void()> changed = {});

    std::string className() const override { return className_; }
    std::string parentClassName() const override { return "TForm"; }
    std::string caption() const override;
    void setCaption(const std::string& text) override;
    std::vector<TextProperty> properties() const override;
    int count(const TextProperty& property) const override;
    std::string text(const TextSlot& slot) const override;
    void setText(const TextSlot& slot, const std::string& value) override;

private:
    struct Columns {
        QStringList* captions;
        std::function<void()> changed;
    };
    QObject* control(const std::string& name) const;

    // The controls by name, looked up again when a name is not found (controls come and go).
    mutable std::map<QString, QObject*> byName_;

    QWidget& window_;
    std::string className_;
    std::map<std::string, MessageList*> messageLists_;
    std::map<std::string, Columns> columns_;
};

} // namespace brisk
