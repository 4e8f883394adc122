#include "ui/qt_translatable_form.h"

#include "ui/qt_text.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace brisk {
namespace {

const char* const kUntranslated = "briskUntranslated";
const char* const kDataUntranslated = "briskDataUntranslated";

// The tab widget a page belongs to, if it is one.
QTabWidget* tabsOf(const QObject* page)
{
    const QObject* stack = page->parent();
    return page->isWidgetType() && qobject_cast<const QStackedWidget*>(stack) ? qobject_cast<QTabWidget*>(stack->parent())
                                                                              : nullptr;
}

// A tool button that only shows an action is the action's; the action is translated.
bool ownButton(const QObject* o)
{
    const auto* tool = qobject_cast<const QToolButton*>(o);
    return qobject_cast<const QAbstractButton*>(o) && !(tool && tool->defaultAction());
}

bool ownEdit(const QObject* o)
{
    const auto* edit = qobject_cast<const QLineEdit*>(o);
    return edit && edit->echoMode() == QLineEdit::Normal && !qobject_cast<QComboBox*>(edit->parent()) &&
           !qobject_cast<QAbstractSpinBox*>(edit->parent());
}

// An action of its own: not a separator, nor the entry that opens a menu (the menu's title is its).
bool ownAction(const QObject* o)
{
    const auto* action = qobject_cast<const QAction*>(o);
    const auto* menu = qobject_cast<const QMenu*>(o->parent());
    return action && !action->isSeparator() && !(menu && menu->menuAction() == action);
}

bool hasCaption(const QObject* o)
{
    return ownButton(o) || qobject_cast<const QLabel*>(o) || qobject_cast<const QGroupBox*>(o) ||
           qobject_cast<const QMenu*>(o) || ownAction(o) || tabsOf(o);
}

// The kind of control that gets a name when it has none, as "Label3".
QString namePrefix(const QObject* o)
{
    if (qobject_cast<const QCheckBox*>(o))
        return "CheckBox";
    if (qobject_cast<const QRadioButton*>(o))
        return "RadioButton";
    if (ownButton(o))
        return "Button";
    if (qobject_cast<const QLabel*>(o))
        return "Label";
    if (qobject_cast<const QGroupBox*>(o))
        return "GroupBox";
    if (qobject_cast<const QMenu*>(o))
        return "Menu";
    if (ownAction(o))
        return "Action";
    if (ownEdit(o))
        return "Edit";
    if (qobject_cast<const QComboBox*>(o))
        return "ComboBox";
    return tabsOf(o) ? "TabSheet" : QString();
}

// The window's own controls: its children's trees, without other windows it owns (a dialog open
// over it); menus are windows of their own kind but belong to it.
void collect(QObject* parent, std::vector<QObject*>& out)
{
    for (QObject* child : parent->children()) {
        const auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isWindow() && !qobject_cast<QMenu*>(child))
            continue;
        // Qt's own parts (a tab widget's page stack) are none, but what they hold may be.
        if (!child->objectName().startsWith("qt_"))
            out.push_back(child);
        collect(child, out);
    }
}

std::vector<QObject*> controlsOf(QWidget& window)
{
    std::vector<QObject*> controls;
    collect(&window, controls);
    std::erase_if(controls, [](QObject* o) { return o->objectName().isEmpty() || o->property(kUntranslated).toBool(); });
    return controls;
}

void nameUnnamed(QWidget& window)
{
    std::vector<QObject*> all;
    collect(&window, all);
    std::map<QString, int> counts;
    for (QObject* o : all)
        if (const QString prefix = namePrefix(o); o->objectName().isEmpty() && !prefix.isEmpty())
            o->setObjectName(prefix + QString::number(++counts[prefix]));
}

// What Qt shows as an action's tool tip when none is set: its text without "&" and "...".
QString defaultTip(QString text)
{
    text.remove("...");
    text.remove('&');
    return text.trimmed();
}

bool hasOwnHint(const QObject* o)
{
    if (const auto* action = qobject_cast<const QAction*>(o))
        return ownAction(o) && action->toolTip() != defaultTip(action->text());
    return qobject_cast<const QWidget*>(o) && !qobject_cast<const QMenu*>(o);
}

QString captionOf(const QObject* o)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(o))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(o))
        return label->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(o))
        return box->title();
    if (const auto* menu = qobject_cast<const QMenu*>(o))
        return menu->title();
    if (const auto* action = qobject_cast<const QAction*>(o))
        return action->text();
    const QTabWidget* tabs = tabsOf(o);
    return tabs ? tabs->tabText(tabs->indexOf(static_cast<QWidget*>(const_cast<QObject*>(o)))) : QString();
}

void setCaptionOf(QObject* o, const QString& text)
{
    if (auto* button = qobject_cast<QAbstractButton*>(o))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(o))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(o))
        box->setTitle(text);
    else if (auto* menu = qobject_cast<QMenu*>(o))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(o))
        action->setText(text);
    else if (QTabWidget* tabs = tabsOf(o))
        tabs->setTabText(tabs->indexOf(static_cast<QWidget*>(o)), text);
}

