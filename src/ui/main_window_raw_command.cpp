#include "ui/main_window.h"

#include "ui/raw_command_bar.h"

#include <QAction>

namespace brisk {

// The bar sits under the quick-connect bar, hidden until one of the "Custom Command" entries (one
// action in the Remote menu and the remote panel's menu, so both stay in step) shows it.
QWidget* T_Main::buildRawCommandBar()
{
    MainProgram& p = *program_;
    rawCommandBar = new RawCommandBar(p.rawCommand);
    rawCommandBar->onDoIt = [this] {
        program_->SendRawCommand();
        refreshViews();
    };
    rawCommandBar->onCommands = [this] {
        program_->PickCustomCommand();
        refreshViews();
    };
    // No icon: the menus show the check mark in its place.
    QAction* toggle = addAction("actCustomCommand", "Custom Command", "", [&p] { p.ToggleCommandBox(); });
    toggle->setCheckable(true);
    return rawCommandBar;
}

void T_Main::refreshRawCommandBar()
{
    action("actCustomCommand")->setChecked(program_->rawCommand.visible());
    rawCommandBar->refresh(program_->session.canSendRawCommand());
}

} // namespace brisk