QString hintOf(const QObject* o)
{
    if (const auto* action = qobject_cast<const QAction*>(o))
        return action->toolTip();
    return static_cast<const QWidget*>(o)->toolTip();
}

void setHintOf(QObject* o, const QString& text)
{
    if (auto* action = qobject_cast<QAction*>(o))
        action->setToolTip(text);
    else
        static_cast<QWidget*>(o)->setToolTip(text);
}

} // namespace

void KeepUntranslated(QObject* control)
{
    control->setProperty(kUntranslated, true);
}

void KeepDataUntranslated(QObject* control)
{
    control->setProperty(kDataUntranslated, true);
}

QtTranslatableForm::QtTranslatableForm(QWidget& window, std::string className)
    : window_(window), className_(std::move(className))
{
    nameUnnamed(window_);
}

void QtTranslatableForm::addMessageList(const std::string& component, MessageList& list)
{
    messageLists_[component] = &list;
}

void QtTranslatableForm::addColumns(const std::string& component, const std::string& property,
                                    QStringList& captions, std::function<void()> changed)
{
    columns_[component + "." + property] = {&captions, std::move(changed)};
}

std::string QtTranslatableForm::caption() const
{
    return fromQt(window_.windowTitle());
}

void QtTranslatableForm::setCaption(const std::string& text)
{
    window_.setWindowTitle(toQt(text));
}

std::vector<TextProperty> QtTranslatableForm::properties() const
{
    std::vector<TextProperty> out;
    for (QObject* o : controlsOf(window_)) {
        const std::string name = fromQt(o->objectName());
        const bool data = o->property(kDataUntranslated).toBool();
        if (hasCaption(o))
            out.push_back({name, "Caption", TextPropertyKind::String, {}});
        if (ownEdit(o) && !data)
            out.push_back({name, "Text", TextPropertyKind::String, {}});
        if (qobject_cast<QComboBox*>(o) && !data)
            out.push_back({name, "Items", TextPropertyKind::Lines, {}});
        if (hasOwnHint(o))
            out.push_back({name, "Hint", TextPropertyKind::String, {}});
    }
    for (const auto& [name, list] : messageLists_)
        out.push_back({name, "Items", TextPropertyKind::Lines, {}});
    for (const auto& [key, columns] : columns_) {
        const size_t dot = key.find('.');
        out.push_back({key.substr(0, dot), key.substr(dot + 1), TextPropertyKind::Collection, {"Caption"}});
    }
    return out;
}

QObject* QtTranslatableForm::control(const std::string& name) const
{
    const QString wanted = toQt(name);
    if (!byName_.count(wanted)) {
        byName_.clear();
        for (QObject* o : controlsOf(window_))
            byName_.emplace(o->objectName(), o);
    }
    const auto found = byName_.find(wanted);
    return found == byName_.end() ? nullptr : found->second;
}

int QtTranslatableForm::count(const TextProperty& property) const
{
    if (const auto list = messageLists_.find(property.component); list != messageLists_.end() && property.name == "Items")
        return int(list->second->items().size());
    if (const auto columns = columns_.find(property.component + "." + property.name); columns != columns_.end())
        return int(columns->second.captions->size());
    const auto* box = qobject_cast<QComboBox*>(control(property.component));
    return box ? box->count() : 0;
}

std::string QtTranslatableForm::text(const TextSlot& slot) const
{
    if (const auto list = messageLists_.find(slot.component); list != messageLists_.end())
        return (*list->second)[slot.index];
    if (const auto columns = columns_.find(slot.component + "." + slot.property); columns != columns_.end())
        return fromQt(columns->second.captions->value(slot.index));
    QObject* o = control(slot.component);
    if (slot.property == "Caption")
        return fromQt(captionOf(o));
    if (slot.property == "Hint")
        return fromQt(hintOf(o));
    if (slot.property == "Text")
        return fromQt(static_cast<QLineEdit*>(o)->text());
    return fromQt(static_cast<QComboBox*>(o)->itemText(slot.index));
}

void QtTranslatableForm::setText(const TextSlot& slot, const std::string& value)
{
    if (const auto list = messageLists_.find(slot.component); list != messageLists_.end()) {
        list->second->items()[size_t(slot.index)] = value;
        return;
    }
    if (const auto columns = columns_.find(slot.component + "." + slot.property); columns != columns_.end()) {
        (*columns->second.captions)[slot.index] = toQt(value);
        if (columns->second.changed)
            columns->second.changed();
        return;
    }
    QObject* o = control(slot.component);
    if (slot.property == "Caption")
        setCaptionOf(o, toQt(value));
    else if (slot.property == "Hint")
        setHintOf(o, toQt(value));
    else if (slot.property == "Text")
        static_cast<QLineEdit*>(o)->setText(toQt(value));
    else
        static_cast<QComboBox*>(o)->setItemText(slot.index, toQt(value));
}

} // namespace brisk
